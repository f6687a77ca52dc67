// Transport benchmark: how fast server frames reach the chat window, against
// how fast the same bytes can cross loopback at all.
//
// A sender thread serves a stream of identical server frames on a loopback
// port. The client run connects a CChatClient to it, set up as the chat
// window sets it up, and drains it as the window does: one GetPackets of one
// packet and one ReleasePacket per posted message, in a window procedure on
// this thread's message loop. The limit run reads the same stream from the
// same kind of sender with a plain blocking socket in 64 KiB receives. Runs
// alternate, so that the machine's noise falls on both alike.
//
// Each kind of run gets its own stream length, calibrated so that one run
// takes about half a second here: the limit is many times faster, and a
// stream sized for the client would be over in a few milliseconds.
//
// Output, one line per body size, each figure the median of five runs:
//   body=L frames_per_s=.. mb_per_s=.. limit_mb_per_s=.. ratio=.. dropped=N
// MB is 10^6 bytes of stream (length prefixes included, for both runs);
// ratio = mb_per_s / limit_mb_per_s; dropped counts frames sent but never
// delivered (the client drops beyond 1000 outstanding), over all runs.

#include "bench/BenchClock.h"
#include "net/ChatClient.h"
#include "net/Protocol.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// "64 KiB" is the largest body a frame can carry: the length field is 16 bits.
constexpr int kBodySizes[] = {64, 1024, CHAT_MAX_SERVER_BODY};
constexpr int kRuns = 5;
constexpr size_t kSendSize = 1 << 20;  // the most the sender hands over in one send
constexpr int kLimitReceiveSize = 64 * 1024;
constexpr double kTargetRunSeconds = 0.5;
// Calibration grows a short stream until one run takes this long, long
// enough to time and to have warmed up Wine's socket and window paths.
constexpr double kCalibrationSeconds = 0.1;
constexpr int64_t kCalibrationStartFrames = 16;
constexpr UINT kStreamEndedMessage = WM_APP + 1;
constexpr UINT kWatchdogMs = 60000;
constexpr wchar_t kDrainClassName[] = L"WobbleTransportBenchDrain";

// A benchmark that cannot set up its sockets or its window has nothing to
// report; stopping at once keeps the measuring code free of error paths.
[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "transport_bench: %s failed (error %lu, WSA %d)\n", what, GetLastError(), WSAGetLastError());
    std::fflush(stderr);
    ExitProcess(1);
}

class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) Fail("WSAStartup");
    }
    ~WinsockSession() { WSACleanup(); }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};

class Socket {
public:
    explicit Socket(SOCKET handle) : m_handle(handle) {
        if (m_handle == INVALID_SOCKET) Fail("socket");
    }
    ~Socket() { closesocket(m_handle); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    SOCKET Get() const { return m_handle; }

private:
    SOCKET m_handle;
};

sockaddr_in LoopbackAddress(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// A loopback port of the system's choosing, listening for one peer.
class Listener {
public:
    Listener() : m_socket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in address = LoopbackAddress(0);
        int size = sizeof address;
        if (bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), size) != 0) Fail("bind");
        if (listen(m_socket.Get(), 1) != 0) Fail("listen");
        if (getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) Fail("getsockname");
        m_port = ntohs(address.sin_port);
    }

    uint16_t Port() const { return m_port; }
    SOCKET Accept() const { return accept(m_socket.Get(), nullptr, nullptr); }

private:
    Socket m_socket;
    uint16_t m_port = 0;
};

// A number of identical chat-line frames. The sender holds one block of
// whole frames, up to kSendSize bytes, and sends it, or the front of it, as
// often as it takes: any length without holding it all in memory.
class FrameStream {
public:
    FrameStream(int bodyLength, int64_t frames) : m_bodyLength(bodyLength), m_frames(frames) {
        const std::vector<uint8_t> payload(static_cast<size_t>(bodyLength) - 2, 'x');
        const std::vector<uint8_t> frame = BuildServerFrame(PKT_CHAT_LINE, payload.data(), payload.size());
        m_frameSize = frame.size();
        const size_t framesPerBlock = std::max<size_t>(1, kSendSize / m_frameSize);
        for (size_t i = 0; i < framesPerBlock; ++i) m_block.insert(m_block.end(), frame.begin(), frame.end());
    }

