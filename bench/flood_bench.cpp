// Flood benchmark: the chat window under a stream of lines from the
// reference chat server.
//
// The benchmark starts wobble-chatd and wobble-profiled (answering every id
// with one nickname), makes the real CChatDlg pointed at them and runs it
// modally. Once the window has logged in, a feeder thread logs in as a
// second member over a plain socket and sends 20,000 chat lines at a paced
// rate (or as fast as the server takes them); the server relays each line to
// the window, which shows it through its usual path: reader thread, packet
// pool and queue, one WM_CHAT_PACKET per packet, the chat view.
//
// While the feeder runs, the window's thread pumps its messages exactly as
// the modal loop does, with the time spent inside GetMessage (asleep or
// fetching) taken out: what is left is the thread's busy time. The thread's
// CPU time (GetThreadTimes) is printed beside it; under Wine it is the
// smaller of the two, since a wineserver round trip blocks the thread
// without using its CPU.
//
// Each line carries its number ("line 00042"). After the stream has ended
// and the window has been quiet for a while, the view's text is read back
// and the distinct numbers in it are counted: that is `shown`, and
// `dropped` = sent - shown. The server is given a send queue far larger than
// the whole stream, so it never drops the window: lines can only be lost in
// the client, whose pool holds 1,000 packets. The feeder also counts the
// lines that come back to it, which tells how fast the server relayed.
//
//   rate=10000 shown=.. dropped=.. lines_per_s=.. ui_busy=.. ui_cpu=.. relayed_per_s=..
//
// lines_per_s is shown lines over the time from the first line sent to the
// last packet the window took; relayed_per_s is the same for the lines that
// reached the feeder. Each rate runs in a window of its own.

#include "bench/BenchClock.h"
#include "chatwnd/ChatDlg.h"
#include "display/ChatView.h"
#include "framework/html/HtmlDocument.h"
#include "framework/html/HtmlObjects.h"
#include "net/Protocol.h"
#include "tests/support/IdentityArgument.h"
#include "tools/common/ServiceProcess.h"

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kLines = 20000;
constexpr char kProfileAnswer[] = "flood||1";  // for every id: nickname "flood"
constexpr char kViewerId[] = "viewer";
constexpr char kFeederId[] = "feeder";
constexpr DWORD kServiceStartMs = 10000;
constexpr double kLoginWaitSeconds = 10;
constexpr double kQuietSeconds = 2;  // a run ends when the window takes nothing this long
constexpr double kRunLimitSeconds = 120;
constexpr UINT kTickMs = 50;    // wakes the pump to check its end conditions
constexpr int kMaxBatch = 200;  // lines per send when unpaced
// Before the feeder's lines, the window takes its welcome and its own join
// notice; the feeder's join notice comes after.
constexpr int kPacketsBeforeFeeder = 2;
constexpr int kNoticesOfFeeder = 1;
constexpr UINT WM_APP_FLOOD = WM_APP + 200;

// User plus kernel time of the calling thread, in seconds.
double ThreadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7;
}

// The command-line form of a user id, as the program decodes it.
CString EncodeIdentity(const char* userId) { return CString(IdentityArgument(userId).c_str()); }

// Line i's text: its number first, so that it can be found in the view.
std::string LineText(int index) {
    char text[64];
    std::snprintf(text, sizeof text, "line %05d of the flood, forty bytes", index);
    return text;
}

// The distinct line numbers in `text`, each "line " and five digits.
int CountNumberedLines(const std::u16string& text, int lines) {
    std::vector<bool> seen(static_cast<size_t>(lines), false);
    const std::u16string mark = u"line ";
    int count = 0;
    for (size_t at = text.find(mark); at != std::u16string::npos; at = text.find(mark, at + 1)) {
        const size_t digits = at + mark.size();
        if (digits + 5 > text.size()) break;
        int index = 0;
        bool valid = true;
        for (size_t i = digits; i < digits + 5; ++i) {
            valid = valid && text[i] >= u'0' && text[i] <= u'9';
            index = index * 10 + (text[i] - u'0');
        }
        if (!valid || index >= lines || seen[static_cast<size_t>(index)]) continue;
        seen[static_cast<size_t>(index)] = true;
        ++count;
    }
    return count;
}

