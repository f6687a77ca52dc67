// The seam between a service's protocol and its sockets.
//
// A protocol (the chat room, the profile service) is a ConnectionHandler: it
// hears of connections opening, bytes arriving and connections going away,
// and answers through a ConnectionLink. The socket loop implements the link;
// tests implement it with a recorder, so the protocols run without a socket
// or a window. Everything here runs on the one thread of the service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

using ConnectionId = uint64_t;

class ConnectionLink {
public:
    enum class CloseMode {
        Now,           // drop the connection; unsent bytes are lost
        AfterSending,  // send what is queued, then close
    };

    // Queues bytes for the connection. False when the connection is closing
    // or gone, or when its queue would overflow, in which case the link drops
    // it: a reader that falls that far behind must not hold the others back.
    virtual bool Send(ConnectionId id, std::string_view bytes) = 0;
    // Bytes received after this call are not delivered.
    virtual void Close(ConnectionId id, CloseMode mode) = 0;

protected:
    ~ConnectionLink() = default;
};

class ConnectionHandler {
public:
    virtual void OnOpened(ConnectionId id, std::string_view peer) = 0;
    virtual void OnReceived(ConnectionId id, const uint8_t* data, size_t size) = 0;
    // The connection is gone, whoever ended it; the id is not used again.
    virtual void OnClosed(ConnectionId id) = 0;

protected:
    ~ConnectionHandler() = default;
};
