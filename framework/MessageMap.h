// MessageMap, MessageMapEntry and the ON_... entry macros: a handler table
// per window class, chained to the base class's table.
//
//   class CMyDlg : public CDialog { ... DECLARE_MESSAGE_MAP() };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_CREATE()
//       ON_BN_CLICKED(1000, OnSend)
//   END_MESSAGE_MAP()
//
// Each entry holds a dispatcher instantiated from the handler's member
// pointer: it decodes wParam/lParam once into the handler's typed arguments
// and calls it. A dispatcher answers whether the message was handled; the
// "_EX" reflected entries and ON_WM_CTLCOLOR_REFLECT let their handler
// decline (FALSE, or a null brush), and then the search goes on through the
// remaining entries and the base tables, and finally to default handling (or,
// for a reflected notification, to the parent). Other handlers take the
// message and call Default() themselves when they want default handling too.
//
// The tables are constant data, built at compile time; the alternative, a
// virtual ProcessWindowMessage written out as an if-chain per class, keeps no
// table and cannot be read as one.
//
// Reflection: a parent first offers a control's WM_COMMAND notification,
// WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLOR* to the control's
// object, as the message offset by WM_REFLECT_BASE.
#pragma once

#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/Window.h"

#include <windows.h>

#include <utility>

class CWnd;

// Added to a message when it is offered to the control it concerns: the
// classic framework's base, above WM_APP (0x8000) and below the registered
// messages (0xC000), so a reflected code never meets a system message, and
// every message a control is sent by its parent (below 0x0400) fits below it.
constexpr UINT WM_REFLECT_BASE = 0xBC00;
// Key under which the seven WM_CTLCOLOR* messages share one entry.
constexpr UINT WM_CTLCOLOR_ANY = 0x0019;

