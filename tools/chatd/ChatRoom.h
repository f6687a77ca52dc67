// ChatRoom: the reference chat server's one room.
//
// Every open connection has a seat; a seat becomes a member with its login.
// Members hear each other's lines, their own included, and the room's notices
// of who came and went. A connection that breaks the protocol is dropped at
// once: a frame the reader rejects, a line before the login, a login of the
// wrong size or a second one, a packet type a client never sends.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "tools/chatd/ClientFrameReader.h"
#include "tools/common/Connection.h"
#include "tools/common/EventLog.h"

class ChatRoom final : public ConnectionHandler {
public:
    ChatRoom(ConnectionLink& link, EventLog& log) : m_link(link), m_log(log) {}

    void OnOpened(ConnectionId id, std::string_view peer) override;
    void OnReceived(ConnectionId id, const uint8_t* data, size_t size) override;
    void OnClosed(ConnectionId id) override;

    size_t MemberCount() const;

private:
    struct Seat {
        ClientFrameReader reader;
        bool member = false;
        bool dropped = false;
        std::string userId;
        std::string nickname;
    };

    // False when the packet breaks the protocol; `why` then says how.
    bool Handle(ConnectionId id, Seat& seat, const ClientPacket& packet, std::string& why);
    bool Login(ConnectionId id, Seat& seat, const std::string& record, std::string& why);
    void Relay(ConnectionId id, const Seat& seat, const std::string& payload);
    void Broadcast(uint16_t type, std::string_view payload);
    void Drop(ConnectionId id, Seat& seat, std::string_view why);
    void Log(ConnectionId id, std::string_view event);

    ConnectionLink& m_link;
    EventLog& m_log;
    std::map<ConnectionId, Seat> m_seats;
};
