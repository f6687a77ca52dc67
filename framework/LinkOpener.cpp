#include "framework/LinkOpener.h"

#include "framework/UrlText.h"

#include <windows.h>
#include <shellapi.h>

namespace {

constexpr std::u16string_view kOpenableSchemes[] = {u"http", u"https", u"mailto"};

bool OpenInNormalWindow(const std::wstring& url) {
    return ShellOpenUrl(url, SW_SHOWNORMAL, ShellHandOver::BeforeReturning);
}

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

bool ShellOpenUrl(const std::wstring& url, int showCommand, ShellHandOver handOver) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    if (handOver == ShellHandOver::BeforeReturning) info.fMask |= SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = url.c_str();
    info.nShow = showCommand;
    return ::ShellExecuteExW(&info) != FALSE;
}

LinkOpener::LinkOpener() : m_launcher(&OpenInNormalWindow) {}

LinkOpener::LinkOpener(Launcher launcher) : m_launcher(std::move(launcher)) {}

bool LinkOpener::Open(std::u16string_view url) const {
    const std::optional<std::wstring> openable = OpenableUrl(url);
    return openable && m_launcher && m_launcher(*openable);
}
