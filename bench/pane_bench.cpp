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
// A notice run (quiet) appends 1,000 lines of the conversation, then 10,000
// notices that each hold a bordered table of 20 rows and 3 columns and a
// list of 5 items. The 1,000 notices up to each mark (1,000 and 10,000) are
// timed and memory is read as above, per notice; then the pane is narrowed
// by 20 pixels and widened back, each painted, which lays the whole
// document out again: what an engine without incremental layout would pay
// at every append.
//
// Each run is a process of its own (this program started with --run), so
// that no run inherits the heap another one grew and freed; the parent runs
// five of each kind, alternating, and prints, per kind and mark, the median
// of the five:
//   mode=M lines=N appends_per_s=.. bytes_per_line=.. ws_bytes_per_line=.. slowdown=..
// where slowdown is appends_per_s at 1,000 lines over appends_per_s at N,
// for the listening runs
//   mode=listening walk_children=N walk_ms=.. announcements=..
// and for the notice runs, per mark N
//   mode=notices notices=N notice_appends_per_s=.. notice_bytes_per_notice=.. notice_fragment_bytes=..
//     full_relayout_ms_at_N=.. whole_document_appends_per_s=.. incremental_speedup=..
// (whole_document_appends_per_s is 1,000 over full_relayout_ms_at_N, the
// best such an engine could do; incremental_speedup the notices' rate over
// it), then the chat lines' rate at 1,000 lines of the same invocation as
// the baseline:
//   mode=notices chat_appends_per_s_at_1000=.. notice_to_chat_ratio=..

#include "bench/BenchClock.h"
#include "bench/ChatPane.h"
#include "bench/ChildRun.h"
#include "bench/Conversation.h"
#include "framework/AccessibleObject.h"

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bench::Fail;
using bench::Memory;
using bench::ProcessMemory;

constexpr int kMarks[] = {1000, 10000, 50000, 100000};
constexpr int kLines = 100000;
constexpr int kWindow = 1000;  // appends timed per mark
constexpr int kPumpEvery = 100;
constexpr std::size_t kMaxFragmentBytes = 512;  // a chat line here is at most about 350
constexpr int kRuns = 5;
constexpr DWORD kRunTimeoutMs = 30 * 60 * 1000;
constexpr char kRunArgument[] = "--run";
constexpr char kListeningArgument[] = "--listening";
constexpr char kNoticesArgument[] = "--notices";

// The notice runs: tables and lists in a conversation already under way.
constexpr int kNoticeMarks[] = {1000, 10000};
constexpr int kNotices = 10000;
constexpr int kNoticeWindow = 1000;  // notices timed per mark, the last before it
constexpr int kChatLinesBeforeNotices = 1000;
constexpr int kNoticeRows = 20;
constexpr int kNoticeColumns = 3;
constexpr int kNoticeItems = 5;
constexpr std::size_t kMaxNoticeBytes = 4096;  // a notice here is at most about 2,400
constexpr int kRelayoutNarrowing = 20;         // pixels taken off the pane's width and given back
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

// The fragments of one timed window, made before its clock starts, in
// buffers reserved once: growing them inside a run would count as the
// pane's memory.
class FragmentBatch {
public:
    FragmentBatch(int count, std::size_t maxFragmentBytes) {
        m_text.reserve(static_cast<std::size_t>(count) * maxFragmentBytes);
        m_ends.reserve(count);
    }
    void Clear() {
        m_text.clear();
        m_ends.clear();
    }
    void Add(const CString& fragment) {
        m_text.append(fragment.GetString(), static_cast<std::size_t>(fragment.GetLength()));
        m_ends.push_back(m_text.size());
    }
    std::size_t Bytes() const { return m_text.size(); }
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
    FragmentBatch m_batch{kWindow, kMaxFragmentBytes};
    Memory m_before;
    MarkResult m_results[std::size(kMarks)];
};

// ---- Notices with tables and lists ----

// A notice as a server may send one: a bordered table of 20 rows and 3
// columns, then a list of 5 items, words from the conversation's generator,
// no line feeds; formatted as the chat window formats a notice.
CString TableNotice(bench::Random& random) {
    std::string text = "<table border=1>";
    for (int row = 0; row < kNoticeRows; ++row) {
        text += "<tr>";
        for (int column = 0; column < kNoticeColumns; ++column)
            text += "<td>" + bench::MixedText(random, random.Between(3, 12)) + "</td>";
        text += "</tr>";
    }
    text += "</table><ul>";
    for (int item = 0; item < kNoticeItems; ++item) text += "<li>" + bench::MixedText(random, random.Between(10, 30));
    text += "</ul>";
    const CString notice = FormatNotice(text.c_str());
    if (static_cast<std::size_t>(notice.GetLength()) > kMaxNoticeBytes) Fail("a notice longer than its batch allows");
    return notice;
}

