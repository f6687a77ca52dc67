// OpenableUrl, LinkOpener: which links of the pane may leave it, and handing
// those to the system's browser or mail program.
//
// Only http, https and mailto are opened. Everything else (file:, javascript:,
// data:, res:, a bare path, a UNC path "\\server\share") would have the shell
// run or open something on this machine, which text from the network must
// never be able to do. The URL is cleaned as a URL parser would first
// (leading and trailing spaces and control characters go, tabs and line feeds
// inside are dropped), so " javascript:" or "java\tscript:" gain nothing.
//
// Launching is a function the opener is given, so tests can see what would
// have been opened without starting a browser.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace html {

// The URL as it will be handed on (cleaned and escaped, see UrlText.h), when
// its scheme may be opened; nothing otherwise. The shell puts the URL into
// the browser's command line, where a '"' it carried could end the quoted
// argument and add arguments of its own.
std::optional<std::wstring> OpenableUrl(std::u16string_view url);

class LinkOpener {
public:
    // Gets a cleaned, allowed URL; returns whether it was launched.
    using Launcher = std::function<bool(const std::wstring& url)>;

    // Opens with ShellExecuteExW.
    LinkOpener();
    explicit LinkOpener(Launcher launcher);

    // Opens `url` when it is allowed; false when refused or not launched.
    bool Open(std::u16string_view url) const;

    // ShellExecuteExW with the "open" verb and no UI on failure.
    static bool ShellOpen(const std::wstring& url);

private:
    Launcher m_launcher;
};

}  // namespace html
