// Relay benchmark: the reference chat server with a full room.
//
// Starts wobble-chatd on a loopback port, logs in 200 members over plain
// non-blocking sockets, and has them speak lines round-robin, first paced at
// a total rate, then as fast as the server takes them. One thread does all
// the sending and receiving with WSAPoll, as the server does, so that the
// benchmark is not the bottleneck by spending a thread per member.
//
// "Relaying 10,000 lines/s" means: 10,000 lines a second come in from the
// members, and every one goes out to every member, the speaker included. With
// 200 members that is 200 deliveries per line, 2,000,000 a second. Both
// figures are printed:
//   clients=200 rate=10000 relayed_lines_per_s=.. delivered_per_s=.. dropped=..
//     clients_lost=.. latency_ms_p50=.. latency_ms_p99=..
// relayed_lines_per_s = delivered_per_s / clients; both count from the first
// line sent to the last delivery. dropped counts deliveries that never came
// (lines x clients - delivered); clients_lost, members the server dropped.
// Latency is from a line's send to its arrival at the first member.
// rate=max keeps at most kMaxInFlight lines unanswered at the first member,
// which measures what the server sustains without its send queues
// overflowing.

#include "bench/BenchClock.h"
#include "net/Protocol.h"
#include "tools/common/ServiceProcess.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kClients = 200;
constexpr double kPacedSeconds = 3.0;
constexpr int64_t kMaxRunLines = 40000;
constexpr int64_t kMaxInFlight = 2000;
constexpr double kQuietSeconds = 5.0;  // a run ends when nothing arrives this long
constexpr int kReceiveSize = 256 * 1024;
constexpr DWORD kStartWait = 10000;

struct Member {
    SOCKET socket = INVALID_SOCKET;
    std::string outbox;
    std::string inbox;
    bool lost = false;
    int64_t lines = 0;    // chat lines received in the current run
    int64_t notices = 0;  // welcome and notices
};

struct RunResult {
    int64_t lines = 0;
    int64_t delivered = 0;
    double seconds = 0;
    int lost = 0;
    std::vector<double> latencies;
};

class Room {
public:
    bool Connect(int port);
    RunResult Run(double rate, int64_t lines);
    ~Room() {
        for (Member& member : m_members) closesocket(member.socket);
    }

private:
    void Queue(Member& member, uint16_t type, const std::string& payload);
    // One poll, the sends that are possible and every frame that has come.
    void Pump(int timeoutMs, RunResult* result);
    void Receive(size_t index, RunResult* result);
    int64_t Lines(size_t index) const { return m_members[index].lines; }

    std::vector<Member> m_members;
    std::vector<char> m_buffer = std::vector<char>(kReceiveSize);
};

