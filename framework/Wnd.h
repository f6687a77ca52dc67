// CWnd: a window object, with its message map, creation and subclassing.
//
// An object is attached to a window by replacing the window's procedure
// (always with SetWindowLongPtrW: the window stays a Unicode window, so typed
// Hangul reaches it intact). Windows the object creates itself are attached by
// a WH_CBT hook at HCBT_CREATEWND, before the window's first message, so even
// a dialog's own WM_CREATE reaches the map. Existing windows, such as a
// dialog's controls, are attached by SubclassWindow. At WM_NCDESTROY the old
// procedure is put back, the object forgets the window and PostNcDestroy runs.
//
// Objects are found from handles through a per-thread table, as windows
// belong to the thread that made them.
#pragma once

#include "framework/MessageMap.h"
#include "framework/RuntimeClass.h"
#include "framework/Window.h"

#include <windows.h>

#include <functional>

class CWnd : public CObject, public CWindow {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // A window still attached is destroyed with its object, so that it can
    // never call into freed memory.
    virtual ~CWnd();

    // The object attached to `hWnd` on this thread, or null.
    static CWnd* FromHandle(HWND hWnd);

    // Creates the window of a registered class; a null class name stands for
    // the framework's own plain class. The object is attached before the
    // window's first message.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const char* windowName, DWORD style, const RECT& rect,
                  HWND parent, UINT id);

    bool SubclassWindow(HWND hWnd);
    bool SubclassDlgItem(UINT id, HWND parent);
    // Gives the window back its own procedure and forgets it; returns it.
    HWND UnsubclassWindow();

    // Sees a message of the modal or application loop before it is
    // translated and dispatched; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Offers `msg` to the objects of its window and of each parent, up to and
    // including `last` (or the top-level window); true when one consumed it.
    static bool WalkPreTranslateTree(HWND last, MSG* msg);

    // The default handling of the message being handled now.
    LRESULT Default();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs just before an existing window is subclassed.
    virtual void PreSubclassWindow();
    // Runs after the window is gone and the object detached; an object that
    // owns itself may delete itself here.
    virtual void PostNcDestroy();

    // Runs `create`, which makes this object's window, with the creation hook
    // armed for this object.
    bool CreateHooked(const std::function<HWND()>& create);

    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;

private:
    static LRESULT CALLBACK StandardWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam);

    bool AttachAndSubclass(HWND hWnd);
    void Detach();
    LRESULT HandleNcDestroy(WPARAM wParam, LPARAM lParam);
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    WNDPROC m_pfnSuper = nullptr;
};