// The second member: logs in, then sends the lines at a rate (0: as fast as
// the socket takes them) from a thread of its own, while a second thread
// reads and counts what the server sends back to it.
class Feeder {
public:
    ~Feeder() { Stop(); }

    void Start(int port, double rate, int lines) {
        m_port = port;
        m_rate = rate;
        m_lines = lines;
        m_sender = std::thread([this] { SendAll(); });
    }
    // Closes the connection and waits for both threads.
    void Stop() {
        const SOCKET socket = m_socket.exchange(INVALID_SOCKET);
        if (socket != INVALID_SOCKET) {
            shutdown(socket, SD_BOTH);
            closesocket(socket);
        }
        if (m_sender.joinable()) m_sender.join();
        if (m_receiver.joinable()) m_receiver.join();
    }

    bool Done() const { return m_done.load(); }
    bool Failed() const { return m_failed.load(); }
    int Sent() const { return m_sent.load(); }
    int Relayed() const { return m_relayed.load(); }
    double FirstSend() const { return m_firstSend.load(); }
    double LastRelayed() const { return m_lastRelayed.load(); }

private:
    void SendAll();
    bool Connect();
    bool SendBytes(const std::string& bytes);
    void ReceiveAll();
    static void AppendFrame(std::string& out, uint16_t type, const void* payload, int32_t length);

    int m_port = 0;
    double m_rate = 0;
    int m_lines = 0;
    std::atomic<SOCKET> m_socket{INVALID_SOCKET};
    std::thread m_sender;
    std::thread m_receiver;
    std::atomic<bool> m_welcomed{false};
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_failed{false};
    std::atomic<int> m_sent{0};
    std::atomic<int> m_relayed{0};
    std::atomic<double> m_firstSend{0};
    std::atomic<double> m_lastRelayed{0};
};

void Feeder::AppendFrame(std::string& out, uint16_t type, const void* payload, int32_t length) {
    ClientFrame frame;
    if (!BuildClientFrame(type, payload, length, GetTickCount(), frame)) return;
    out.append(reinterpret_cast<const char*>(frame.stampCheck), 6);
    out.append(reinterpret_cast<const char*>(frame.body), static_cast<size_t>(frame.bodySize));
}

bool Feeder::Connect() {
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) return false;
    m_socket = socket;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(m_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    const BOOL noDelay = TRUE;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    m_receiver = std::thread([this] { ReceiveAll(); });
    std::string login;
    const auto record = BuildLoginRecord(kFeederId, kFeederId);
    AppendFrame(login, PKT_LOGIN, record.data(), CHAT_LOGIN_SIZE);
    if (!SendBytes(login)) return false;
    const double deadline = Now() + kLoginWaitSeconds;
    while (!m_welcomed && Now() < deadline) Sleep(1);
    return m_welcomed;
}

bool Feeder::SendBytes(const std::string& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
        const int sent = send(m_socket.load(), bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
        if (sent <= 0) return false;
        at += static_cast<size_t>(sent);
    }
    return true;
}

void Feeder::SendAll() {
    if (!Connect()) {
        m_failed = true;
        m_done = true;
        return;
    }
    const double start = Now();
    m_firstSend = start;
    int sent = 0;
    std::string batch;
    while (sent < m_lines) {
        const int due = m_rate > 0 ? std::min(m_lines, static_cast<int>((Now() - start) * m_rate) + 1)
                                   : std::min(m_lines, sent + kMaxBatch);
        if (due == sent) {
            Sleep(1);
            continue;
        }
        batch.clear();
        for (; sent < due; ++sent) {
            const std::string text = LineText(sent);
            AppendFrame(batch, PKT_CHAT_SEND, text.c_str(), static_cast<int32_t>(text.size() + 1));
        }
        if (!SendBytes(batch)) {
            m_failed = true;
            break;
        }
        m_sent = sent;
    }
    m_done = true;
}

