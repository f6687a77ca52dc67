#include "tools/chatd/ClientFrameReader.h"

#include "net/Protocol.h"

namespace {

constexpr int kMinBody = CHAT_TYPE_SIZE;
constexpr int kMaxBody = CHAT_TYPE_SIZE + CHAT_MAX_PAYLOAD;

}  // namespace

void ClientFrameReader::Append(const uint8_t* data, size_t size) {
    if (m_fault != Fault::None) return;
    // Everything read so far goes first; what is left is at most one partial
    // frame when the caller drains with Next between appends.
    m_pending.erase(0, m_consumed);
    m_consumed = 0;
    m_pending.append(reinterpret_cast<const char*>(data), size);
}

ClientFrameReader::Status ClientFrameReader::Next(ClientPacket& packet) {
    if (m_fault != Fault::None) return Status::Malformed;
    const size_t available = m_pending.size() - m_consumed;
    if (available < CHAT_CLIENT_HEADER_SIZE) return Status::NeedMore;
    const char* header = m_pending.data() + m_consumed;
    const uint16_t stampCheck = ReadLittle16(header);
    const uint16_t stamp = ReadLittle16(header + 2);
    const uint16_t bodyLength = ReadLittle16(header + 4);
    if (stampCheck != (stamp ^ CHAT_STAMP_CHECK)) {
        m_fault = Fault::BadCheckValue;
        return Status::Malformed;
    }
    if (bodyLength < kMinBody || bodyLength > kMaxBody) {
        m_fault = Fault::BadBodyLength;
        return Status::Malformed;
    }
    if (available < CHAT_CLIENT_HEADER_SIZE + size_t{bodyLength}) return Status::NeedMore;

    std::string body(header + CHAT_CLIENT_HEADER_SIZE, bodyLength);
    ScrambleBytes(reinterpret_cast<uint8_t*>(body.data()), bodyLength, CHAT_SCRAMBLE_KEY);
    packet.type = ReadLittle16(body.data());
    packet.payload = body.substr(CHAT_TYPE_SIZE);
    m_consumed += CHAT_CLIENT_HEADER_SIZE + size_t{bodyLength};
    return Status::Packet;
}

std::string_view Describe(ClientFrameReader::Fault fault) {
    switch (fault) {
    case ClientFrameReader::Fault::None: return "no fault";
    case ClientFrameReader::Fault::BadCheckValue: return "bad stamp check value";
    case ClientFrameReader::Fault::BadBodyLength: return "bad body length";
    }
    return "unknown fault";
}
