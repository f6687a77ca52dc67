// The soak run: the real program under a steady room of 1,000 lines a
// second (notices, links, images from a local HTTP server, plain lines)
// while lines are typed into it, with what the process holds measured at the
// start and at the end.
//
//   fault_soak.exe [SECONDS]        (120 by default)
//
// Prints key=value lines. The document keeps every line, so private memory
// grows; the run estimates the document's own share from the same lines
// appended to a document in this process, plus the pixels of the images
// loaded, and reports the rest. Exits 1
// when GDI or USER objects grew, handles grew by more than the image
// loader's worker threads can hold for a moment, or the program stopped
// answering or did not end cleanly.
#include "ProcessFigures.h"

#include "display/ChatFormat.h"
#include "display/HtmlTagFilter.h"
#include "framework/html/HtmlDocument.h"
#include "framework/html/ImageLoader.h"
#include "net/Protocol.h"
#include "tests/html/FixedMetrics.h"
#include "tests/html/PaneTestSupport.h"
#include "tests/support/DocumentText.h"
#include "tests/support/ProgramProbe.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScriptedServers.h"
#include "tests/support/Sockets.h"
#include "tests/support/TestImages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kLinesPerSecond = 1000;
constexpr DWORD kTickMs = 10;
constexpr int kLinesPerTick = kLinesPerSecond * static_cast<int>(kTickMs) / 1000;
constexpr DWORD kTypeEveryMs = 1000;
constexpr DWORD kStartMs = 20000;
constexpr DWORD kSettleMs = 3000;
constexpr DWORD kCatchUpMs = 60000;
constexpr int kLooks = 5;
constexpr DWORD kLookGapMs = 200;
constexpr int kImageSide = 16;
// What the pane keeps of each loaded image: its 32-bit pixels.
constexpr double kImageBytes = kImageSide * kImageSide * 4;

// Line n of the room: every 10th a notice, every 10th a link, every 50th
// an image, the rest plain chat.
struct RoomLine {
    uint16_t type;
    std::string payload;
};

RoomLine LineOfTheRoom(long long n, int imagePort) {
    const std::string number = std::to_string(n);
    const std::string speaker = "user" + std::to_string(n % 7) + "\a\xB1\xE8\xC3\xB6\xBC\xF6" + std::to_string(n % 7);
    switch (n % 50) {
    case 0:
    case 10:
    case 20:
    case 30:
    case 40: return {PKT_NOTICE, "notice " + number};
    case 1:
    case 11:
    case 21:
    case 31:
    case 41:
        return {PKT_CHAT_LINE, speaker + "\asee <a href=\"http://127.0.0.1:" + std::to_string(imagePort) + "/page" +
                                   number + "\">page " + number + "</a>"};
    case 2:
        return {PKT_CHAT_LINE, speaker + "\apicture <img src=\"http://127.0.0.1:" + std::to_string(imagePort) +
                                   "/smile" + std::to_string(n % 5) + ".bmp\"> " + number};
    default:
        return {PKT_CHAT_LINE,
                speaker + "\a\xBE\xC8\xB3\xE7\xC7\xCF\xBC\xBC\xBF\xE4 line " + number + " with a few words to wrap"};
    }
}

// Bytes of private memory that a document in this process grows by per
// line of the room, laid out as the pane lays it out.
double DocumentBytesPerLine(int imagePort) {
    constexpr int kSample = 50000;
    CHtmlTagFilter filter;
    filter.AddTag("a");
    filter.AddTag("img");
    filter.AddTag("embed");
    html::testing::FixedMetrics metrics;
    html::Document document;
    document.Load(html::testing::kPaneTemplate);
    document.SetViewport(600, 400, metrics);
    const size_t before = MeasureProcess(::GetCurrentProcess()).privateBytes;
    for (long long n = 0; n < kSample; ++n) {
        const RoomLine line = LineOfTheRoom(n, imagePort);
        document.AppendHtml(DocumentText(line.type == PKT_NOTICE ? FormatNotice(line.payload.c_str())
                                                                 : FormatChatLine(line.payload.c_str(), filter)));
        if (n % 100 == 0) document.ScrollHeight();
    }
    document.ScrollHeight();
    const size_t after = MeasureProcess(::GetCurrentProcess()).privateBytes;
    return static_cast<double>(after - before) / kSample;
}