struct MessageMapEntry {
    UINT message;  // possibly WM_REFLECT_BASE + message, or WM_CTLCOLOR_ANY
    UINT code;     // WM_COMMAND / WM_NOTIFY: the notification code
    UINT firstId;  // WM_COMMAND / WM_NOTIFY: the identifiers matched
    UINT lastId;
    bool (*dispatch)(CWnd& target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

struct MessageMap {
    const MessageMap* (*base)();     // null for the root of the chain
    const MessageMapEntry* entries;  // ends with an entry without dispatch
};

namespace msgmap {

template <typename>
struct HandlerClass;
template <typename Class, typename Result, typename... Args>
struct HandlerClass<Result (Class::*)(Args...)> {
    using type = Class;
};

template <auto Handler, typename... Args>
decltype(auto) Call(CWnd& wnd, Args&&... args) {
    using Class = typename HandlerClass<decltype(Handler)>::type;
    return (static_cast<Class&>(wnd).*Handler)(std::forward<Args>(args)...);
}

// Signed: a point left of or above the window is negative. (windowsx.h has
// this as GET_X_LPARAM, but also macros that clash with CWnd's methods.)
inline CPoint PointOf(LPARAM lParam) {
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}
inline CDCHandle DcOf(WPARAM wParam) { return CDCHandle(reinterpret_cast<HDC>(wParam)); }
inline NMHDR* NotifyHeaderOf(LPARAM lParam) { return reinterpret_cast<NMHDR*>(lParam); }

#define WOBBLE_DISPATCHER(name, ...)                                                \
    template <auto H>                                                               \
    bool name([[maybe_unused]] CWnd& w, [[maybe_unused]] UINT message,              \
              [[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam,       \
              [[maybe_unused]] LRESULT& result) {                                   \
        __VA_ARGS__                                                                 \
    }

// LRESULT OnMessage(WPARAM, LPARAM)
WOBBLE_DISPATCHER(Message, result = Call<H>(w, wParam, lParam); return true;)
// void OnCommand()
WOBBLE_DISPATCHER(Command, Call<H>(w); return true;)
// BOOL OnCommand(): FALSE declines
WOBBLE_DISPATCHER(CommandEx, return Call<H>(w) != FALSE;)
// void OnNotify(NMHDR*, LRESULT*)
WOBBLE_DISPATCHER(Notify, Call<H>(w, NotifyHeaderOf(lParam), &result); return true;)
// BOOL OnNotify(NMHDR*, LRESULT*): FALSE declines
WOBBLE_DISPATCHER(NotifyEx, return Call<H>(w, NotifyHeaderOf(lParam), &result) != FALSE;)
// void OnPaint() and every other handler without arguments
WOBBLE_DISPATCHER(NoArguments, Call<H>(w); return true;)
// int OnCreate(LPCREATESTRUCT): -1 refuses the window
WOBBLE_DISPATCHER(Create, result = Call<H>(w, reinterpret_cast<LPCREATESTRUCT>(lParam)); return true;)
// BOOL OnEraseBkgnd(CDCHandle)
WOBBLE_DISPATCHER(EraseBkgnd, result = Call<H>(w, DcOf(wParam)); return true;)
// void OnSize(UINT type, int cx, int cy)
WOBBLE_DISPATCHER(Size, Call<H>(w, static_cast<UINT>(wParam), int{LOWORD(lParam)}, int{HIWORD(lParam)}); return true;)
// void OnWindowPosChanging(WINDOWPOS*)
WOBBLE_DISPATCHER(WindowPos, Call<H>(w, reinterpret_cast<WINDOWPOS*>(lParam)); return true;)
// void OnSysCommand(UINT id, LPARAM)
WOBBLE_DISPATCHER(SysCommand, Call<H>(w, static_cast<UINT>(wParam), lParam); return true;)
// HCURSOR OnQueryDragIcon()
WOBBLE_DISPATCHER(QueryDragIcon, result = reinterpret_cast<LRESULT>(Call<H>(w)); return true;)
// void OnLButtonDown(UINT flags, CPoint) and the other mouse messages
WOBBLE_DISPATCHER(Mouse, Call<H>(w, static_cast<UINT>(wParam), PointOf(lParam)); return true;)
// void OnChar(UINT code, UINT repeat, UINT flags), also OnKeyDown
WOBBLE_DISPATCHER(Key, Call<H>(w, static_cast<UINT>(wParam), UINT{LOWORD(lParam)}, UINT{HIWORD(lParam)}); return true;)
// BOOL OnSetCursor(CWindow, UINT hitTest, UINT message)
WOBBLE_DISPATCHER(SetCursor, result = Call<H>(w, CWindow(reinterpret_cast<HWND>(wParam)), UINT{LOWORD(lParam)}, UINT{HIWORD(lParam)}); return true;)
// void OnKillFocus(CWindow newFocus)
WOBBLE_DISPATCHER(KillFocus, Call<H>(w, CWindow(reinterpret_cast<HWND>(wParam))); return true;)
// void OnActivate(UINT state, CWindow other, BOOL minimized)
WOBBLE_DISPATCHER(Activate, Call<H>(w, UINT{LOWORD(wParam)}, CWindow(reinterpret_cast<HWND>(lParam)), BOOL{HIWORD(wParam) != 0}); return true;)
// void OnEnable(BOOL enable)
WOBBLE_DISPATCHER(Enable, Call<H>(w, static_cast<BOOL>(wParam)); return true;)
// void OnTimer(UINT_PTR id)
WOBBLE_DISPATCHER(Timer, Call<H>(w, static_cast<UINT_PTR>(wParam)); return true;)
// void OnMeasureItem(int id, LPMEASUREITEMSTRUCT)
WOBBLE_DISPATCHER(MeasureItem, Call<H>(w, static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); result = TRUE; return true;)
// HBRUSH OnCtlColor(CDCHandle, CWindow control, UINT type)
WOBBLE_DISPATCHER(CtlColor, result = reinterpret_cast<LRESULT>(Call<H>(w, DcOf(wParam), CWindow(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX)); return true;)
// reflected: HBRUSH CtlColor(CDCHandle, UINT type); a null brush declines
WOBBLE_DISPATCHER(CtlColorReflect, const HBRUSH brush = Call<H>(w, DcOf(wParam), (message - WM_REFLECT_BASE) - WM_CTLCOLORMSGBOX); result = reinterpret_cast<LRESULT>(brush); return brush != nullptr;)
// reflected: void DrawItem(LPDRAWITEMSTRUCT)
WOBBLE_DISPATCHER(DrawItemReflect, Call<H>(w, reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); result = TRUE; return true;)
// reflected: void MeasureItem(LPMEASUREITEMSTRUCT)
WOBBLE_DISPATCHER(MeasureItemReflect, Call<H>(w, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); result = TRUE; return true;)

#undef WOBBLE_DISPATCHER

}  // namespace msgmap

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const ::MessageMap* GetThisMessageMap();    \
    const ::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
    const ::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::MessageMap* theClass::GetThisMessageMap() {                                \
        using ThisClass [[maybe_unused]] = theClass;                                   \
        using TheBaseClass = baseClass;                                                \
        static constexpr ::MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                     \
            {0, 0, 0, 0, nullptr}};                                           \
        static constexpr ::MessageMap map{&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                          \
    }

#define WOBBLE_ENTRY(message, dispatcher, handler) \
    {message, 0, 0, 0, &::msgmap::dispatcher<&ThisClass::handler>},
#define WOBBLE_ID_ENTRY(message, code, first, last, dispatcher, handler) \
    {message, static_cast<UINT>(code), static_cast<UINT>(first), static_cast<UINT>(last), &::msgmap::dispatcher<&ThisClass::handler>},

// Any message, undecoded.
#define ON_MESSAGE(message, handler) WOBBLE_ENTRY(message, Message, handler)
// Commands: menus and accelerators (no control), or a control's click.
#define ON_COMMAND(id, handler) WOBBLE_ID_ENTRY(WM_COMMAND, 0, id, id, Command, handler)
#define ON_CONTROL(code, id, handler) WOBBLE_ID_ENTRY(WM_COMMAND, code, id, id, Command, handler)
#define ON_BN_CLICKED(id, handler) ON_CONTROL(BN_CLICKED, id, handler)
#define ON_NOTIFY(code, id, handler) WOBBLE_ID_ENTRY(WM_NOTIFY, code, id, id, Notify, handler)
// Notifications reflected to the control object that sent them.
#define ON_CONTROL_REFLECT(code, handler) WOBBLE_ID_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0xFFFF, Command, handler)
#define ON_CONTROL_REFLECT_EX(code, handler) WOBBLE_ID_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0xFFFF, CommandEx, handler)
#define ON_NOTIFY_REFLECT(code, handler) WOBBLE_ID_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0xFFFF, Notify, handler)
#define ON_NOTIFY_REFLECT_EX(code, handler) WOBBLE_ID_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0xFFFF, NotifyEx, handler)
#define ON_WM_CTLCOLOR_REFLECT() WOBBLE_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR_ANY, CtlColorReflect, CtlColor)
#define ON_WM_DRAWITEM_REFLECT() WOBBLE_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, DrawItemReflect, DrawItem)
#define ON_WM_MEASUREITEM_REFLECT() WOBBLE_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, MeasureItemReflect, MeasureItem)
// Window messages, with the classic handler names.
#define ON_WM_CREATE() WOBBLE_ENTRY(WM_CREATE, Create, OnCreate)
#define ON_WM_DESTROY() WOBBLE_ENTRY(WM_DESTROY, NoArguments, OnDestroy)
#define ON_WM_CLOSE() WOBBLE_ENTRY(WM_CLOSE, NoArguments, OnClose)
#define ON_WM_PAINT() WOBBLE_ENTRY(WM_PAINT, NoArguments, OnPaint)
#define ON_WM_ERASEBKGND() WOBBLE_ENTRY(WM_ERASEBKGND, EraseBkgnd, OnEraseBkgnd)
#define ON_WM_SIZE() WOBBLE_ENTRY(WM_SIZE, Size, OnSize)
#define ON_WM_WINDOWPOSCHANGING() WOBBLE_ENTRY(WM_WINDOWPOSCHANGING, WindowPos, OnWindowPosChanging)
#define ON_WM_SYSCOMMAND() WOBBLE_ENTRY(WM_SYSCOMMAND, SysCommand, OnSysCommand)
#define ON_WM_QUERYDRAGICON() WOBBLE_ENTRY(WM_QUERYDRAGICON, QueryDragIcon, OnQueryDragIcon)
#define ON_WM_LBUTTONDOWN() WOBBLE_ENTRY(WM_LBUTTONDOWN, Mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() WOBBLE_ENTRY(WM_LBUTTONUP, Mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() WOBBLE_ENTRY(WM_LBUTTONDBLCLK, Mouse, OnLButtonDblClk)
#define ON_WM_MOUSEMOVE() WOBBLE_ENTRY(WM_MOUSEMOVE, Mouse, OnMouseMove)
#define ON_WM_CHAR() WOBBLE_ENTRY(WM_CHAR, Key, OnChar)
#define ON_WM_KEYDOWN() WOBBLE_ENTRY(WM_KEYDOWN, Key, OnKeyDown)
#define ON_WM_SETCURSOR() WOBBLE_ENTRY(WM_SETCURSOR, SetCursor, OnSetCursor)
#define ON_WM_KILLFOCUS() WOBBLE_ENTRY(WM_KILLFOCUS, KillFocus, OnKillFocus)
#define ON_WM_ACTIVATE() WOBBLE_ENTRY(WM_ACTIVATE, Activate, OnActivate)
#define ON_WM_ENABLE() WOBBLE_ENTRY(WM_ENABLE, Enable, OnEnable)
#define ON_WM_CANCELMODE() WOBBLE_ENTRY(WM_CANCELMODE, NoArguments, OnCancelMode)
#define ON_WM_SYSCOLORCHANGE() WOBBLE_ENTRY(WM_SYSCOLORCHANGE, NoArguments, OnSysColorChange)
#define ON_WM_TIMER() WOBBLE_ENTRY(WM_TIMER, Timer, OnTimer)
#define ON_WM_MEASUREITEM() WOBBLE_ENTRY(WM_MEASUREITEM, MeasureItem, OnMeasureItem)
#define ON_WM_CTLCOLOR() WOBBLE_ENTRY(WM_CTLCOLOR_ANY, CtlColor, OnCtlColor)