// Counts the welcome and the chat lines in the server's frames.
void Feeder::ReceiveAll() {
    std::vector<char> buffer(64 * 1024);
    std::string inbox;
    for (;;) {
        const int got = recv(m_socket.load(), buffer.data(), static_cast<int>(buffer.size()), 0);
        if (got <= 0) return;
        inbox.append(buffer.data(), static_cast<size_t>(got));
        size_t at = 0;
        while (inbox.size() - at >= 4) {
            const size_t length = ReadLittle16(inbox.data() + at);
            if (inbox.size() - at < 2 + length) break;
            const int type = ReadLittle16(inbox.data() + at + 2);
            if (type == PKT_WELCOME) m_welcomed = true;
            if (type == PKT_CHAT_LINE) {
                ++m_relayed;
                m_lastRelayed = Now();
            }
            at += 2 + length;
        }
        inbox.erase(0, at);
    }
}

struct FloodResult {
    bool ran = false;
    int sent = 0;
    int shown = 0;
    int relayed = 0;
    double showSeconds = 0;
    double relaySeconds = 0;
    double busyShare = 0;
    double cpuShare = 0;
};

// The chat window with the run inside its modal loop.
class FloodWindow : public CChatDlg {
public:
    FloodWindow(const ChatEndpoints& endpoints, int chatPort, double rate)
        : CChatDlg(nullptr, endpoints), m_chatPort(chatPort), m_rate(rate) {}

    const FloodResult& Result() const { return m_result; }

protected:
    // Posted before the window connects, so that it is ahead of every
    // WM_CHAT_PACKET and the run counts them all.
    BOOL OnInitDialog() override {
        PostMessage(WM_APP_FLOOD);
        return CChatDlg::OnInitDialog();
    }
    CString GetIdentityArgument() const override { return EncodeIdentity(kViewerId); }
    LRESULT OnFlood(WPARAM, LPARAM) {
        Run();
        EndDialog(IDOK);
        return 0;
    }

    DECLARE_MESSAGE_MAP()

private:
    // One turn of the modal loop, with GetMessage timed. False on WM_QUIT.
    bool PumpOne();
    // Pumps until `done` or `seconds` have passed; false on WM_QUIT.
    bool PumpUntil(const std::function<bool()>& done, double seconds);
    void Run();
    int ShownLines();

    int m_chatPort;
    double m_rate;
    FloodResult m_result;
    int m_packets = 0;  // WM_CHAT_PACKET messages dispatched to the window
    double m_lastPacket = 0;
    double m_waited = 0;  // seconds inside GetMessage
    double m_waitedAtLastPacket = 0;
};

BEGIN_MESSAGE_MAP(FloodWindow, CChatDlg)
ON_MESSAGE(WM_APP_FLOOD, OnFlood)
END_MESSAGE_MAP()

