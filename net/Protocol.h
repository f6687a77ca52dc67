// The bytes on the chat connection: constants, scrambling, client frames,
// the login record and the reading of server frames.
//
// Window-free on purpose: no <windows.h>, so the framing builds natively for
// fuzzing. Frame reading is written against a small ByteSource instead of a
// socket, so the same code assembles frames from a socket in the client and
// from a memory buffer in a fuzzer or a test; a template over the source was
// the alternative, rejected because one virtual call per receive costs
// nothing next to the receive itself.
//
// The two directions are framed differently. Client to server: stamp check,
// stamp, body length (2 bytes each, little-endian), then the body scrambled.
// Server to client: body length (2 bytes, little-endian), then the plain body.
// A body is always a 16-bit type code followed by the payload.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr int CHAT_SERVER_PORT = 9812;
inline constexpr int CHAT_MAX_PAYLOAD = 4000;
inline constexpr uint32_t CHAT_CONNECT_TIMEOUT_MS = 5000;

// Packet type codes; the first two go to the server, the rest come from it.
inline constexpr uint16_t PKT_LOGIN = 32;
inline constexpr uint16_t PKT_CHAT_SEND = 33;
inline constexpr uint16_t PKT_WELCOME = 51;
inline constexpr uint16_t PKT_CHAT_LINE = 52;
inline constexpr uint16_t PKT_NOTICE = 55;
inline constexpr uint16_t PKT_NOTICE_2 = 57;

inline constexpr uint32_t CHAT_SCRAMBLE_KEY = 0x6B2E9D41;
inline constexpr uint16_t CHAT_STAMP_CHECK = 0x2F4A;
inline constexpr char CHAT_FIELD_SEPARATOR = 0x07;

inline constexpr int CHAT_TYPE_SIZE = 2;
inline constexpr int CHAT_LENGTH_SIZE = 2;
inline constexpr int CHAT_MAX_SERVER_BODY = 0xFFFF;
// A received body's buffer has this many spare bytes behind it, so that a
// text payload can be terminated in place at the body's end.
inline constexpr int CHAT_BODY_SPARE = 4;
// The most a single receive of body bytes asks for.
inline constexpr int CHAT_RECEIVE_CHUNK = 1024;

inline constexpr int CHAT_USER_ID_SLOT = 16;
inline constexpr int CHAT_NICKNAME_SLOT = 21;
inline constexpr int CHAT_LOGIN_SIZE = CHAT_USER_ID_SLOT + CHAT_NICKNAME_SLOT + 1;

// The 16-bit little-endian value whose low byte is at `at`. Takes char as
// well as unsigned char bytes: a string's char may be signed.
template <typename Byte>
constexpr uint16_t ReadLittle16(const Byte* at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(at[0]) | (static_cast<uint8_t>(at[1]) << 8));
}

// Stores `value` at `at`, low byte first.
constexpr void WriteLittle16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

// XORs byte j with byte (j mod 4) of `key`, least significant first. Applying
// it twice restores the data. A length of 0 or less changes nothing.
void ScrambleBytes(uint8_t* buffer, int32_t length, uint32_t key);
void ScrambleBytes(const uint8_t* source, uint8_t* destination, int32_t length, uint32_t key);

// One client frame, laid out in the pieces that one gather send hands to the
// socket, in wire order.
struct ClientFrame {
    uint8_t stampCheck[2];
    uint8_t stamp[2];
    uint8_t bodyLength[2];
    uint8_t body[CHAT_TYPE_SIZE + CHAT_MAX_PAYLOAD];  // scrambled
    int32_t bodySize;                                 // bytes of `body` in use
};

// Fills `frame` for a payload of `length` bytes; the stamp is the low 16 bits
// of `tick`. The payload is scrambled in the frame's own copy and stays
// untouched. False, with nothing built, for a length below 0 or above
// CHAT_MAX_PAYLOAD, or a missing payload of non-zero length.
bool BuildClientFrame(uint16_t type, const void* payload, int32_t length, uint32_t tick, ClientFrame& frame);

// The 38-byte login payload: user id and nickname each cut to its slot, the
// rest of a slot zero, then the profile flag 1.
std::array<uint8_t, CHAT_LOGIN_SIZE> BuildLoginRecord(std::string_view userId, std::string_view nickname);

// A server frame: 2-byte length L = length + 2, type, payload. The caller
// keeps L within 65535.
std::vector<uint8_t> BuildServerFrame(uint16_t type, const void* payload, size_t length);

// Where frame bytes come from. Receive stores at most `wanted` bytes and
// returns how many came; 0 means the stream has ended, below 0 a failure.
class ByteSource {
public:
    virtual int Receive(uint8_t* into, int wanted) = 0;

protected:
    ~ByteSource() = default;
};

// Bytes from memory, handed out as asked until none are left; then the
// stream has ended.
class MemoryByteSource final : public ByteSource {
public:
    MemoryByteSource(const uint8_t* data, size_t size) : m_data(data), m_left(size) {}
    int Receive(uint8_t* into, int wanted) override;

private:
    const uint8_t* m_data;
    size_t m_left;
};

// Reads a server frame's 2-byte length, continuing short reads. False when
// the stream ends or fails before both bytes are in.
bool ReadServerFrameLength(ByteSource& source, uint16_t& length);

// Reads exactly `length` body bytes into `body`, asking for at most
// CHAT_RECEIVE_CHUNK bytes at a time. False when the stream ends or fails
// first.
bool ReadServerFrameBody(ByteSource& source, uint8_t* body, int32_t length);
