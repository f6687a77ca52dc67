#include "tools/common/ServiceLoop.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <vector>

namespace {

// A connection closed after sending gets this long to read our answer and
// hang up before we close anyway.
constexpr ULONGLONG kDrainMs = 2000;
constexpr int kReceiveChunk = 64 * 1024;
// Receives per connection and turn: enough for a burst, few enough that one
// chatty peer cannot keep the loop from the others.
constexpr int kReceivesPerTurn = 4;
// The most one send call is handed; the rest waits for the next call.
constexpr size_t kSendChunk = 1u << 20;

std::string DescribePeer(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

bool SetNonBlocking(SOCKET socket) {
    u_long nonBlocking = 1;
    return ioctlsocket(socket, FIONBIO, &nonBlocking) == 0;
}

std::string SocketError(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(WSAGetLastError());
}

}  // namespace

struct ServiceLoop::Connection {
    enum class State {
        Open,
        Closing,   // queue being sent; nothing more is accepted or delivered
        Draining,  // our side shut down; waiting for the peer to hang up
        Ended,     // to be removed at the end of the turn
    };

    ConnectionId id = 0;
    SOCKET socket = INVALID_SOCKET;
    State state = State::Open;
    const char* endReason = "";
    std::string outbox;
    size_t sent = 0;  // bytes at the front of `outbox` already sent
    ULONGLONG opened = 0;
    ULONGLONG drainStarted = 0;  // when the state became Draining

    size_t Pending() const { return outbox.size() - sent; }
};

ServiceLoop::ServiceLoop(EventLog& log, ServiceLimits limits)
    : m_log(log), m_limits(limits), m_receiveBuffer(kReceiveChunk, '\0') {}

ServiceLoop::~ServiceLoop() {
    for (auto& [id, connection] : m_connections) closesocket(connection->socket);
    if (m_listener != INVALID_SOCKET) closesocket(m_listener);
}

bool ServiceLoop::Listen(const char* address, int port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(port));
    if (inet_pton(AF_INET, address, &local.sin_addr) != 1) {
        m_log.Write(std::string("not an IPv4 address: ") + Printable(address));
        return false;
    }
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listener == INVALID_SOCKET) {
        m_log.Write(SocketError("socket"));
        return false;
    }
    int size = sizeof local;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&local), size) != 0) {
        m_log.Write(SocketError("bind"));
        return false;
    }
    if (listen(m_listener, SOMAXCONN) != 0 || !SetNonBlocking(m_listener) ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        m_log.Write(SocketError("listen"));
        return false;
    }
    m_port = ntohs(local.sin_port);
    return true;
}

bool ServiceLoop::Send(ConnectionId id, std::string_view bytes) {
    const auto found = m_connections.find(id);
    if (found == m_connections.end()) return false;
    Connection& connection = *found->second;
    if (connection.state != Connection::State::Open) return false;
    if (connection.Pending() + bytes.size() > m_limits.sendQueueBytes) {
        End(connection, "send queue full");
        return false;
    }
    connection.outbox.append(bytes);
    return true;
}

void ServiceLoop::Close(ConnectionId id, CloseMode mode) {
    const auto found = m_connections.find(id);
    if (found == m_connections.end() || found->second->state != Connection::State::Open) return;
    if (mode == CloseMode::Now) {
        End(*found->second, "closed by the service");
    } else {
        found->second->state = Connection::State::Closing;
    }
}

bool ServiceLoop::Turn() {
    std::vector<WSAPOLLFD> polled;
    std::vector<Connection*> owners;  // owners[i] goes with polled[i + 1]
    polled.push_back({m_listener, POLLRDNORM, 0});
    for (auto& [id, connection] : m_connections) {
        const SHORT events = connection->Pending() > 0 ? POLLRDNORM | POLLWRNORM : POLLRDNORM;
        polled.push_back({connection->socket, events, 0});
        owners.push_back(connection.get());
    }
    if (WSAPoll(polled.data(), static_cast<ULONG>(polled.size()), PollTimeout()) == SOCKET_ERROR) {
        m_log.Write(SocketError("WSAPoll"));
        return false;
    }
    if (polled[0].revents) AcceptAll();
    for (size_t i = 0; i < owners.size(); ++i) {
        if (polled[i + 1].revents & (POLLRDNORM | POLLHUP | POLLERR | POLLNVAL)) Receive(*owners[i]);
    }
    ExpireOld();
    // Removing a connection may queue a notice to the others, and a failed
    // send ends a connection: go round until nothing more ends.
    bool ended;
    do {
        RemoveEnded();
        for (auto& [id, connection] : m_connections) Flush(*connection);
        ended = std::any_of(m_connections.begin(), m_connections.end(),
                            [](const auto& entry) { return entry.second->state == Connection::State::Ended; });
    } while (ended);
    return true;
}