bool FloodWindow::PumpOne() {
    MSG msg;
    const double before = Now();
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    m_waited += Now() - before;
    if (got == 0 || got == -1) {
        if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    const bool packet = msg.message == WM_CHAT_PACKET && msg.hwnd == m_hWnd;
    if (!CWnd::WalkPreTranslateTree(m_hWnd, &msg) && !(m_hWnd && ::IsDialogMessageW(m_hWnd, &msg))) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (packet) {
        ++m_packets;
        m_lastPacket = Now();
        m_waitedAtLastPacket = m_waited;
    }
    return true;
}

bool FloodWindow::PumpUntil(const std::function<bool()>& done, double seconds) {
    const double deadline = Now() + seconds;
    while (!done()) {
        if (Now() > deadline || !m_hWnd || !PumpOne()) return false;
    }
    return true;
}

void FloodWindow::Run() {
    const UINT_PTR tick = ::SetTimer(nullptr, 0, kTickMs, nullptr);
    if (PumpUntil([&] { return m_packets >= kPacketsBeforeFeeder; }, kLoginWaitSeconds)) {
        Feeder feeder;
        const double start = Now();
        const double waitedAtStart = m_waited;
        const double cpuAtStart = ThreadCpuSeconds();
        feeder.Start(m_chatPort, m_rate, kLines);
        const int expected = kPacketsBeforeFeeder + kNoticesOfFeeder + kLines;
        PumpUntil(
            [&] {
                if (m_packets >= expected) return true;
                return feeder.Done() && Now() - std::max(m_lastPacket, start) > kQuietSeconds;
            },
            kRunLimitSeconds);
        const double cpu = ThreadCpuSeconds() - cpuAtStart;
        const double wall = std::max(m_lastPacket - start, 1e-9);
        m_result.ran = !feeder.Failed();
        m_result.sent = feeder.Sent();
        m_result.shown = ShownLines();
        m_result.showSeconds = m_lastPacket - feeder.FirstSend();
        m_result.busyShare = (wall - (m_waitedAtLastPacket - waitedAtStart)) / wall;
        m_result.cpuShare = cpu / wall;
        // The feeder's own copies may still be on their way.
        PumpUntil([&] { return feeder.Relayed() >= feeder.Sent() || Now() - feeder.LastRelayed() > kQuietSeconds; },
                  kRunLimitSeconds);
        m_result.relayed = feeder.Relayed();
        m_result.relaySeconds = feeder.LastRelayed() - feeder.FirstSend();
        feeder.Stop();
    }
    ::KillTimer(nullptr, tick);
}

int FloodWindow::ShownLines() {
    if (!m_pChatView || !m_pChatView->m_pDocument) return 0;
    // The view's document is always the pane's own document object.
    auto* document = static_cast<CHtmlDocumentObject*>(m_pChatView->m_pDocument.Get());
    html::Document& engine = document->Engine();
    engine.SelectAll();
    const std::u16string text = engine.SelectedText();
    engine.ClearSelection();
    return CountNumberedLines(text, kLines);
}

void Print(const char* rate, const FloodResult& result) {
    const auto perSecond = [](int count, double seconds) { return seconds > 0 ? count / seconds : 0.0; };
    std::printf("rate=%s shown=%d dropped=%d lines_per_s=%.0f ui_busy=%.2f ui_cpu=%.2f relayed_per_s=%.0f\n", rate,
                result.shown, result.sent - result.shown, perSecond(result.shown, result.showSeconds), result.busyShare,
                result.cpuShare, perSecond(result.relayed, result.relaySeconds));
    std::fflush(stdout);
}

// Rates from the command line: lines per second, or "max" (0).
bool ReadRates(int argc, char** argv, std::vector<std::string>& names, std::vector<double>& rates) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        char* end = nullptr;
        const double rate = name == "max" ? 0 : std::strtod(name.c_str(), &end);
        if (name != "max" && (end == name.c_str() || *end != 0 || rate <= 0)) return false;
        names.push_back(name);
        rates.push_back(rate);
    }
    if (names.empty()) {
        names = {"2000", "5000", "10000", "max"};
        rates = {2000, 5000, 10000, 0};
    }
    return true;
}

int Bench(const std::vector<std::string>& names, const std::vector<double>& rates) {
    ServiceProcess chatServer;
    ServiceProcess profileService;
    // A send queue far larger than the stream: the server never drops the window.
    if (!chatServer.Start(BesideThisProgram(L"../tools/wobble-chatd.exe"), L"--port 0 --queue-limit 67108864",
                          kServiceStartMs) ||
        !profileService.Start(BesideThisProgram(L"../tools/wobble-profiled.exe"),
                              L"--port 0 --fixed-body " + AsciiWide(kProfileAnswer), kServiceStartMs)) {
        std::fprintf(stderr, "flood_bench: the services did not start\n");
        return 1;
    }
    const ChatEndpoints endpoints{"127.0.0.1", chatServer.Port(),
                                  ("127.0.0.1:" + std::to_string(profileService.Port())).c_str()};
    for (size_t i = 0; i < rates.size(); ++i) {
        FloodWindow window(endpoints, chatServer.Port(), rates[i]);
        const INT_PTR modal = window.DoModal();
        if (!window.Result().ran) {
            std::fprintf(stderr, "flood_bench: rate %s did not run (window %s)\n", names[i].c_str(),
                         modal == -1 ? "refused: no profile" : "or feeder not logged in");
            return 1;
        }
        Print(names[i].c_str(), window.Result());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> names;
    std::vector<double> rates;
    if (!ReadRates(argc, argv, names, rates)) {
        std::fprintf(stderr, "usage: flood_bench [RATE|max ...]\n");
        return 2;
    }
    // As the program starts before it makes its window.
    ::InitCommonControls();
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
    const int status = Bench(names, rates);
    WSACleanup();
    return status;
}
