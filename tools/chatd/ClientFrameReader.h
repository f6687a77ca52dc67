// ClientFrameReader: cuts the byte stream from one chat client into packets.
//
// A client frame is a 6-byte header (stamp check, stamp, body length, each
// 16-bit little-endian) and a scrambled body of type code and payload. The
// reader accepts bytes in whatever pieces the socket delivers and hands out
// whole packets, unscrambled. It keeps at most one partial frame between
// calls, so memory stays bounded whatever a peer sends, and it stops for good
// at the first frame that breaks the format: after that nothing it could
// read would be trustworthy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int CHAT_CLIENT_HEADER_SIZE = 6;

struct ClientPacket {
    uint16_t type = 0;
    std::string payload;
};

class ClientFrameReader {
public:
    enum class Status { Packet, NeedMore, Malformed };
    enum class Fault { None, BadCheckValue, BadBodyLength };

    void Append(const uint8_t* data, size_t size);
    // The next whole packet, if the bytes so far hold one.
    Status Next(ClientPacket& packet);
    Fault WhyMalformed() const { return m_fault; }

private:
    std::string m_pending;
    size_t m_consumed = 0;  // bytes at the front of m_pending already read
    Fault m_fault = Fault::None;
};

std::string_view Describe(ClientFrameReader::Fault fault);
