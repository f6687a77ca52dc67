#include "framework/html/LinkOpener.h"

#include "framework/html/UrlText.h"

#include <windows.h>
#include <shellapi.h>

namespace html {
namespace {

constexpr std::u16string_view kOpenableSchemes[] = {u"http", u"https", u"mailto"};

}  // namespace

std::optional<std::wstring> OpenableUrl(std::u16string_view url) {
    const std::u16string cleaned = CleanUrl(url);
    const std::u16string scheme = UrlScheme(cleaned);
    for (const std::u16string_view allowed : kOpenableSchemes) {
        // Nothing after the colon opens nothing useful.
        if (scheme == allowed && cleaned.size() > scheme.size() + 1) return EscapeUrl(cleaned);
    }
    return std::nullopt;
}

LinkOpener::LinkOpener() : m_launcher(&LinkOpener::ShellOpen) {}

LinkOpener::LinkOpener(Launcher launcher) : m_launcher(std::move(launcher)) {}

bool LinkOpener::Open(std::u16string_view url) const {
    const std::optional<std::wstring> openable = OpenableUrl(url);
    return openable && m_launcher && m_launcher(*openable);
}

bool LinkOpener::ShellOpen(const std::wstring& url) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = url.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

}  // namespace html
