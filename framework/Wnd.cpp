#include "framework/Wnd.h"

#include "framework/AccessibleName.h"
#include "framework/TextConversion.h"
#include "framework/WinApp.h"

#include <optional>
#include <unordered_map>
#include <utility>

namespace {

// Objects attached to windows of this thread.
thread_local std::unordered_map<HWND, CWnd*> t_permanentMap;
// The object whose window is being created, until the hook attaches it.
thread_local CWnd* t_pendingCreation = nullptr;

// The message being handled, for Default(); saved and restored around each
// call so that nested messages do not lose the outer one.
struct CurrentMessage {
    HWND hWnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
thread_local CurrentMessage t_currentMessage;

class CurrentMessageScope {
public:
    explicit CurrentMessageScope(const CurrentMessage& current) : m_saved(std::exchange(t_currentMessage, current)) {}
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;
    ~CurrentMessageScope() { t_currentMessage = m_saved; }

private:
    CurrentMessage m_saved;
};

constexpr wchar_t kPlainClassName[] = L"AfxWnd";

bool RegisterPlainClass() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kPlainClassName;
        return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

// The input method's default window can be created on this thread while a
// window of ours is being made; it must never be taken for ours.
bool IsImeWindow(HWND hWnd) {
    wchar_t name[8] = {};
    return ::GetClassNameW(hWnd, name, 8) > 0 && ::lstrcmpiW(name, L"IME") == 0;
}

bool IsChildWindow(HWND hWnd) { return (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) != 0; }

// The control a parent's message concerns, for reflection; null when none.
// Anyone can post these messages, so a missing structure is no crash.
HWND ReflectionTarget(HWND parent, UINT message, LPARAM lParam) {
    if (message == WM_COMMAND) return reinterpret_cast<HWND>(lParam);
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return reinterpret_cast<HWND>(lParam);
    if (!lParam) return nullptr;
    switch (message) {
    case WM_NOTIFY: return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(parent, static_cast<int>(item->CtlID));
    }
    default: return nullptr;
    }
}

// How a message is looked up in a map: its key, and for commands and
// notifications the code and identifier.
struct Route {
    UINT key;
    UINT code = 0;
    UINT_PTR id = 0;
    bool hasId = false;
};

// None for a notification without its header, which no handler could read.
std::optional<Route> RouteOf(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool reflected = message >= WM_REFLECT_BASE;
    const UINT plain = reflected ? message - WM_REFLECT_BASE : message;
    const UINT offset = message - plain;
    if (plain >= WM_CTLCOLORMSGBOX && plain <= WM_CTLCOLORSTATIC) return Route{offset + WM_CTLCOLOR_ANY};
    if (plain == WM_COMMAND) {
        // Menus and accelerators carry no control; both count as code 0.
        const UINT code = lParam ? HIWORD(wParam) : 0;
        return Route{message, code, LOWORD(wParam), true};
    }
    if (plain == WM_NOTIFY) {
        if (!lParam) return std::nullopt;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return Route{message, header->code, header->idFrom, true};
    }
    return Route{message};
}

bool Matches(const MessageMapEntry& entry, const Route& route) {
    if (entry.message != route.key) return false;
    return !route.hasId || (entry.code == route.code && entry.firstId <= route.id && route.id <= entry.lastId);
}

// Commands of the main window's menus and accelerators that the window does
// not handle belong to the application as a whole.
bool RouteCommandToApp(HWND hWnd, UINT_PTR id, LRESULT& result) {
    CWinApp* const app = AfxGetApp();
    const CWnd* const mainWnd = app ? app->m_pMainWnd : nullptr;
    if (!mainWnd || mainWnd->m_hWnd != hWnd || !app->OnCmdMsg(static_cast<UINT>(id))) return false;
    result = 0;
    return true;
}

}  // namespace

IMPLEMENT_DYNAMIC(CWnd, CObject)

CWnd::~CWnd() {
    // The application must not go on naming a main window that is gone, as
    // it does when the window is a local object of its start-up.
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    // Destruction can fail (a window of another thread); never leave the
    // window pointing at this object.
    if (m_hWnd) UnsubclassWindow();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    const auto found = t_permanentMap.find(hWnd);
    return found == t_permanentMap.end() ? nullptr : found->second;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const char* windowName, DWORD style, const RECT& rect,
                    HWND parent, UINT id) {
    if (m_hWnd) return false;
    if (!className) {
        if (!RegisterPlainClass()) return false;
        className = kPlainClassName;
    }
    const std::wstring name = ToWide(windowName);
    // A child's menu handle is its identifier.
    const HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    return CreateHooked([&] {
        return ::CreateWindowExW(exStyle, className, name.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, parent, menu, ::GetModuleHandleW(nullptr), nullptr);
    });
}

