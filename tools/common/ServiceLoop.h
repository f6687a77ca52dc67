// ServiceLoop: one thread serving many TCP connections with WSAPoll over
// non-blocking sockets.
//
// A thread per connection was the alternative: simpler to read, but a relay
// to 200 readers would then cost 200 wake-ups per line, and under Wine every
// wake-up is a round trip through wineserver. Here each turn of the loop
// reads everything that has arrived, lets the handler answer into per-
// connection queues, and then sends each queue in one call, so the number of
// socket calls grows with the turns, not with the lines: the busier the
// room, the more lines go out per call.
//
// A slow reader cannot stall the others: its queue is bounded, and the
// connection is dropped when it would overflow.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "tools/common/Connection.h"
#include "tools/common/EventLog.h"

struct ServiceLimits {
    size_t maxConnections = 1000;
    size_t sendQueueBytes = 1u << 20;
    // The kernel's send buffer per connection, set rather than left to the
    // system's auto-tuning (several MiB on Linux), so that what a slow
    // reader can hold back is bounded by this and the queue together.
    int socketSendBuffer = 256 * 1024;
    // A connection is closed this long after it opened, whatever it is
    // doing, so that a peer that trickles bytes cannot hold it; 0: never.
    uint32_t lifetimeMs = 0;
};

class ServiceLoop final : public ConnectionLink {
public:
    ServiceLoop(EventLog& log, ServiceLimits limits);
    ~ServiceLoop();
    ServiceLoop(const ServiceLoop&) = delete;
    ServiceLoop& operator=(const ServiceLoop&) = delete;

    // Binds and listens on an IPv4 address; port 0 lets the system choose.
    bool Listen(const char* address, int port);
    int Port() const { return m_port; }
    // Serves `handler` until polling itself fails; `afterTurn` runs once per
    // turn, when the turn's work is done (the service flushes its log there).
    // The handler answers through this loop, which is its ConnectionLink.
    template <typename AfterTurn>
    void Run(ConnectionHandler& handler, AfterTurn afterTurn) {
        m_handler = &handler;
        while (Turn()) afterTurn();
        m_handler = nullptr;
    }

    bool Send(ConnectionId id, std::string_view bytes) override;
    void Close(ConnectionId id, CloseMode mode) override;

private:
    struct Connection;

    bool Turn();
    int PollTimeout() const;
    // When the connection is to be closed, whatever it is doing; 0: never.
    ULONGLONG Deadline(const Connection& connection) const;
    void AcceptAll();
    void Receive(Connection& connection);
    void Flush(Connection& connection);
    void ExpireOld();
    void RemoveEnded();
    void End(Connection& connection, const char* reason);

    ConnectionHandler* m_handler = nullptr;
    EventLog& m_log;
    ServiceLimits m_limits;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    ConnectionId m_nextId = 1;
    std::string m_receiveBuffer;
    std::unordered_map<ConnectionId, std::unique_ptr<Connection>> m_connections;
};
