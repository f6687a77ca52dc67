// Pane benchmark: how fast the chat view takes lines as the conversation
// grows, and how much memory each line costs.
//
// One run appends 100,000 fragments, formatted exactly as the chat window
// formats them (nine chat lines to one notice), through CChatView::AppendHtml
// into a real pane of 620 x 245 client pixels, each followed by the view's
// own scroll to the bottom. Every 100 appends the run paints the pane
// (UpdateWindow) and drains the thread's messages, as a window that keeps up
// with its server would.
//
// Speed is timed in windows of 1,000 appends around each mark (the window
// for 100,000 is the last 1,000). Lines are made from a seeded generator, so
// every run shows the same conversation; the fragments of a timed window are
// made before its clock starts, so only appending, scrolling and painting
// are timed. Memory is the process's private bytes (its commit charge; the
// working set beside it) after the mark, less what it was just before the
// first append, divided by the number of lines.
//
// A run is quiet (no screen reader: nothing asks for the pane's accessible
// objects, no UI Automation client listens) or listening: a stand-in for the
// UI Automation notification function that says clients listen and takes
// each announcement, and a WinEvent hook for live-region changes in this
// process, as a reader has in its own (so its callbacks are timed too); after the last append a listening run walks
// every paragraph as a reader does (AccessibleObjectFromWindow, then get_accChild and get_accName for each child) and
// times the walk.
//
// Each run is a process of its own (this program started with --run), so
// that no run inherits the heap another one grew and freed; the parent runs
// five of each kind, alternating, and prints, per kind and mark, the median
// of the five:
//   mode=M lines=N appends_per_s=.. bytes_per_line=.. ws_bytes_per_line=.. slowdown=..
// where slowdown is appends_per_s at 1,000 lines over appends_per_s at N,
// and for the listening runs
//   mode=listening walk_children=N walk_ms=.. announcements=..

#include "bench/BenchClock.h"
#include "bench/ChatPane.h"
#include "bench/Conversation.h"
#include "framework/AccessibleObject.h"

#include <windows.h>
#include <oleacc.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bench::Fail;

constexpr int kMarks[] = {1000, 10000, 50000, 100000};
constexpr int kLines = 100000;
constexpr int kWindow = 1000;  // appends timed per mark
constexpr int kPumpEvery = 100;
constexpr std::size_t kMaxFragmentBytes = 512;  // a chat line here is at most about 350
constexpr int kRuns = 5;
constexpr DWORD kRunTimeoutMs = 30 * 60 * 1000;
constexpr char kRunArgument[] = "--run";
constexpr char kListeningArgument[] = "--listening";
constexpr DWORD kLiveRegionChanged = 0x8019;

// ---- A listening screen reader, stood in for ----

long g_announcements = 0;
std::size_t g_announcedCharacters = 0;
long g_liveRegionEvents = 0;

BOOL WINAPI ClientsListen() { return TRUE; }

HRESULT WINAPI TakeNotification(IRawElementProviderSimple*, int, int, BSTR text, BSTR) {
    ++g_announcements;
    g_announcedCharacters += SysStringLen(text);
    return S_OK;
}

void CALLBACK CountLiveRegionEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) { ++g_liveRegionEvents; }

// Every paragraph's object and name, one by one; the seconds it took.
double WalkParagraphs(HWND pane, long& children) {
    const double started = Now();
    IAccessible* document = nullptr;
    if (FAILED(AccessibleObjectFromWindow(pane, OBJID_CLIENT, kIidIAccessible, reinterpret_cast<void**>(&document))) ||
        !document || FAILED(document->get_accChildCount(&children))) {
        Fail("reading the pane's accessible object");
    }
    for (long id = 1; id <= children; ++id) {
        VARIANT child;
        child.vt = VT_I4;
        child.lVal = id;
        IDispatch* paragraph = nullptr;
        if (document->get_accChild(child, &paragraph) != S_OK || !paragraph) Fail("getting a paragraph");
        IAccessible* accessible = nullptr;
        paragraph->QueryInterface(kIidIAccessible, reinterpret_cast<void**>(&accessible));
        paragraph->Release();
        BSTR name = nullptr;
        child.lVal = CHILDID_SELF;
        if (!accessible || accessible->get_accName(child, &name) != S_OK || SysStringLen(name) == 0)
            Fail("reading a paragraph's name");
        SysFreeString(name);
        accessible->Release();
    }
    document->Release();
    return Now() - started;
}