    int BodyLength() const { return m_bodyLength; }
    int64_t Frames() const { return m_frames; }
    int64_t Bytes() const { return m_frames * static_cast<int64_t>(m_frameSize); }
    const std::vector<uint8_t>& Block() const { return m_block; }
    size_t FramesPerBlock() const { return m_block.size() / m_frameSize; }
    size_t FrameSize() const { return m_frameSize; }

private:
    int m_bodyLength;
    int64_t m_frames;
    size_t m_frameSize = 0;
    std::vector<uint8_t> m_block;
};

void SendAll(SOCKET peer, const uint8_t* bytes, size_t size) {
    size_t sent = 0;
    while (sent < size) {
        const int chunk = static_cast<int>(size - sent);
        const int result = send(peer, reinterpret_cast<const char*>(bytes + sent), chunk, 0);
        if (result <= 0) Fail("send");
        sent += static_cast<size_t>(result);
    }
}

// Half-closes, then waits for the reader to close its end, so that no byte
// still in flight is lost to an early close of ours.
void FinishStream(SOCKET peer) {
    shutdown(peer, SD_SEND);
    char ignored[256];
    while (recv(peer, ignored, sizeof ignored, 0) > 0) {
    }
}

void ServeStream(const Listener& listener, const FrameStream& stream) {
    Socket peer(listener.Accept());
    for (int64_t left = stream.Frames(); left > 0;) {
        const size_t frames =
            static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(stream.FramesPerBlock())));
        SendAll(peer.Get(), stream.Block().data(), frames * stream.FrameSize());
        left -= static_cast<int64_t>(frames);
    }
    FinishStream(peer.Get());
}

// Serves one stream on its own thread; the destructor waits for it, which
// ends once the reading side has closed its socket.
class StreamSender {
public:
    StreamSender(const Listener& listener, const FrameStream& stream)
        : m_thread([&listener, &stream] { ServeStream(listener, stream); }) {}

private:
    std::jthread m_thread;
};

// What the window procedure sees of one client run. Written only on this
// (the window's) thread.
struct DrainState {
    CChatClient* client = nullptr;
    int64_t delivered = 0;
    int64_t misframed = 0;  // packets that are not the frame that was sent
    int bodyLength = 0;
    bool ended = false;
};

// The drain: one packet per message, read, given back.
void TakeOnePacket(DrainState& state) {
    ChatPacket* packet = nullptr;
    if (state.client->GetPackets(&packet, 1) != 1) return;
    const uint16_t type = ReadLittle16(packet->data);
    if (type != PKT_CHAT_LINE || packet->length != state.bodyLength) ++state.misframed;
    ++state.delivered;
    state.client->ReleasePacket(packet);
}

LRESULT CALLBACK DrainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state = reinterpret_cast<DrainState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state && message == WM_CHAT_PACKET && wParam == NOTIFY_PACKET) {
        TakeOnePacket(*state);
        return 0;
    }
    if (state && (message == kStreamEndedMessage || message == WM_TIMER)) {
        state->ended = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterDrainClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DrainWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kDrainClassName;
    if (!RegisterClassW(&windowClass)) Fail("RegisterClass");
}

// A message-only window standing in for the chat window, for one run. A
// watchdog timer ends a run that stalls, so that a broken client cannot hang
// the benchmark; its frames then count as dropped.
class DrainWindow {
public:
    explicit DrainWindow(DrainState& state)
        : m_window(CreateWindowExW(0, kDrainClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), &state)) {
        if (!m_window) Fail("CreateWindowEx");
        if (!SetTimer(m_window, 1, kWatchdogMs, nullptr)) Fail("SetTimer");
    }
    ~DrainWindow() { DestroyWindow(m_window); }
    DrainWindow(const DrainWindow&) = delete;
    DrainWindow& operator=(const DrainWindow&) = delete;

    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

