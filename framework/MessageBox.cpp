#include "framework/MessageBox.h"

#include "framework/TextConversion.h"
#include "framework/TextFont.h"
#include "framework/Window.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The box's message, a static control of this number, as on every Windows.
constexpr int kMessageTextId = 0xFFFF;

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t className[16] = {};
    return ::GetClassNameW(window, className, 16) > 0 && ::lstrcmpiW(className, name) == 0;
}

// The message of a message box; null for any other window, such as one
// activated before the box.
HWND MessageText(HWND box) {
    const HWND text = IsClass(box, L"#32770") ? ::GetDlgItem(box, kMessageTextId) : nullptr;
    return text && IsClass(text, L"Static") ? text : nullptr;
}

std::vector<HWND> Children(HWND box) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

CRect RectIn(HWND box, HWND control) {
    CRect rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE TextSize(HWND control, HFONT font) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    const HDC dc = ::GetDC(control);
    const HGDIOBJ previous = ::SelectObject(dc, font);
    RECT bounds{};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// One message box run on this thread: the hook, and the font it gave the box.
class BoxFontMend {
public:
    BoxFontMend() : m_hook(::SetWindowsHookExW(WH_CBT, &BoxFontMend::HookProc, nullptr, ::GetCurrentThreadId())) {
        s_current = this;
    }
    ~BoxFontMend() {
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
        if (m_font) ::DeleteObject(m_font);
    }
    BoxFontMend(const BoxFontMend&) = delete;
    BoxFontMend& operator=(const BoxFontMend&) = delete;

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
        BoxFontMend* mend = s_current;
        if (code == HCBT_ACTIVATE && mend && !mend->m_done) mend->Mend(reinterpret_cast<HWND>(wParam));
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Mend(HWND box) {
        const HWND text = MessageText(box);
        if (!text) return;
        m_done = true;
        const auto current = reinterpret_cast<HFONT>(::SendMessageW(text, WM_GETFONT, 0, 0));
        LOGFONTW font{};
        if (!current || FontCoversText(current) || !::GetObjectW(current, sizeof font, &font)) return;
        const std::wstring face = FaceForText(font);
        if (face.empty()) return;
        face.copy(font.lfFaceName, LF_FACESIZE - 1);
        font.lfFaceName[std::min<size_t>(face.size(), LF_FACESIZE - 1)] = L'\0';
        m_font = ::CreateFontIndirectW(&font);
        if (!m_font) return;
        const CRect textRect = RectIn(box, text);
        const SIZE needed = TextSize(text, m_font);
        const int wider = std::max(0, static_cast<int>(needed.cx) - textRect.Width());
        const int taller = std::max(0, static_cast<int>(needed.cy) - textRect.Height());
        for (const HWND child : Children(box)) {
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
            if (child == text) {
                const CRect rect = RectIn(box, child);
                ::SetWindowPos(child, nullptr, 0, 0, rect.Width() + wider, rect.Height() + taller,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            } else if (RectIn(box, child).top >= textRect.bottom) {
                // The buttons, below the text and centred under it.
                const CRect rect = RectIn(box, child);
                ::SetWindowPos(child, nullptr, rect.left + wider / 2, rect.top + taller, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        // The box grows about its centre.
        const CRect boxRect = CWindow(box).GetWindowRect();
        ::SetWindowPos(box, nullptr, boxRect.left - wider / 2, boxRect.top - taller / 2, boxRect.Width() + wider,
                       boxRect.Height() + taller, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    static inline thread_local BoxFontMend* s_current = nullptr;
    HHOOK m_hook;
    HFONT m_font = nullptr;
    bool m_done = false;
};

}  // namespace

int AfxMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    BoxFontMend mend;
    return ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), type);
}