struct NoticeMarkResult {
    double seconds = 0;
    long long privateBytes = 0;
    long long fragmentBytes = 0;  // of the timed notices
    double narrowerMs = 0;
    double widerMs = 0;
};

// After 1,000 lines of the conversation, 10,000 table notices; at each mark
// the pane is laid out again, whole, by a change of its width and back.
class NoticeRun {
public:
    // Prints "notices=N seconds=S private=P fragment_bytes=B narrower_ms=A wider_ms=W" per mark.
    void Run() {
        for (int index = 0; index < kChatLinesBeforeNotices; ++index) Append(m_conversation.Line(index));
        m_before = ProcessMemory();
        for (std::size_t m = 0; m < std::size(kNoticeMarks); ++m) {
            const int windowStart = kNoticeMarks[m] - kNoticeWindow;
            for (; m_notices < windowStart; ++m_notices) Append(TableNotice(m_random));
            m_results[m] = TimedWindow();
        }
        for (std::size_t m = 0; m < std::size(kNoticeMarks); ++m) {
            const NoticeMarkResult& result = m_results[m];
            std::printf("notices=%d seconds=%.6f private=%lld fragment_bytes=%lld narrower_ms=%.3f wider_ms=%.3f\n",
                        kNoticeMarks[m], result.seconds, result.privateBytes, result.fragmentBytes, result.narrowerMs,
                        result.widerMs);
        }
    }

private:
    NoticeMarkResult TimedWindow() {
        NoticeMarkResult result;
        m_batch.Clear();
        for (int i = 0; i < kNoticeWindow; ++i) m_batch.Add(TableNotice(m_random));
        const double started = Now();
        for (int i = 0; i < kNoticeWindow; ++i) Append(m_batch.Fragment(i));
        result.seconds = Now() - started;
        m_notices += kNoticeWindow;
        result.fragmentBytes = static_cast<long long>(m_batch.Bytes());
        result.privateBytes =
            static_cast<long long>(ProcessMemory().privateBytes) - static_cast<long long>(m_before.privateBytes);
        m_pane.Paint();
        m_pane.CheckAtBottom();
        result.narrowerMs = TimedRelayout(bench::kPaneWidth - kRelayoutNarrowing);
        result.widerMs = TimedRelayout(bench::kPaneWidth);
        return result;
    }

    // Milliseconds from the new width to the pane painted at it: everything
    // a layout engine without incremental layout would do at every append.
    double TimedRelayout(int width) {
        const double started = Now();
        m_pane.SetWidth(width);
        m_pane.View().UpdateWindow();
        const double milliseconds = (Now() - started) * 1000;
        m_pane.Paint();
        return milliseconds;
    }

    void Append(const CString& fragment) {
        if (!m_pane.View().AppendHtml(fragment)) Fail("appending");
        if (++m_appends % kPumpEvery == 0) m_pane.Paint();
    }

    bench::ChatPane m_pane{"pane_bench"};
    bench::Conversation m_conversation;
    bench::Random m_random{bench::kSeed ^ 0x7AB1E5};
    FragmentBatch m_batch{kNoticeWindow, kMaxNoticeBytes};
    int m_appends = 0;
    int m_notices = 0;
    Memory m_before;
    NoticeMarkResult m_results[std::size(kNoticeMarks)];
};

// ---- The parent: runs, medians, the report ----