bool CWnd::CreateHooked(const std::function<HWND()>& create) {
    if (m_hWnd) return false;
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, &CWnd::CreationHookProc, nullptr, ::GetCurrentThreadId());
    if (!hook) return false;
    CWnd* const outerPending = std::exchange(t_pendingCreation, this);
    const HWND created = create();
    t_pendingCreation = outerPending;
    ::UnhookWindowsHookEx(hook);
    if (created && created != m_hWnd) {
        // Made, but not through the hook: an object that missed the first
        // messages would be half-initialised, so the window goes, and so
        // does whatever other window the hook took instead.
        if (m_hWnd) UnsubclassWindow();
        ::DestroyWindow(created);
        return false;
    }
    return created != nullptr;
}

LRESULT CALLBACK CWnd::CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const HWND hWnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && t_pendingCreation && !IsImeWindow(hWnd)) {
        std::exchange(t_pendingCreation, nullptr)->AttachAndSubclass(hWnd);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd || !hWnd || !::IsWindow(hWnd) || FromHandle(hWnd)) return false;
    m_hWnd = hWnd;
    PreSubclassWindow();
    m_hWnd = nullptr;
    return AttachAndSubclass(hWnd);
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id))); }

bool CWnd::AttachAndSubclass(HWND hWnd) {
    t_permanentMap[hWnd] = this;
    m_hWnd = hWnd;
    ::SetLastError(0);
    const auto previous =
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc));
    if (previous == 0 && ::GetLastError() != 0) {
        Detach();
        return false;
    }
    m_pfnSuper = reinterpret_cast<WNDPROC>(previous);
    return true;
}

HWND CWnd::UnsubclassWindow() {
    const HWND hWnd = m_hWnd;
    if (!hWnd) return nullptr;
    // Someone who subclassed after us still calls our procedure, which then
    // passes everything on to DefWindowProcW; putting ours back would cut
    // them off.
    if (::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc)) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    Detach();
    return hWnd;
}

void CWnd::Detach() {
    t_permanentMap.erase(m_hWnd);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* const wnd = FromHandle(hWnd);
    if (!wnd) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    const CurrentMessageScope scope({hWnd, message, wParam, lParam});
    if (message == WM_NCDESTROY) return wnd->HandleNcDestroy(wParam, lParam);
    return wnd->WindowProc(message, wParam, lParam);
}

LRESULT CWnd::HandleNcDestroy(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = WindowProc(WM_NCDESTROY, wParam, lParam);
    // A name annotated for screen readers goes with its window.
    ForgetAccessibleName(m_hWnd);
    UnsubclassWindow();
    PostNcDestroy();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const CurrentMessage& current = t_currentMessage;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (ReflectToControl(message, wParam, lParam, result)) return true;
    const std::optional<Route> route = RouteOf(message, wParam, lParam);
    if (!route) return false;
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->dispatch; ++entry) {
            if (Matches(*entry, *route) && entry->dispatch(*this, message, wParam, lParam, result)) return true;
        }
    }
    return message == WM_COMMAND && RouteCommandToApp(m_hWnd, route->id, result);
}

bool CWnd::ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const HWND control = ReflectionTarget(m_hWnd, message, lParam);
    if (!control || control == m_hWnd) return false;
    CWnd* const target = FromHandle(control);
    if (!target) return false;
    // A reflected handler answers for the parent; the message it sees is the
    // parent's, so it has no default handling of its own to call.
    return target->OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, result);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

bool CWnd::WalkPreTranslateTree(HWND last, MSG* msg) {
    for (HWND hWnd = msg->hwnd; hWnd; hWnd = IsChildWindow(hWnd) ? ::GetParent(hWnd) : nullptr) {
        CWnd* const wnd = FromHandle(hWnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return true;
        if (hWnd == last) break;
    }
    return false;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

const MessageMap* CWnd::GetThisMessageMap() {
    static constexpr MessageMapEntry entries[] = {{0, 0, 0, 0, nullptr}};
    static constexpr MessageMap map{nullptr, entries};
    return &map;
}

const MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }
