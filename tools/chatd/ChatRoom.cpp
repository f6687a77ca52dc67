#include "tools/chatd/ChatRoom.h"

#include "net/Protocol.h"

#include <algorithm>

namespace {

// Text up to its first NUL, or all of it.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// A login slot's string. A BEL inside would shift the fields of every line
// its owner speaks, so it becomes a space.
std::string SlotText(std::string_view record, size_t offset, size_t size) {
    std::string text(UpToNul(record.substr(offset, size)));
    std::replace(text.begin(), text.end(), CHAT_FIELD_SEPARATOR, ' ');
    return text;
}

std::string_view AsText(const std::vector<uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

void ChatRoom::OnOpened(ConnectionId id, std::string_view) { m_seats.try_emplace(id); }

void ChatRoom::OnReceived(ConnectionId id, const uint8_t* data, size_t size) {
    const auto found = m_seats.find(id);
    if (found == m_seats.end() || found->second.dropped) return;
    Seat& seat = found->second;
    seat.reader.Append(data, size);
    ClientPacket packet;
    for (;;) {
        switch (seat.reader.Next(packet)) {
        case ClientFrameReader::Status::NeedMore: return;
        case ClientFrameReader::Status::Malformed: Drop(id, seat, Describe(seat.reader.WhyMalformed())); return;
        case ClientFrameReader::Status::Packet: {
            std::string why;
            if (!Handle(id, seat, packet, why)) {
                Drop(id, seat, why);
                return;
            }
            break;
        }
        }
    }
}

void ChatRoom::OnClosed(ConnectionId id) {
    const auto found = m_seats.find(id);
    if (found == m_seats.end()) return;
    const bool wasMember = found->second.member;
    const std::string nickname = std::move(found->second.nickname);
    m_seats.erase(found);
    if (!wasMember) return;
    Log(id, "left: " + Printable(nickname));
    Broadcast(PKT_NOTICE, nickname + "님이 나가셨습니다.");
}

size_t ChatRoom::MemberCount() const {
    return static_cast<size_t>(
        std::count_if(m_seats.begin(), m_seats.end(), [](const auto& entry) { return entry.second.member; }));
}

bool ChatRoom::Handle(ConnectionId id, Seat& seat, const ClientPacket& packet, std::string& why) {
    switch (packet.type) {
    case PKT_LOGIN: return Login(id, seat, packet.payload, why);
    case PKT_CHAT_SEND:
        if (!seat.member) {
            why = "chat line before the login";
            return false;
        }
        Relay(id, seat, packet.payload);
        return true;
    default: why = "unknown packet type " + std::to_string(packet.type); return false;
    }
}

bool ChatRoom::Login(ConnectionId id, Seat& seat, const std::string& record, std::string& why) {
    if (seat.member) {
        why = "second login";
        return false;
    }
    if (record.size() != CHAT_LOGIN_SIZE) {
        why = "login of " + std::to_string(record.size()) + " bytes";
        return false;
    }
    seat.userId = SlotText(record, 0, CHAT_USER_ID_SLOT);
    seat.nickname = SlotText(record, CHAT_USER_ID_SLOT, CHAT_NICKNAME_SLOT);
    seat.member = true;
    Log(id, "login: id " + Printable(seat.userId) + ", nickname " + Printable(seat.nickname));
    m_link.Send(id, AsText(BuildServerFrame(PKT_WELCOME, nullptr, 0)));
    Broadcast(PKT_NOTICE, seat.nickname + "님이 들어오셨습니다.");
    return true;
}

void ChatRoom::Relay(ConnectionId id, const Seat& seat, const std::string& payload) {
    const std::string_view text = UpToNul(payload);
    Log(id, "line: " + Printable(seat.nickname) + ": " + Printable(text));
    std::string record;
    record.reserve(seat.userId.size() + seat.nickname.size() + text.size() + 2);
    record.append(seat.userId).append(1, CHAT_FIELD_SEPARATOR);
    record.append(seat.nickname).append(1, CHAT_FIELD_SEPARATOR);
    record.append(text);
    Broadcast(PKT_CHAT_LINE, record);
}

void ChatRoom::Broadcast(uint16_t type, std::string_view payload) {
    const std::vector<uint8_t> frame = BuildServerFrame(type, payload.data(), payload.size());
    for (const auto& [id, seat] : m_seats) {
        if (seat.member && !seat.dropped) m_link.Send(id, AsText(frame));
    }
}

void ChatRoom::Drop(ConnectionId id, Seat& seat, std::string_view why) {
    seat.dropped = true;
    Log(id, "dropped: " + std::string(why));
    m_link.Close(id, ConnectionLink::CloseMode::Now);
}

void ChatRoom::Log(ConnectionId id, std::string_view event) {
    m_log.Write("#" + std::to_string(id) + " " + std::string(event));
}