// Where a run's figures for `mark` start, after "name=mark "; the benchmark
// fails when the run did not print them.
const char* FiguresOfMark(const std::string& output, const char* name, int mark) {
    char key[32];
    std::snprintf(key, sizeof key, "%s=%d ", name, mark);
    const std::size_t at = output.find(key);
    if (at == std::string::npos) Fail("finding a run's figures");
    return output.c_str() + at + std::strlen(key);
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
        MarkResult result;
        if (std::sscanf(FiguresOfMark(output, "mark", mark), "seconds=%lf private=%lld workingset=%lld",
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

// The median appends per second over the runs at mark `m`.
double ChatRate(const std::vector<RunFigures>& runs, std::size_t m) {
    std::vector<double> rates;
    for (const RunFigures& run : runs) rates.push_back(kWindow / run.marks[m].seconds);
    return Median(rates);
}

void Report(const char* mode, const std::vector<RunFigures>& runs) {
    const double firstRate = ChatRate(runs, 0);
    for (std::size_t m = 0; m < std::size(kMarks); ++m) {
        std::vector<double> privatePerLine;
        std::vector<double> workingSetPerLine;
        for (const RunFigures& run : runs) {
            privatePerLine.push_back(static_cast<double>(run.marks[m].privateBytes) / kMarks[m]);
            workingSetPerLine.push_back(static_cast<double>(run.marks[m].workingSet) / kMarks[m]);
        }
        const double rate = ChatRate(runs, m);
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

using NoticeRunFigures = std::vector<NoticeMarkResult>;

NoticeRunFigures ParseNoticeRun(const std::string& output) {
    NoticeRunFigures figures;
    for (const int mark : kNoticeMarks) {
        NoticeMarkResult result;
        if (std::sscanf(FiguresOfMark(output, "notices", mark),
                        "seconds=%lf private=%lld fragment_bytes=%lld narrower_ms=%lf wider_ms=%lf", &result.seconds,
                        &result.privateBytes, &result.fragmentBytes, &result.narrowerMs, &result.widerMs) != 5) {
            Fail("reading a notice run's figures");
        }
        figures.push_back(result);
    }
    return figures;
}

// Per mark: the notices' speed and memory, and one whole layout of the
// document, with what an engine paying that at every append could manage at
// best; then the chat lines' speed of the same invocation beside them.
void ReportNotices(const std::vector<NoticeRunFigures>& runs, double chatRate) {
    double firstRate = 0;
    for (std::size_t m = 0; m < std::size(kNoticeMarks); ++m) {
        std::vector<double> rates;
        std::vector<double> privatePerNotice;
        std::vector<double> relayouts;
        for (const NoticeRunFigures& run : runs) {
            rates.push_back(kNoticeWindow / run[m].seconds);
            privatePerNotice.push_back(static_cast<double>(run[m].privateBytes) / kNoticeMarks[m]);
            relayouts.push_back(run[m].narrowerMs);
            relayouts.push_back(run[m].widerMs);
        }
        const double rate = Median(rates);
        if (m == 0) firstRate = rate;
        const double relayoutMs = Median(relayouts);
        const double wholeDocumentRate = 1000 / relayoutMs;
        std::printf(
            "mode=notices notices=%d notice_appends_per_s=%.0f notice_bytes_per_notice=%.0f notice_fragment_bytes=%.0f "
            "full_relayout_ms_at_%d=%.1f whole_document_appends_per_s=%.1f incremental_speedup=%.0f runs=%zu\n",
            kNoticeMarks[m], rate, Median(privatePerNotice),
            static_cast<double>(runs.front()[m].fragmentBytes) / kNoticeWindow, kNoticeMarks[m], relayoutMs,
            wholeDocumentRate, rate / wholeDocumentRate, runs.size());
    }
    std::printf("mode=notices chat_appends_per_s_at_%d=%.0f notice_to_chat_ratio=%.3f\n", kMarks[0], chatRate,
                firstRate / chatRate);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], kRunArgument) == 0) {
        // A screen reader's thread has joined an apartment; so has the
        // program's window thread.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (argc == 3 && std::strcmp(argv[2], kNoticesArgument) == 0) {
            NoticeRun().Run();
        } else {
            PaneRun run(argc == 3 && std::strcmp(argv[2], kListeningArgument) == 0);
            run.Run();
        }
        std::fflush(stdout);
        return 0;
    }
    std::vector<RunFigures> quiet;
    std::vector<RunFigures> listening;
    std::vector<NoticeRunFigures> notices;
    for (int i = 0; i < kRuns; ++i) {
        quiet.push_back(ParseRun(bench::RunThisProgram(L" --run", kRunTimeoutMs)));
        listening.push_back(ParseRun(bench::RunThisProgram(L" --run --listening", kRunTimeoutMs)));
        notices.push_back(ParseNoticeRun(bench::RunThisProgram(L" --run --notices", kRunTimeoutMs)));
    }
    Report("quiet", quiet);
    Report("listening", listening);
    ReportNotices(notices, ChatRate(quiet, 0));
    return 0;
}
