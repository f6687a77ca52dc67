// The reference chat server's room, fed by several clients at once: frames
// built the way the client builds them (logins, chat lines, other types),
// raw bytes, and connections closing and new ones opening, each send cut in
// two where the input says.
//
// Properties: everything the room sends is one well-formed server frame of a
// type the server sends; nothing goes to a connection that is closed or that
// the room has dropped, and a connection is dropped at most once; no log line
// holds a control byte, so a peer cannot forge log lines.
#include "tests/fuzz/FuzzInput.h"
#include "tests/tools/RecordingLink.h"
#include "tools/chatd/ChatRoom.h"

#include "net/Protocol.h"

#include <algorithm>
#include <set>

namespace {

constexpr int kSeats = 3;

// The input read front to back; past its end every read gives zero bytes.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : m_data(data), m_left(size) {}
    bool AtEnd() const { return m_left == 0; }
    uint8_t Byte() {
        if (m_left == 0) return 0;
        --m_left;
        return *m_data++;
    }
    std::string Bytes(size_t count) {
        count = std::min(count, m_left);
        std::string bytes(reinterpret_cast<const char*>(m_data), count);
        m_data += count;
        m_left -= count;
        return bytes;
    }

private:
    const uint8_t* m_data;
    size_t m_left;
};

std::string ClientFrameBytes(uint16_t type, const std::string& payload, uint32_t tick) {
    ClientFrame frame;
    const auto length = static_cast<int32_t>(std::min<size_t>(payload.size(), CHAT_MAX_PAYLOAD));
    FUZZ_CHECK(BuildClientFrame(type, payload.data(), length, tick, frame));
    std::string bytes(reinterpret_cast<const char*>(frame.stampCheck), 6);
    bytes.append(reinterpret_cast<const char*>(frame.body), static_cast<size_t>(frame.bodySize));
    return bytes;
}

// A link that checks every call as it is made, in order: a send must go to
// an open connection the room has not closed, and be one server frame.
class CheckingLink final : public ConnectionLink {
public:
    void Opened(ConnectionId id) { m_open.insert(id); }
    void Gone(ConnectionId id) { m_open.erase(id); }

    bool Send(ConnectionId id, std::string_view bytes) override {
        FUZZ_CHECK(m_open.contains(id) && !m_closed.contains(id));
        CheckServerFrame(bytes);
        return true;
    }

    void Close(ConnectionId id, CloseMode) override {
        FUZZ_CHECK(m_open.contains(id));
        FUZZ_CHECK(m_closed.insert(id).second);
    }

private:
    static void CheckServerFrame(std::string_view bytes) {
        FUZZ_CHECK(bytes.size() >= CHAT_LENGTH_SIZE + CHAT_TYPE_SIZE);
        const auto* at = reinterpret_cast<const uint8_t*>(bytes.data());
        FUZZ_CHECK(size_t{ReadLittle16(at)} + CHAT_LENGTH_SIZE == bytes.size());
        const auto type = ReadLittle16(at + 2);
        FUZZ_CHECK(type == PKT_WELCOME || type == PKT_CHAT_LINE || type == PKT_NOTICE);
    }

    std::set<ConnectionId> m_open;
    std::set<ConnectionId> m_closed;
};

class RoomDriver {
public:
    RoomDriver() : m_room(m_link, m_log) {
        for (ConnectionId& id : m_seatIds) Open(id);
    }

    void Run(InputReader& input) {
        while (!input.AtEnd()) Step(input);
        for (const ConnectionId id : m_seatIds) Close(id);
        CheckLog();
    }

private:
    void Step(InputReader& input) {
        const uint8_t op = input.Byte();
        ConnectionId& id = m_seatIds[op % kSeats];
        switch (op / kSeats % 5) {
        case 0: Deliver(id, input.Bytes(input.Byte()), input.Byte()); break;
        case 1: Deliver(id, ClientFrameBytes(PKT_LOGIN, input.Bytes(CHAT_LOGIN_SIZE), op), input.Byte()); break;
        case 2: Deliver(id, ClientFrameBytes(PKT_CHAT_SEND, input.Bytes(input.Byte()), op), input.Byte()); break;
        case 3: {
            const auto type = static_cast<uint16_t>(input.Byte() | input.Byte() << 8);
            Deliver(id, ClientFrameBytes(type, input.Bytes(input.Byte()), op), input.Byte());
            break;
        }
        default:
            Close(id);
            Open(id);
            break;
        }
        CheckLog();
    }

    void Open(ConnectionId& id) {
        id = ++m_lastId;
        m_link.Opened(id);
        m_room.OnOpened(id, "127.0.0.1:50000");
    }

    void Close(ConnectionId id) {
        m_link.Gone(id);
        m_room.OnClosed(id);
    }

    // As two receives, cut at `cut` (modulo the length).
    void Deliver(ConnectionId id, const std::string& bytes, uint8_t cut) {
        const size_t first = bytes.empty() ? 0 : cut % (bytes.size() + 1);
        const auto* at = reinterpret_cast<const uint8_t*>(bytes.data());
        m_room.OnReceived(id, at, first);
        m_room.OnReceived(id, at + first, bytes.size() - first);
    }

    void CheckLog() {
        for (const std::string& line : m_log.lines) {
            FUZZ_CHECK(
                std::none_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }));
        }
        m_log.lines.clear();
    }

    CheckingLink m_link;
    RecordingLog m_log;
    ChatRoom m_room;
    ConnectionId m_seatIds[kSeats] = {};
    ConnectionId m_lastId = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input(data, size);
    RoomDriver().Run(input);
    return 0;
}
