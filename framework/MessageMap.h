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

#include <cstddef>
#include <tuple>
#include <type_traits>
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
struct HandlerTraits;
template <typename Class, typename Result, typename... Args>
struct HandlerTraits<Result (Class::*)(Args...)> {
    using type = Class;
    template <std::size_t index>
    using Argument = std::tuple_element_t<index, std::tuple<Args...>>;
};
// The type of argument `index` of handler `Handler`.
template <auto Handler, std::size_t index>
using ArgumentOf = typename HandlerTraits<decltype(Handler)>::template Argument<index>;

template <auto Handler, typename... Args>
decltype(auto) Call(CWnd& wnd, Args&&... args) {
    using Class = typename HandlerTraits<decltype(Handler)>::type;
    return (static_cast<Class&>(wnd).*Handler)(std::forward<Args>(args)...);
}

template <typename Value>
LRESULT AsResult(Value value) {
    if constexpr (std::is_pointer_v<Value>) return reinterpret_cast<LRESULT>(value);
    else return static_cast<LRESULT>(value);
}

// Calls the handler; what it returns, if anything, answers the message.
// A void handler leaves the answer 0.
template <auto Handler, typename... Args>
bool Answer(CWnd& wnd, LRESULT& result, Args&&... args) {
    if constexpr (std::is_void_v<decltype(Call<Handler>(wnd, std::forward<Args>(args)...))>) {
        Call<Handler>(wnd, std::forward<Args>(args)...);
    } else {
        result = AsResult(Call<Handler>(wnd, std::forward<Args>(args)...));
    }
    return true;
}

// Signed: a point left of or above the window, or on a monitor left of or
// above the primary one, is negative. (windowsx.h has this as GET_X_LPARAM,
// but also macros that clash with CWnd's methods.)
inline CPoint PointOf(LPARAM lParam) {
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}
inline CDCHandle DcOf(WPARAM wParam) { return CDCHandle(reinterpret_cast<HDC>(wParam)); }
template <typename Parameter>  // WPARAM or LPARAM
CWindow WindowOf(Parameter handle) {
    return CWindow(reinterpret_cast<HWND>(handle));
}
inline NMHDR* NotifyHeaderOf(LPARAM lParam) { return reinterpret_cast<NMHDR*>(lParam); }

#define WOBBLE_DISPATCHER(name, ...)                                                                   \
    template <auto H>                                                                                  \
    bool name([[maybe_unused]] CWnd& w, [[maybe_unused]] UINT message, [[maybe_unused]] WPARAM wParam, \
              [[maybe_unused]] LPARAM lParam, [[maybe_unused]] LRESULT& result) {                      \
        __VA_ARGS__                                                                                    \
    }