bool Room::Connect(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    m_members.resize(kClients);
    for (int i = 0; i < kClients; ++i) {
        Member& member = m_members[i];
        member.socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (connect(member.socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
        u_long nonBlocking = 1;
        const BOOL noDelay = TRUE;
        const int bufferSize = 1 << 20;
        ioctlsocket(member.socket, FIONBIO, &nonBlocking);
        setsockopt(member.socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
        setsockopt(member.socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferSize), sizeof bufferSize);
        char name[8];
        std::snprintf(name, sizeof name, "%03d", i);
        const auto record = BuildLoginRecord(std::string("user") + name, std::string("member") + name);
        Queue(member, PKT_LOGIN, std::string(reinterpret_cast<const char*>(record.data()), record.size()));
    }
    // Member i hears its welcome and the joins of members i to 199.
    int64_t expected = 0;
    for (int i = 0; i < kClients; ++i) expected += 1 + (kClients - i);
    const double deadline = Now() + 30;
    int64_t heard = 0;
    while (heard < expected && Now() < deadline) {
        Pump(10, nullptr);
        heard = 0;
        for (const Member& member : m_members) heard += member.notices;
    }
    return heard == expected;
}

void Room::Queue(Member& member, uint16_t type, const std::string& payload) {
    ClientFrame frame;
    BuildClientFrame(type, payload.data(), static_cast<int32_t>(payload.size()), GetTickCount(), frame);
    member.outbox.append(reinterpret_cast<const char*>(frame.stampCheck), 6);
    member.outbox.append(reinterpret_cast<const char*>(frame.body), static_cast<size_t>(frame.bodySize));
}

void Room::Pump(int timeoutMs, RunResult* result) {
    std::vector<WSAPOLLFD> polled(m_members.size());
    for (size_t i = 0; i < m_members.size(); ++i) {
        polled[i].fd = m_members[i].socket;
        polled[i].events = static_cast<SHORT>(m_members[i].outbox.empty() ? POLLRDNORM : POLLRDNORM | POLLWRNORM);
    }
    WSAPoll(polled.data(), static_cast<ULONG>(polled.size()), timeoutMs);
    for (size_t i = 0; i < m_members.size(); ++i) {
        Member& member = m_members[i];
        if (member.lost) continue;
        if (!member.outbox.empty()) {
            const int sent = send(member.socket, member.outbox.data(), static_cast<int>(member.outbox.size()), 0);
            if (sent > 0) member.outbox.erase(0, static_cast<size_t>(sent));
        }
        if (polled[i].revents & (POLLRDNORM | POLLHUP | POLLERR)) Receive(i, result);
    }
}

void Room::Receive(size_t index, RunResult* result) {
    Member& member = m_members[index];
    for (;;) {
        const int got = recv(member.socket, m_buffer.data(), kReceiveSize, 0);
        if (got == 0 || (got < 0 && WSAGetLastError() != WSAEWOULDBLOCK)) {
            member.lost = true;
            return;
        }
        if (got < 0) break;
        member.inbox.append(m_buffer.data(), static_cast<size_t>(got));
        if (got < kReceiveSize) break;
    }
    size_t at = 0;
    const std::string& inbox = member.inbox;
    while (inbox.size() - at >= 4) {
        const size_t length = ReadLittle16(inbox.data() + at);
        if (inbox.size() - at < 2 + length) break;
        const int type = ReadLittle16(inbox.data() + at + 2);
        if (type == PKT_CHAT_LINE) {
            ++member.lines;
            if (result && index == 0) {
                // The line's text is its send time; it follows the last BEL.
                const std::string record = inbox.substr(at + 4, length - 2);
                result->latencies.push_back(Now() - std::atof(record.c_str() + record.rfind('\a') + 1));
            }
        } else {
            ++member.notices;
        }
        at += 2 + length;
    }
    member.inbox.erase(0, at);
}

RunResult Room::Run(double rate, int64_t lines) {
    RunResult result;
    result.lines = lines;
    for (Member& member : m_members) member.lines = 0;
    const double start = Now();
    double lastArrival = start;
    int64_t sent = 0;
    int64_t delivered = 0;
    const int64_t expected = lines * kClients;
    while (delivered < expected && Now() - lastArrival < kQuietSeconds) {
        const int64_t due = rate > 0 ? std::min<int64_t>(lines, static_cast<int64_t>((Now() - start) * rate) + 1)
                                     : std::min<int64_t>(lines, Lines(0) + kMaxInFlight);
        for (; sent < due; ++sent) {
            char text[32];
            std::snprintf(text, sizeof text, "%.6f", Now());
            Queue(m_members[sent % kClients], PKT_CHAT_SEND, std::string(text) + '\0');
        }
        Pump(1, &result);
        int64_t total = 0;
        for (const Member& member : m_members) total += member.lines;
        if (total > delivered) {
            delivered = total;
            lastArrival = Now();
        }
    }
    result.delivered = delivered;
    result.seconds = lastArrival - start;
    for (const Member& member : m_members) result.lost += member.lost;
    return result;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(share * static_cast<double>(values.size() - 1))];
}

void Print(const char* rate, const RunResult& result) {
    const double seconds = std::max(result.seconds, 1e-9);
    std::printf(
        "clients=%d rate=%s relayed_lines_per_s=%.0f delivered_per_s=%.0f dropped=%lld clients_lost=%d "
        "latency_ms_p50=%.1f latency_ms_p99=%.1f\n",
        kClients, rate, static_cast<double>(result.delivered) / kClients / seconds,
        static_cast<double>(result.delivered) / seconds,
        static_cast<long long>(result.lines * kClients - result.delivered), result.lost,
        1000 * Percentile(result.latencies, 0.5), 1000 * Percentile(result.latencies, 0.99));
    std::fflush(stdout);
}

// Runs the rates against a server on `port`, or against a wobble-chatd of
// our own when the port is 0.
int Bench(int port, const std::vector<double>& rates) {
    ServiceProcess server;
    if (port == 0) {
        if (!server.Start(BesideThisProgram(L"../tools/wobble-chatd.exe"), L"--port 0", kStartWait)) {
            std::fprintf(stderr, "relay_bench: wobble-chatd did not start\n");
            return 1;
        }
        port = server.Port();
    }
    Room room;
    if (!room.Connect(port)) {
        std::fprintf(stderr, "relay_bench: the %d members did not all log in\n", kClients);
        return 1;
    }
    for (const double rate : rates) {
        if (rate > 0) {
            Print(std::to_string(static_cast<long long>(rate)).c_str(),
                  room.Run(rate, static_cast<int64_t>(rate * kPacedSeconds)));
        } else {
            Print("max", room.Run(0, kMaxRunLines));
        }
    }
    return 0;
}

}  // namespace

// Arguments: [--port N] RATE...: the rates in lines per second, "max" for
// the unpaced run, by default 10000 and max. With --port the members join a
// server already listening on 127.0.0.1:N, for instance one started in
// another Wine prefix, so that it does not share a wineserver with them.
int main(int argc, char** argv) {
    int port = 0;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--port") {
        port = std::atoi(argv[2]);
        first = 3;
    }
    std::vector<double> rates;
    for (int i = first; i < argc; ++i) rates.push_back(std::string(argv[i]) == "max" ? 0 : std::atof(argv[i]));
    if (rates.empty()) rates = {10000, 0};
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
    const int status = Bench(port, rates);
    WSACleanup();
    return status;
}