void PumpUntilEnded(const DrainState& state) {
    MSG message;
    while (!state.ended && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

// OnClosed runs on the reader thread after its last post, so this message
// queues behind every packet message of the stream.
class BenchClient final : public CChatClient {
public:
    explicit BenchClient(HWND drain) : m_drain(drain) {}
    // The reader must be gone before this object's OnClosed is.
    ~BenchClient() override { Close(); }
    void OnClosed() override { PostMessageW(m_drain, kStreamEndedMessage, 0, 0); }

private:
    HWND m_drain;
};

struct Run {
    double seconds = 0;
    int64_t delivered = 0;  // frames that reached the reading side
};

Run MeasureClientRun(const FrameStream& stream) {
    DrainState state;
    state.bodyLength = stream.BodyLength();
    DrainWindow drain(state);
    Listener listener;
    StreamSender sender(listener, stream);
    BenchClient client(drain.Get());
    if (!client.Create(8192, 8192)) Fail("CChatClient::Create");
    client.SetNotify(drain.Get(), WM_CHAT_PACKET, NOTIFY_PACKET);
    state.client = &client;

    const double started = Now();
    if (!client.Connect("127.0.0.1", listener.Port(), 5000)) Fail("CChatClient::Connect");
    PumpUntilEnded(state);
    const double seconds = Now() - started;

    if (state.misframed != 0) {
        std::fprintf(stderr, "transport_bench: %lld packets arrived misframed\n",
                     static_cast<long long>(state.misframed));
        ExitProcess(1);
    }
    return {seconds, state.delivered};
}

Run MeasureLimitRun(const FrameStream& stream) {
    Listener listener;
    StreamSender sender(listener, stream);
    Socket reader(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    std::vector<char> buffer(kLimitReceiveSize);

    const double started = Now();
    const sockaddr_in address = LoopbackAddress(listener.Port());
    if (connect(reader.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) Fail("connect");
    int64_t received = 0;
    int result;
    while ((result = recv(reader.Get(), buffer.data(), kLimitReceiveSize, 0)) > 0) received += result;
    const double seconds = Now() - started;

    if (result < 0 || received != stream.Bytes()) Fail("limit receive");
    return {seconds, stream.Frames()};
}

using Measure = Run (*)(const FrameStream&);

// The number of frames that makes one run of `measure` take about
// kTargetRunSeconds on this machine.
int64_t CalibratedFrames(int bodyLength, Measure measure) {
    for (int64_t frames = kCalibrationStartFrames;; frames *= 4) {
        const double seconds = measure(FrameStream(bodyLength, frames)).seconds;
        if (seconds >= kCalibrationSeconds)
            return std::max<int64_t>(1, static_cast<int64_t>(frames * kTargetRunSeconds / seconds));
    }
}

double MegabytesPerSecond(const FrameStream& stream, const Run& run) {
    return static_cast<double>(run.delivered) * static_cast<double>(stream.FrameSize()) / 1e6 / run.seconds;
}

void MeasureBodySize(int bodyLength) {
    const FrameStream clientStream(bodyLength, CalibratedFrames(bodyLength, MeasureClientRun));
    const FrameStream limitStream(bodyLength, CalibratedFrames(bodyLength, MeasureLimitRun));
    std::vector<double> framesPerSecond, clientMbPerSecond, limitMbPerSecond;
    int64_t dropped = 0;
    for (int run = 0; run < kRuns; ++run) {
        const Run client = MeasureClientRun(clientStream);
        dropped += clientStream.Frames() - client.delivered;
        framesPerSecond.push_back(static_cast<double>(client.delivered) / client.seconds);
        clientMbPerSecond.push_back(MegabytesPerSecond(clientStream, client));
        limitMbPerSecond.push_back(MegabytesPerSecond(limitStream, MeasureLimitRun(limitStream)));
    }
    const double clientMb = Median(clientMbPerSecond);
    const double limitMb = Median(limitMbPerSecond);
    std::printf("body=%d frames_per_s=%.0f mb_per_s=%.1f limit_mb_per_s=%.1f ratio=%.3f dropped=%lld\n", bodyLength,
                Median(framesPerSecond), clientMb, limitMb, clientMb / limitMb, static_cast<long long>(dropped));
    std::fflush(stdout);
}

}  // namespace

int main() {
    const WinsockSession winsock;
    RegisterDrainClass();
    for (const int bodyLength : kBodySizes) MeasureBodySize(bodyLength);
    return 0;
}