// One line per way of cracking a message, kept as a table.
// clang-format off
// LRESULT OnMessage(WPARAM, LPARAM)
WOBBLE_DISPATCHER(Message, return Answer<H>(w, result, wParam, lParam);)
// Handlers without arguments: void OnCommand(), void OnPaint(), and those
// whose value is the answer, such as UINT OnGetDlgCode() or HCURSOR
// OnQueryDragIcon()
WOBBLE_DISPATCHER(NoArguments, return Answer<H>(w, result);)
// BOOL OnCommand(): FALSE declines
WOBBLE_DISPATCHER(CommandEx, return Call<H>(w) != FALSE;)
// void OnNotify(NMHDR*, LRESULT*)
WOBBLE_DISPATCHER(Notify, Call<H>(w, NotifyHeaderOf(lParam), &result); return true;)
// BOOL OnNotify(NMHDR*, LRESULT*): FALSE declines
WOBBLE_DISPATCHER(NotifyEx, return Call<H>(w, NotifyHeaderOf(lParam), &result) != FALSE;)
// int OnCreate(LPCREATESTRUCT): -1 refuses the window
WOBBLE_DISPATCHER(Create, return Answer<H>(w, result, reinterpret_cast<LPCREATESTRUCT>(lParam));)
// BOOL OnEraseBkgnd(CDCHandle)
WOBBLE_DISPATCHER(EraseBkgnd, return Answer<H>(w, result, DcOf(wParam));)
// void OnSize(UINT type, int cx, int cy)
WOBBLE_DISPATCHER(Size, Call<H>(w, static_cast<UINT>(wParam), int{LOWORD(lParam)}, int{HIWORD(lParam)}); return true;)
// void OnWindowPosChanging(WINDOWPOS*)
WOBBLE_DISPATCHER(WindowPos, Call<H>(w, reinterpret_cast<WINDOWPOS*>(lParam)); return true;)
// void OnDpiChanged(UINT dpi, const RECT* suggested): the new DPI as the
// system gives it (unchecked), and the window's suggested rectangle, which
// a malformed message may leave null
WOBBLE_DISPATCHER(DpiChanged, Call<H>(w, UINT{LOWORD(wParam)}, reinterpret_cast<const RECT*>(lParam)); return true;)
// void OnSysCommand(UINT id, LPARAM)
WOBBLE_DISPATCHER(SysCommand, Call<H>(w, static_cast<UINT>(wParam), lParam); return true;)
// void OnLButtonDown(UINT flags, CPoint) and the other mouse messages
WOBBLE_DISPATCHER(Mouse, Call<H>(w, static_cast<UINT>(wParam), PointOf(lParam)); return true;)
// void OnMouseWheel(UINT flags, short delta, CPoint screenPoint). Not the
// classic BOOL: the system asks 0 of a window that took the wheel, which a
// void handler cannot get wrong.
WOBBLE_DISPATCHER(MouseWheel, Call<H>(w, UINT{GET_KEYSTATE_WPARAM(wParam)}, short{GET_WHEEL_DELTA_WPARAM(wParam)}, PointOf(lParam)); return true;)
// void OnContextMenu(CWindow clicked, CPoint screenPoint); (-1, -1) when
// the menu was asked for from the keyboard
WOBBLE_DISPATCHER(ContextMenu, Call<H>(w, WindowOf(wParam), PointOf(lParam)); return true;)
// void OnChar(UINT code, UINT repeat, UINT flags), also OnKeyDown
WOBBLE_DISPATCHER(Key, Call<H>(w, static_cast<UINT>(wParam), UINT{LOWORD(lParam)}, UINT{HIWORD(lParam)}); return true;)
// BOOL OnSetCursor(CWindow, UINT hitTest, UINT message)
WOBBLE_DISPATCHER(SetCursor, return Answer<H>(w, result, WindowOf(wParam), UINT{LOWORD(lParam)}, UINT{HIWORD(lParam)});)
// void OnKillFocus(CWindow newFocus)
WOBBLE_DISPATCHER(KillFocus, Call<H>(w, WindowOf(wParam)); return true;)
// void OnCaptureChanged(CWindow newCapture)
WOBBLE_DISPATCHER(CaptureChanged, Call<H>(w, WindowOf(lParam)); return true;)
// void OnActivate(UINT state, CWindow other, BOOL minimized)
WOBBLE_DISPATCHER(Activate, Call<H>(w, UINT{LOWORD(wParam)}, WindowOf(lParam), BOOL{HIWORD(wParam) != 0}); return true;)
// void OnEnable(BOOL enable)
WOBBLE_DISPATCHER(Enable, Call<H>(w, static_cast<BOOL>(wParam)); return true;)
// void OnTimer(UINT_PTR id)
WOBBLE_DISPATCHER(Timer, Call<H>(w, static_cast<UINT_PTR>(wParam)); return true;)
// LRESULT OnMenuChar(UINT character, UINT menuFlags, HMENU)
WOBBLE_DISPATCHER(MenuChar, return Answer<H>(w, result, UINT{LOWORD(wParam)}, UINT{HIWORD(wParam)}, reinterpret_cast<HMENU>(lParam));)
// void OnMeasureItem(int id, LPMEASUREITEMSTRUCT), void OnDrawItem(int id,
// LPDRAWITEMSTRUCT): the item is taken (TRUE); a handler that returns
// LRESULT answers itself, so one that passes an item on gives the default
// answer
WOBBLE_DISPATCHER(OwnerItem, result = TRUE; return Answer<H>(w, result, static_cast<int>(wParam), reinterpret_cast<ArgumentOf<H, 1>>(lParam));)
// HBRUSH OnCtlColor(CDCHandle, CWindow control, UINT type)
WOBBLE_DISPATCHER(CtlColor, return Answer<H>(w, result, DcOf(wParam), WindowOf(lParam), message - WM_CTLCOLORMSGBOX);)
// reflected: HBRUSH CtlColor(CDCHandle, UINT type); a null brush declines
WOBBLE_DISPATCHER(CtlColorReflect, const HBRUSH brush = Call<H>(w, DcOf(wParam), (message - WM_REFLECT_BASE) - WM_CTLCOLORMSGBOX); result = reinterpret_cast<LRESULT>(brush); return brush != nullptr;)
// reflected: void DrawItem(LPDRAWITEMSTRUCT), void MeasureItem(LPMEASUREITEMSTRUCT)
WOBBLE_DISPATCHER(OwnerItemReflect, Call<H>(w, reinterpret_cast<ArgumentOf<H, 0>>(lParam)); result = TRUE; return true;)
// LRESULT OnSetStyle(UINT style, LPARAM redraw) of a button: the redraw
// flag whole, as the button's own handling reads it
WOBBLE_DISPATCHER(ButtonStyle, return Answer<H>(w, result, static_cast<UINT>(wParam), lParam);)
// void OnSetCheck(int state) of a button
WOBBLE_DISPATCHER(ButtonCheck, Call<H>(w, static_cast<int>(wParam)); return true;)
// clang-format on