int ServiceLoop::PollTimeout() const {
    const ULONGLONG now = GetTickCount64();
    ULONGLONG wait = ~0ull;
    for (const auto& [id, connection] : m_connections) {
        const ULONGLONG deadline = Deadline(*connection);
        if (deadline != 0) wait = std::min(wait, deadline > now ? deadline - now : 0);
    }
    return wait == ~0ull ? -1 : static_cast<int>(std::min<ULONGLONG>(wait, 60000));
}

void ServiceLoop::AcceptAll() {
    for (;;) {
        sockaddr_in remote{};
        int size = sizeof remote;
        const SOCKET socket = accept(m_listener, reinterpret_cast<sockaddr*>(&remote), &size);
        if (socket == INVALID_SOCKET) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) m_log.Write(SocketError("accept"));
            return;
        }
        const std::string peer = DescribePeer(remote);
        if (m_connections.size() >= m_limits.maxConnections) {
            closesocket(socket);
            m_log.Write("refused " + peer + ": too many connections");
            continue;
        }
        // Our own queues gather what goes out in a turn; Nagle would only
        // hold the last piece back.
        const BOOL noDelay = TRUE;
        if (!SetNonBlocking(socket) ||
            setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay) !=
                0 ||
            setsockopt(socket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&m_limits.socketSendBuffer),
                       sizeof m_limits.socketSendBuffer) != 0) {
            m_log.Write(SocketError("setting up a connection"));
            closesocket(socket);
            continue;
        }
        const ConnectionId id = m_nextId++;
        auto connection = std::make_unique<Connection>();
        connection->id = id;
        connection->socket = socket;
        connection->opened = GetTickCount64();
        m_connections.emplace(id, std::move(connection));
        m_log.Write("#" + std::to_string(id) + " connected from " + peer);
        m_handler->OnOpened(id, peer);
    }
}

void ServiceLoop::Receive(Connection& connection) {
    for (int i = 0; i < kReceivesPerTurn && connection.state != Connection::State::Ended; ++i) {
        const int got = recv(connection.socket, m_receiveBuffer.data(), kReceiveChunk, 0);
        if (got == 0) {
            End(connection, "closed by the peer");
        } else if (got < 0) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) End(connection, "receive failed");
            return;
        } else {
            if (connection.state == Connection::State::Open) {
                m_handler->OnReceived(connection.id, reinterpret_cast<const uint8_t*>(m_receiveBuffer.data()),
                                      static_cast<size_t>(got));
            }
            // A short read emptied the socket; asking again would only
            // learn that it would block.
            if (got < kReceiveChunk) return;
        }
    }
}

void ServiceLoop::Flush(Connection& connection) {
    if (connection.state == Connection::State::Ended) return;
    while (connection.Pending() > 0) {
        const int size = static_cast<int>(std::min(connection.Pending(), kSendChunk));
        const int sent = send(connection.socket, connection.outbox.data() + connection.sent, size, 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) End(connection, "send failed");
            break;
        }
        connection.sent += static_cast<size_t>(sent);
    }
    if (connection.Pending() == 0) {
        connection.outbox.clear();
        connection.sent = 0;
        if (connection.state == Connection::State::Closing) {
            shutdown(connection.socket, SD_SEND);
            connection.state = Connection::State::Draining;
            connection.drainStarted = GetTickCount64();
        }
    } else if (connection.sent >= connection.outbox.size() / 2) {
        // Keeps the queue's memory proportional to what is pending.
        connection.outbox.erase(0, connection.sent);
        connection.sent = 0;
    }
}

ULONGLONG ServiceLoop::Deadline(const Connection& connection) const {
    const ULONGLONG lifeEnd = m_limits.lifetimeMs > 0 ? connection.opened + m_limits.lifetimeMs : 0;
    if (connection.state != Connection::State::Draining) return lifeEnd;
    const ULONGLONG drainEnd = connection.drainStarted + kDrainMs;
    return lifeEnd != 0 ? std::min(lifeEnd, drainEnd) : drainEnd;
}

void ServiceLoop::ExpireOld() {
    const ULONGLONG now = GetTickCount64();
    for (auto& [id, connection] : m_connections) {
        const ULONGLONG deadline = Deadline(*connection);
        if (deadline != 0 && now >= deadline) {
            End(*connection, connection->state == Connection::State::Draining ? "answered" : "time is up");
        }
    }
}

void ServiceLoop::RemoveEnded() {
    std::vector<ConnectionId> ended;
    for (const auto& [id, connection] : m_connections) {
        if (connection->state == Connection::State::Ended) ended.push_back(id);
    }
    for (const ConnectionId id : ended) {
        const auto found = m_connections.find(id);
        closesocket(found->second->socket);
        m_log.Write("#" + std::to_string(id) + " closed: " + found->second->endReason);
        m_connections.erase(found);
        m_handler->OnClosed(id);
    }
}

void ServiceLoop::End(Connection& connection, const char* reason) {
    if (connection.state == Connection::State::Ended) return;
    connection.state = Connection::State::Ended;
    connection.endReason = reason;
}