// ---- One run, in a process of its own ----

struct MarkResult {
    double seconds = 0;
    long long privateBytes = 0;
    long long workingSet = 0;
};

struct Memory {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
};

Memory ProcessMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        Fail("GetProcessMemoryInfo");
    }
    // The commit charge: Windows reports it as both PagefileUsage and
    // PrivateUsage, Wine only as PagefileUsage (PrivateUsage stays 0).
    return {counters.PagefileUsage, counters.WorkingSetSize};
}

// The fragments of one timed window, made before its clock starts, in
// buffers reserved once: growing them inside a run would count as the
// pane's memory.
class FragmentBatch {
public:
    FragmentBatch() {
        m_text.reserve(static_cast<std::size_t>(kWindow) * kMaxFragmentBytes);
        m_ends.reserve(kWindow);
    }
    void Clear() {
        m_text.clear();
        m_ends.clear();
    }
    void Add(const CString& fragment) {
        m_text.append(fragment.GetString(), static_cast<std::size_t>(fragment.GetLength()));
        m_ends.push_back(m_text.size());
    }
    // A new CString, as the chat window hands AppendHtml one.
    CString Fragment(int index) const {
        const std::size_t begin = index == 0 ? 0 : m_ends[index - 1];
        return CString(m_text.data() + begin, static_cast<int>(m_ends[index] - begin));
    }

private:
    std::string m_text;
    std::vector<std::size_t> m_ends;
};

// The first append of the timed window around `mark`: centred on it, but
// never past the end of the run.
int WindowStart(int mark) { return std::min(mark - kWindow / 2, kLines - kWindow); }

class PaneRun {
public:
    explicit PaneRun(bool listening) : m_listening(listening), m_view(&m_pane.View()) {
        if (m_listening) {
            m_view->SetUiaNotificationFunctions({ClientsListen, TakeNotification, nullptr});
            m_hook = SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, CountLiveRegionEvent,
                                     GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
            if (!m_hook) Fail("SetWinEventHook");
        }
    }
    ~PaneRun() {
        if (m_hook) UnhookWinEvent(m_hook);
    }

    // Prints "mark=N seconds=S private=P workingset=W" per mark.
    void Run() {
        // The batch's buffers are already there: they count in the baseline.
        m_before = ProcessMemory();
        for (int index = 0; index < kLines;) {
            const int timed = MarkTimedFrom(index);
            if (timed < 0) {
                Append(index, m_conversation.Line(index));
                ++index;
                continue;
            }
            m_batch.Clear();
            for (int i = 0; i < kWindow; ++i) m_batch.Add(m_conversation.Line(index + i));
            const double started = Now();
            for (int i = 0; i < kWindow; ++i) Append(index++, m_batch.Fragment(i));
            m_results[timed].seconds = Now() - started;
        }
        m_pane.CheckAtBottom();
        for (std::size_t m = 0; m < std::size(kMarks); ++m) {
            std::printf("mark=%d seconds=%.6f private=%lld workingset=%lld\n", kMarks[m], m_results[m].seconds,
                        m_results[m].privateBytes, m_results[m].workingSet);
        }
        if (!m_listening) return;
        // The pane announces each burst between two pumps by its newest line.
        if (g_announcements < kLines / kPumpEvery || g_announcements > kLines ||
            g_announcedCharacters < static_cast<std::size_t>(g_announcements)) {
            Fail("the announcements");
        }
        long children = 0;
        const double seconds = WalkParagraphs(m_view->m_hWnd, children);
        std::printf("walk children=%ld seconds=%.6f announcements=%ld\n", children, seconds, g_announcements);
    }

private:
    // The mark whose timed window starts at line `index`, or -1.
    static int MarkTimedFrom(int index) {
        for (std::size_t m = 0; m < std::size(kMarks); ++m) {
            if (WindowStart(kMarks[m]) == index) return static_cast<int>(m);
        }
        return -1;
    }