#undef WOBBLE_DISPATCHER

}  // namespace msgmap

#define DECLARE_MESSAGE_MAP()                       \
protected:                                          \
    static const ::MessageMap* GetThisMessageMap(); \
    const ::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const ::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::MessageMap* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        using TheBaseClass = baseClass;                                                 \
        static constexpr ::MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                         \
    { 0, 0, 0, 0, nullptr }                                                       \
    }                                                                             \
    ;                                                                             \
    static constexpr ::MessageMap map{&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                                  \
    }

#define WOBBLE_ENTRY(message, dispatcher, handler) {message, 0, 0, 0, &::msgmap::dispatcher<&ThisClass::handler>},
#define WOBBLE_ID_ENTRY(message, code, first, last, dispatcher, handler)                  \
    {message, static_cast<UINT>(code), static_cast<UINT>(first), static_cast<UINT>(last), \
     &::msgmap::dispatcher<&ThisClass::handler>},

// Any message, undecoded.
#define ON_MESSAGE(message, handler) WOBBLE_ENTRY(message, Message, handler)
// Commands: menus and accelerators (no control), or a control's click.
#define ON_COMMAND(id, handler) WOBBLE_ID_ENTRY(WM_COMMAND, 0, id, id, NoArguments, handler)
#define ON_CONTROL(code, id, handler) WOBBLE_ID_ENTRY(WM_COMMAND, code, id, id, NoArguments, handler)
#define ON_BN_CLICKED(id, handler) ON_CONTROL(BN_CLICKED, id, handler)
#define ON_NOTIFY(code, id, handler) WOBBLE_ID_ENTRY(WM_NOTIFY, code, id, id, Notify, handler)
// Notifications reflected to the control object that sent them.
#define ON_CONTROL_REFLECT(code, handler) \
    WOBBLE_ID_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0xFFFF, NoArguments, handler)
#define ON_CONTROL_REFLECT_EX(code, handler) \
    WOBBLE_ID_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0xFFFF, CommandEx, handler)
#define ON_NOTIFY_REFLECT(code, handler) WOBBLE_ID_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0xFFFF, Notify, handler)
#define ON_NOTIFY_REFLECT_EX(code, handler) \
    WOBBLE_ID_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0xFFFF, NotifyEx, handler)