void Print(const char* when, const ProcessFigures& figures) {
    std::printf("%s_private_bytes=%zu\n%s_gdi_objects=%d\n%s_user_objects=%d\n%s_handles=%d\n%s_threads=%d\n", when,
                figures.privateBytes, when, figures.gdiObjects, when, figures.userObjects, when, figures.handles, when,
                figures.threads);
    std::string types;
    for (const auto& [type, count] : figures.gdiObjectsByType) {
        types += (types.empty() ? "" : ",") + std::to_string(type) + ":" + std::to_string(count);
    }
    if (!types.empty()) std::printf("%s_gdi_objects_by_type=%s\n", when, types.c_str());
}

// The least of a few looks a moment apart. A paint's buffer and regions, the
// caret and WinINet's helpers exist for a moment; what is there in every look
// is what the process holds.
ProcessFigures LeastOfSeveralLooks(HANDLE process) {
    ProcessFigures least = MeasureProcess(process);
    for (int look = 1; look < kLooks; ++look) {
        ::Sleep(kLookGapMs);
        const ProcessFigures now = MeasureProcess(process);
        least.privateBytes = now.privateBytes;
        if (now.gdiObjects < least.gdiObjects) {
            least.gdiObjects = now.gdiObjects;
            least.gdiObjectsByType = now.gdiObjectsByType;
        }
        least.userObjects = std::min(least.userObjects, now.userObjects);
        least.handles = std::min(least.handles, now.handles);
        least.threads = std::min(least.threads, now.threads);
    }
    return least;
}

// The same state at the start and at the end: the window has worked through
// its queue, the image loader has worked through its own (no request for
// two seconds), and one more image has then loaded, so the loader has ended
// its earlier workers and keeps the handle of just the one that loaded it.
ProcessFigures MeasureAtQuietPoint(ScriptedChatServer& chat, ScriptedProfileService& images, HANDLE process) {
    const ULONGLONG deadline = ::GetTickCount64() + kCatchUpMs;
    for (int seen = -1; seen != images.Requests() && ::GetTickCount64() < deadline;) {
        seen = images.Requests();
        ::Sleep(kSettleMs);
        chat.DrainIncoming();
    }
    chat.Send(ServerFrame(
        PKT_CHAT_LINE, "quiet\aquiet\a<img src=\"http://127.0.0.1:" + std::to_string(images.Port()) + "/quiet.bmp\">"));
    ::Sleep(kSettleMs);
    chat.DrainIncoming();
    return LeastOfSeveralLooks(process);
}

