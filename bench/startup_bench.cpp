// Start-up benchmark: from starting WobbleMiniChat.exe to its chat window
// on the screen, with the reference services on this machine.
//
//   startup_bench [--runs N] [--users FILE] [--chat-port N] [--profile-port N]
//                 [--also PROGRAM] ... IDENTITY
//
// Starts wobble-chatd and wobble-profiled on the program's built-in ports
// (9812 and 9811 unless told otherwise: the program's addresses are compiled
// in, so the ports must be the ones it was built with) with the users file,
// then N times: notes the time, starts the program
// with IDENTITY as its argument, waits for a visible top-level window of
// that process titled "워블채팅" that holds the input box (the bad-profile
// message box has the same title but no input box), notes the time again,
// and closes the window with WM_CLOSE, waiting for the process to end
// before the next start. Each --also names another build of the program
// (such as the Release one) to measure in the same run: each round starts
// every program once, in turn, so that the machine's load of the moment
// falls on all of them alike. Prints one line per program:
//   program=PATH runs=N startup_ms_median=.. startup_ms_min=.. startup_ms_max=..
//
// The clock starts just before CreateProcess, inside an already running Wine
// process, so wineserver is up: each start is a warm Wine start (the
// program's own loading, the profile fetch, the connection and the window),
// not Wine's cold start. The window is looked for every millisecond.

#include "bench/BenchClock.h"
#include "framework/TextConversion.h"
#include "res/resource.h"
#include "tools/common/ServiceProcess.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kWindowTitle[] = L"워블채팅";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr DWORD kServiceStartMs = 10000;
constexpr double kWindowWaitSeconds = 20;
constexpr DWORD kExitWaitMs = 10000;

// The chat window of `processId`, once it is visible; null before.
HWND ShownChatWindow(DWORD processId) {
    for (HWND window = FindWindowExW(nullptr, nullptr, kDialogClass, kWindowTitle); window;
         window = FindWindowExW(nullptr, window, kDialogClass, kWindowTitle)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window) && GetDlgItem(window, IDC_INPUT)) return window;
    }
    return nullptr;
}

// One start: the milliseconds to the shown window, or a negative value when
// the program did not start or no window came.
double StartOnce(const std::wstring& program, const std::wstring& identity) {
    std::wstring commandLine = L"\"" + program + L"\" " + identity;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    HWND window = nullptr;
    double shown = 0;
    while (!(window = ShownChatWindow(process.dwProcessId)) && Now() - start < kWindowWaitSeconds &&
           WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
    }
    shown = Now();
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, window ? kExitWaitMs : 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kExitWaitMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return window ? (shown - start) * 1000 : -1;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : path;
}

struct Options {
    int runs = 10;
    int chatPort = 9812;
    int profilePort = 9811;
    std::wstring usersFile;
    std::wstring identity;
    std::vector<std::wstring> programs{FullPath(BesideThisProgram(L"../app/WobbleMiniChat.exe"))};
};

// The command line as the system holds it, in UTF-16, so that paths reach
// CreateProcessW as they were typed whatever the system's code page.
bool ReadOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring name = argv[i];
        if (name == L"--runs" && i + 1 < argc) {
            options.runs = _wtoi(argv[++i]);
        } else if (name == L"--chat-port" && i + 1 < argc) {
            options.chatPort = _wtoi(argv[++i]);
        } else if (name == L"--profile-port" && i + 1 < argc) {
            options.profilePort = _wtoi(argv[++i]);
        } else if (name == L"--users" && i + 1 < argc) {
            options.usersFile = argv[++i];
        } else if (name == L"--also" && i + 1 < argc) {
            options.programs.push_back(argv[++i]);
        } else if (options.identity.empty() && name.rfind(L"--", 0) != 0) {
            options.identity = name;
        } else {
            return false;
        }
    }
    return options.runs > 0 && !options.identity.empty();
}

int Bench(const Options& options) {
    ServiceProcess chatServer;
    ServiceProcess profileService;
    if (!chatServer.Start(BesideThisProgram(L"../tools/wobble-chatd.exe"),
                          L"--port " + std::to_wstring(options.chatPort), kServiceStartMs) ||
        !profileService.Start(
            BesideThisProgram(L"../tools/wobble-profiled.exe"),
            L"--port " + std::to_wstring(options.profilePort) + L" --users \"" + options.usersFile + L"\"",
            kServiceStartMs)) {
        std::fprintf(stderr, "startup_bench: the services did not start (ports %d and %d taken?)\n", options.chatPort,
                     options.profilePort);
        return 1;
    }
    std::vector<std::vector<double>> times(options.programs.size());
    for (int i = 0; i < options.runs; ++i) {
        for (size_t p = 0; p < options.programs.size(); ++p) {
            const double ms = StartOnce(options.programs[p], options.identity);
            if (ms < 0) {
                std::fprintf(stderr, "startup_bench: run %d of %s showed no chat window\n", i + 1,
                             FromWide(options.programs[p]).GetString());
                return 1;
            }
            times[p].push_back(ms);
        }
    }
    for (size_t p = 0; p < options.programs.size(); ++p) {
        std::printf("program=%s runs=%d startup_ms_median=%.0f startup_ms_min=%.0f startup_ms_max=%.0f\n",
                    FromWide(options.programs[p]).GetString(), options.runs, Median(times[p]),
                    *std::min_element(times[p].begin(), times[p].end()),
                    *std::max_element(times[p].begin(), times[p].end()));
    }
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Options options;
    if (!argv || !ReadOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: startup_bench [--runs N] [--users FILE] [--chat-port N] [--profile-port N]"
                     " [--also PROGRAM] ... IDENTITY\n");
        return 2;
    }
    return Bench(options);
}