#define ON_WM_CTLCOLOR_REFLECT() WOBBLE_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR_ANY, CtlColorReflect, CtlColor)
#define ON_WM_DRAWITEM_REFLECT() WOBBLE_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, OwnerItemReflect, DrawItem)
#define ON_WM_MEASUREITEM_REFLECT() WOBBLE_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, OwnerItemReflect, MeasureItem)
// Window messages, with the classic handler names.
#define ON_WM_CREATE() WOBBLE_ENTRY(WM_CREATE, Create, OnCreate)
#define ON_WM_DESTROY() WOBBLE_ENTRY(WM_DESTROY, NoArguments, OnDestroy)
#define ON_WM_CLOSE() WOBBLE_ENTRY(WM_CLOSE, NoArguments, OnClose)
#define ON_WM_PAINT() WOBBLE_ENTRY(WM_PAINT, NoArguments, OnPaint)
#define ON_WM_ERASEBKGND() WOBBLE_ENTRY(WM_ERASEBKGND, EraseBkgnd, OnEraseBkgnd)
#define ON_WM_SIZE() WOBBLE_ENTRY(WM_SIZE, Size, OnSize)
#define ON_WM_WINDOWPOSCHANGING() WOBBLE_ENTRY(WM_WINDOWPOSCHANGING, WindowPos, OnWindowPosChanging)
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#define ON_WM_DPICHANGED() WOBBLE_ENTRY(WM_DPICHANGED, DpiChanged, OnDpiChanged)
#define ON_WM_SYSCOMMAND() WOBBLE_ENTRY(WM_SYSCOMMAND, SysCommand, OnSysCommand)
#define ON_WM_QUERYDRAGICON() WOBBLE_ENTRY(WM_QUERYDRAGICON, NoArguments, OnQueryDragIcon)
#define ON_WM_LBUTTONDOWN() WOBBLE_ENTRY(WM_LBUTTONDOWN, Mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() WOBBLE_ENTRY(WM_LBUTTONUP, Mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() WOBBLE_ENTRY(WM_LBUTTONDBLCLK, Mouse, OnLButtonDblClk)
#define ON_WM_MOUSEMOVE() WOBBLE_ENTRY(WM_MOUSEMOVE, Mouse, OnMouseMove)
#define ON_WM_MOUSEWHEEL() WOBBLE_ENTRY(WM_MOUSEWHEEL, MouseWheel, OnMouseWheel)
#define ON_WM_MOUSELEAVE() WOBBLE_ENTRY(WM_MOUSELEAVE, NoArguments, OnMouseLeave)
#define ON_WM_CAPTURECHANGED() WOBBLE_ENTRY(WM_CAPTURECHANGED, CaptureChanged, OnCaptureChanged)
#define ON_WM_CONTEXTMENU() WOBBLE_ENTRY(WM_CONTEXTMENU, ContextMenu, OnContextMenu)
#define ON_WM_CHAR() WOBBLE_ENTRY(WM_CHAR, Key, OnChar)
#define ON_WM_KEYDOWN() WOBBLE_ENTRY(WM_KEYDOWN, Key, OnKeyDown)
#define ON_WM_GETDLGCODE() WOBBLE_ENTRY(WM_GETDLGCODE, NoArguments, OnGetDlgCode)
#define ON_WM_SETCURSOR() WOBBLE_ENTRY(WM_SETCURSOR, SetCursor, OnSetCursor)
#define ON_WM_KILLFOCUS() WOBBLE_ENTRY(WM_KILLFOCUS, KillFocus, OnKillFocus)
#define ON_WM_ACTIVATE() WOBBLE_ENTRY(WM_ACTIVATE, Activate, OnActivate)
#define ON_WM_ENABLE() WOBBLE_ENTRY(WM_ENABLE, Enable, OnEnable)
#define ON_WM_CANCELMODE() WOBBLE_ENTRY(WM_CANCELMODE, NoArguments, OnCancelMode)
#define ON_WM_SYSCOLORCHANGE() WOBBLE_ENTRY(WM_SYSCOLORCHANGE, NoArguments, OnSysColorChange)
#define ON_WM_TIMER() WOBBLE_ENTRY(WM_TIMER, Timer, OnTimer)
#define ON_WM_MEASUREITEM() WOBBLE_ENTRY(WM_MEASUREITEM, OwnerItem, OnMeasureItem)
#define ON_WM_DRAWITEM() WOBBLE_ENTRY(WM_DRAWITEM, OwnerItem, OnDrawItem)
#define ON_WM_MENUCHAR() WOBBLE_ENTRY(WM_MENUCHAR, MenuChar, OnMenuChar)
#define ON_WM_CTLCOLOR() WOBBLE_ENTRY(WM_CTLCOLOR_ANY, CtlColor, OnCtlColor)
// The dialog's own start, under the classic framework's name for it:
// BOOL HandleInitDialog(), whose answer says whether the system sets the focus.
#define ON_WM_INITDIALOG() WOBBLE_ENTRY(WM_INITDIALOG, NoArguments, HandleInitDialog)
// Button messages that a button class takes over.
#define ON_BM_SETSTYLE() WOBBLE_ENTRY(BM_SETSTYLE, ButtonStyle, OnSetStyle)
#define ON_BM_SETCHECK() WOBBLE_ENTRY(BM_SETCHECK, ButtonCheck, OnSetCheck)
#define ON_BM_GETCHECK() WOBBLE_ENTRY(BM_GETCHECK, NoArguments, OnGetCheck)
