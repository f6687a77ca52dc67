// OpenableUrl, ShellOpenUrl, LinkOpener: which links may leave the program,
// and handing those to the system's browser or mail program.
//
// Only http, https and mailto are opened. Everything else (file:, javascript:,
// data:, res:, a bare path, a UNC path "\\server\share") would have the shell
// run or open something on this machine, which text from the network must
// never be able to do. The URL is cleaned as a URL parser would first
// (leading and trailing spaces and control characters go, tabs and line feeds
// inside are dropped), so " javascript:" or "java\tscript:" gain nothing.
//
// The check needs no window and no system call; only ShellOpenUrl does.
// LinkOpener is given its launching function, so tests can see what would
// have been opened without starting a browser.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The URL as it will be handed on (cleaned and escaped, see UrlText.h), when
// its scheme may be opened; nothing otherwise. The shell puts the URL into
// the browser's command line, where a '"' it carried could end the quoted
// argument and add arguments of its own.
std::optional<std::wstring> OpenableUrl(std::u16string_view url);

// Whether ShellOpenUrl may return before the shell has handed the URL over
// (SEE_MASK_NOASYNC left out) or only after.
enum class ShellHandOver { MayFollowTheCall, BeforeReturning };

// ShellExecuteExW with the "open" verb and no message box on failure;
// `showCommand` (an SW_ value) is how the opened program's window shows.
// True when the shell took it. Give it only what OpenableUrl answered.
bool ShellOpenUrl(const std::wstring& url, int showCommand, ShellHandOver handOver);

class LinkOpener {
public:
    // Gets a cleaned, allowed URL; returns whether it was launched.
    using Launcher = std::function<bool(const std::wstring& url)>;

    // Opens with the shell in a normal window, handed over before Open
    // returns.
    LinkOpener();
    explicit LinkOpener(Launcher launcher);

    // Opens `url` when it is allowed; false when refused or not launched.
    bool Open(std::u16string_view url) const;

private:
    Launcher m_launcher;
};