    void Append(int index, const CString& fragment) {
        if (!m_view->AppendHtml(fragment)) Fail("appending");
        const int lines = index + 1;
        if (lines % kPumpEvery == 0) m_pane.Paint();
        // One call, inside the timed window for 1,000 lines: a few
        // microseconds against a millisecond of appends.
        const auto mark = std::find(std::begin(kMarks), std::end(kMarks), lines);
        if (mark != std::end(kMarks)) {
            const Memory now = ProcessMemory();
            MarkResult& result = m_results[mark - std::begin(kMarks)];
            result.privateBytes =
                static_cast<long long>(now.privateBytes) - static_cast<long long>(m_before.privateBytes);
            result.workingSet = static_cast<long long>(now.workingSet) - static_cast<long long>(m_before.workingSet);
        }
    }

    bool m_listening;
    HWINEVENTHOOK m_hook = nullptr;
    bench::ChatPane m_pane{"pane_bench"};
    CChatView* m_view;
    bench::Conversation m_conversation;
    FragmentBatch m_batch;
    Memory m_before;
    MarkResult m_results[std::size(kMarks)];
};

// ---- The parent: runs, medians, the report ----

// Starts this program with --run and reads what it prints.
std::string RunChild(bool listening) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) Fail("CreatePipe");
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) Fail("GetModuleFileNameW");
    std::wstring command = L"\"" + std::wstring(path) + L"\" --run" + (listening ? L" --listening" : L"");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        Fail("CreateProcessW");
    }
    CloseHandle(writeEnd);  // so that the read ends when the child does

    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    CloseHandle(readEnd);

    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, kRunTimeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &exitCode)) {
        exitCode = 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode != 0) Fail("a run failed");
    return output;
}

struct RunFigures {
    std::vector<MarkResult> marks;
    long children = 0;
    double walkSeconds = 0;
    long announcements = 0;
};

RunFigures ParseRun(const std::string& output) {
    RunFigures figures;
    for (const int mark : kMarks) {
        char key[32];
        std::snprintf(key, sizeof key, "mark=%d ", mark);
        const std::size_t at = output.find(key);
        MarkResult result;
        if (at == std::string::npos ||
            std::sscanf(output.c_str() + at + std::strlen(key), "seconds=%lf private=%lld workingset=%lld",
                        &result.seconds, &result.privateBytes, &result.workingSet) != 3) {
            Fail("reading a run's figures");
        }
        figures.marks.push_back(result);
    }
    const std::size_t walk = output.find("walk ");
    if (walk != std::string::npos &&
        std::sscanf(output.c_str() + walk, "walk children=%ld seconds=%lf announcements=%ld", &figures.children,
                    &figures.walkSeconds, &figures.announcements) != 3) {
        Fail("reading a run's walk");
    }
    return figures;
}

void Report(const char* mode, const std::vector<RunFigures>& runs) {
    double firstRate = 0;
    for (std::size_t m = 0; m < std::size(kMarks); ++m) {
        std::vector<double> rates;
        std::vector<double> privatePerLine;
        std::vector<double> workingSetPerLine;
        for (const RunFigures& run : runs) {
            rates.push_back(kWindow / run.marks[m].seconds);
            privatePerLine.push_back(static_cast<double>(run.marks[m].privateBytes) / kMarks[m]);
            workingSetPerLine.push_back(static_cast<double>(run.marks[m].workingSet) / kMarks[m]);
        }
        const double rate = Median(rates);
        if (m == 0) firstRate = rate;
        std::printf(
            "mode=%s lines=%d appends_per_s=%.0f bytes_per_line=%.0f ws_bytes_per_line=%.0f slowdown=%.2f runs=%zu\n",
            mode, kMarks[m], rate, Median(privatePerLine), Median(workingSetPerLine), firstRate / rate, runs.size());
    }
    if (runs.front().children == 0) return;
    std::vector<double> walks;
    for (const RunFigures& run : runs) walks.push_back(run.walkSeconds * 1000);
    std::printf("mode=%s walk_children=%ld walk_ms=%.0f announcements=%ld\n", mode, runs.front().children,
                Median(walks), runs.front().announcements);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], kRunArgument) == 0) {
        // A screen reader's thread has joined an apartment; so has the
        // program's window thread.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        PaneRun run(argc == 3 && std::strcmp(argv[2], kListeningArgument) == 0);
        run.Run();
        std::fflush(stdout);
        return 0;
    }
    std::vector<RunFigures> quiet;
    std::vector<RunFigures> listening;
    for (int i = 0; i < kRuns; ++i) {
        quiet.push_back(ParseRun(RunChild(false)));
        listening.push_back(ParseRun(RunChild(true)));
    }
    Report("quiet", quiet);
    Report("listening", listening);
    return 0;
}