int Fail(const char* why) {
    std::printf("failure=%s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return Fail("winsock");
    if (!WaitUntilPortsAreFree({WOBBLE_PROFILE_PORT, CHAT_SERVER_PORT})) return Fail("ports_busy");

    ScriptedChatServer chat(CHAT_SERVER_PORT);
    ScriptedProfileService profile(WOBBLE_PROFILE_PORT);
    ScriptedProfileService images(0);
    if (!chat.IsListening() || !profile.IsListening() || !images.IsListening()) return Fail("ports");
    profile.SetAnswer(ScriptedProfileService::Plain(200, "soak||1"));
    images.SetAnswer(ScriptedProfileService::Plain(200, MakeBmp(kImageSide, kImageSide, 255, 200, 0)));

    ProgramRun run;
    if (!run.StartAs("soak")) {
        return Fail("start");
    }
    if (!chat.AcceptClient(kStartMs) || !chat.ReceiveClientFrame(kStartMs)) return Fail("login");
    const HWND window = run.WaitForWindow(ProgramRun::WindowKind::ChatWindow, kStartMs);
    if (!window) return Fail("window");
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, [&] {
        DWORD id = 0;
        ::GetWindowThreadProcessId(window, &id);
        return id;
    }());
    if (!process) return Fail("open_process");

    // A first round of every kind of line, so that fonts, image workers and
    // caches exist before the start is measured.
    long long sent = 0;
    for (; sent < 200; ++sent) {
        const RoomLine line = LineOfTheRoom(sent, images.Port());
        chat.Send(ServerFrame(line.type, line.payload));
    }
    TypeLine(window, L"warm up");
    if (!AnswersWithin(window, kCatchUpMs)) return Fail("no_answer_at_start");
    const ProcessFigures start = MeasureAtQuietPoint(chat, images, process);
    const long long sentAtStart = sent;
    const int requestsAtStart = images.Requests();

    const ULONGLONG begin = ::GetTickCount64();
    const ULONGLONG end = begin + static_cast<ULONGLONG>(seconds) * 1000;
    ULONGLONG nextTick = begin;
    ULONGLONG nextTyping = begin;
    int typed = 0;
    while (::GetTickCount64() < end) {
        std::string batch;
        for (int i = 0; i < kLinesPerTick; ++i, ++sent) {
            const RoomLine line = LineOfTheRoom(sent, images.Port());
            batch += ServerFrame(line.type, line.payload);
        }
        if (!chat.Send(batch)) return Fail("connection_lost");
        if (::GetTickCount64() >= nextTyping) {
            TypeLine(window, L"typed line " + std::to_wstring(++typed));
            nextTyping += kTypeEveryMs;
        }
        chat.DrainIncoming();
        nextTick += kTickMs;
        const ULONGLONG now = ::GetTickCount64();
        if (nextTick > now) ::Sleep(static_cast<DWORD>(nextTick - now));
    }
    const double elapsed = static_cast<double>(::GetTickCount64() - begin) / 1000.0;

    if (!AnswersWithin(window, kCatchUpMs)) return Fail("no_answer_at_end");
    const ProcessFigures finish = MeasureAtQuietPoint(chat, images, process);

    const long long lines = sent - sentAtStart;
    const double perLine = DocumentBytesPerLine(images.Port());
    const double documentGrowth =
        perLine * static_cast<double>(lines) + kImageBytes * static_cast<double>(images.Requests() - requestsAtStart);
    const double growth = static_cast<double>(finish.privateBytes) - static_cast<double>(start.privateBytes);
    std::printf("seconds=%.1f\nlines_sent=%lld\nlines_per_second=%.0f\ntyped_lines=%d\nimage_requests=%d\n", elapsed,
                lines, static_cast<double>(lines) / elapsed, typed, images.Requests());
    Print("start", start);
    Print("end", finish);
    std::printf(
        "document_bytes_per_line=%.0f\ndocument_growth_bytes=%.0f\nprivate_growth_bytes=%.0f\n"
        "growth_beyond_document_bytes=%.0f\n",
        perLine, documentGrowth, growth, growth - documentGrowth);

    PressEscape(window);
    const bool endedCleanly = run.WaitForExit(10000) == std::optional<DWORD>(0);
    ::CloseHandle(process);
    WSACleanup();
    if (!endedCleanly) return Fail("no_clean_end");
    if (finish.gdiObjects > start.gdiObjects) return Fail("gdi_growth");
    if (finish.userObjects > start.userObjects) return Fail("user_growth");
    // A finished image worker's thread handle is closed only when the next
    // image is asked for, so up to that many come and go.
    if (finish.handles > start.handles + html::ImageLoader::kMaximumWorkers) return Fail("handle_growth");
    std::printf("result=ok\n");
    return 0;
}
