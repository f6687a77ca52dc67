// The downloadable package, unpacked, as a user tries it: its own two
// services, started from its folder with its users file, and its client as
// the user "demo", whose window must show the welcome notice and the
// nickname that the users file gives "demo", then end cleanly on Esc.
//
//   package_run.exe FOLDER
//
// Prints key=value lines; exits 1 with a failure= line naming what went
// wrong. The pane's text is read as a user would copy it: select all and
// copy through the pane's own keys, then the clipboard.
#include "net/Protocol.h"
#include "tests/support/IdentityArgument.h"
#include "tests/support/ProgramProbe.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/Sockets.h"
#include "tools/common/ServiceProcess.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kPaneWaitMs = 10000;
constexpr DWORD kExitMs = 10000;
constexpr wchar_t kWelcomeNotice[] = L"워블채팅에 오신것을 환영합니다.";
// What tools/demo-users.txt names "demo".
constexpr wchar_t kDemoNickname[] = L"데모사용자";

// For the log, which the script's terminal reads as UTF-8.
std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(
        static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                                  static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

int Fail(const char* why, const std::string& detail = {}) {
    std::printf("failure=%s\n", why);
    if (!detail.empty()) std::printf("detail=%s\n", detail.c_str());
    return 1;
}

}  // namespace

int main() {
    // The folder in UTF-16, as the system holds it, whatever its code page.
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc != 2) {
        std::fprintf(stderr, "usage: package_run FOLDER\n");
        return 2;
    }
    const std::wstring folder = std::wstring(argv[1]) + L"\\";
    ::LocalFree(argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return Fail("winsock");
    if (!WaitUntilPortsAreFree({WOBBLE_PROFILE_PORT, CHAT_SERVER_PORT})) return Fail("ports_busy");

    ServiceProcess profiles;
    ServiceProcess chat;
    if (!profiles.Start(folder + L"wobble-profiled.exe", L"--users \"" + folder + L"demo-users.txt\"", kStartMs)) {
        return Fail("profile_service", profiles.Output());
    }
    if (!chat.Start(folder + L"wobble-chatd.exe", L"", kStartMs)) return Fail("chat_server", chat.Output());
    if (profiles.Port() != WOBBLE_PROFILE_PORT || chat.Port() != CHAT_SERVER_PORT) return Fail("service_ports");

    ProgramRun run;
    if (!run.Start(folder + L"WobbleMiniChat.exe", AsciiWide(IdentityArgument("demo")))) return Fail("start");
    const HWND window = run.WaitForWindow(ProgramRun::WindowKind::ChatWindow, kStartMs);
    if (!window) return Fail("window");
    const std::wstring text = WaitForPaneText(window, {kWelcomeNotice, kDemoNickname}, kPaneWaitMs);
    if (text.find(kWelcomeNotice) == std::wstring::npos) return Fail("no_welcome_notice", Utf8(text));
    if (text.find(kDemoNickname) == std::wstring::npos) return Fail("no_nickname", Utf8(text) + profiles.Output());

    PressEscape(window);
    if (run.WaitForExit(kExitMs) != std::optional<DWORD>(0)) return Fail("no_clean_end");
    ::WSACleanup();
    std::printf("result=ok\n");
    return 0;
}
