#include "net/Protocol.h"

#include <algorithm>
#include <cstring>

namespace {

// Copies `text` into a slot of `slotSize` bytes, cut to fit; the slot must
// be zero already.
void PutSlot(uint8_t* slot, size_t slotSize, std::string_view text) {
    const size_t count = std::min(text.size(), slotSize);
    if (count > 0) std::memcpy(slot, text.data(), count);
}

}  // namespace

void ScrambleBytes(const uint8_t* source, uint8_t* destination, int32_t length, uint32_t key) {
    if (length <= 0) return;
    uint8_t keyBytes[4];
    for (int k = 0; k < 4; ++k) keyBytes[k] = static_cast<uint8_t>(key >> (8 * k));
    // The key as the host reads those four bytes, so that whole words can be
    // XORed on any byte order; memcpy because the buffers need not be aligned.
    uint32_t keyWord;
    std::memcpy(&keyWord, keyBytes, 4);

    const int32_t words = length / 4;
    for (int32_t i = 0; i < words; ++i) {
        uint32_t word;
        std::memcpy(&word, source + 4 * i, 4);
        word ^= keyWord;
        std::memcpy(destination + 4 * i, &word, 4);
    }
    for (int32_t k = 0; k < length % 4; ++k) {
        destination[4 * words + k] = static_cast<uint8_t>(source[4 * words + k] ^ keyBytes[k]);
    }
}

void ScrambleBytes(uint8_t* buffer, int32_t length, uint32_t key) { ScrambleBytes(buffer, buffer, length, key); }

bool BuildClientFrame(uint16_t type, const void* payload, int32_t length, uint32_t tick, ClientFrame& frame) {
    if (length < 0 || length > CHAT_MAX_PAYLOAD || (length > 0 && !payload)) return false;
    const auto stamp = static_cast<uint16_t>(tick);
    WriteLittle16(frame.stampCheck, static_cast<uint16_t>(stamp ^ CHAT_STAMP_CHECK));
    WriteLittle16(frame.stamp, stamp);
    frame.bodySize = CHAT_TYPE_SIZE + length;
    WriteLittle16(frame.bodyLength, static_cast<uint16_t>(frame.bodySize));
    WriteLittle16(frame.body, type);
    if (length > 0) std::memcpy(frame.body + CHAT_TYPE_SIZE, payload, static_cast<size_t>(length));
    ScrambleBytes(frame.body, frame.bodySize, CHAT_SCRAMBLE_KEY);
    return true;
}

std::array<uint8_t, CHAT_LOGIN_SIZE> BuildLoginRecord(std::string_view userId, std::string_view nickname) {
    std::array<uint8_t, CHAT_LOGIN_SIZE> record{};
    PutSlot(record.data(), CHAT_USER_ID_SLOT, userId);
    PutSlot(record.data() + CHAT_USER_ID_SLOT, CHAT_NICKNAME_SLOT, nickname);
    record[CHAT_LOGIN_SIZE - 1] = 1;  // the profile lookup succeeded
    return record;
}

std::vector<uint8_t> BuildServerFrame(uint16_t type, const void* payload, size_t length) {
    std::vector<uint8_t> frame(CHAT_LENGTH_SIZE + CHAT_TYPE_SIZE + length);
    WriteLittle16(frame.data(), static_cast<uint16_t>(CHAT_TYPE_SIZE + length));
    WriteLittle16(frame.data() + CHAT_LENGTH_SIZE, type);
    if (length > 0) std::memcpy(frame.data() + CHAT_LENGTH_SIZE + CHAT_TYPE_SIZE, payload, length);
    return frame;
}

int MemoryByteSource::Receive(uint8_t* into, int wanted) {
    const size_t count = std::min(m_left, static_cast<size_t>(std::max(wanted, 0)));
    if (count == 0) return 0;
    std::memcpy(into, m_data, count);
    m_data += count;
    m_left -= count;
    return static_cast<int>(count);
}

bool ReadServerFrameLength(ByteSource& source, uint16_t& length) {
    uint8_t prefix[CHAT_LENGTH_SIZE];
    for (int have = 0; have < CHAT_LENGTH_SIZE;) {
        const int got = source.Receive(prefix + have, CHAT_LENGTH_SIZE - have);
        if (got <= 0) return false;
        have += got;
    }
    length = ReadLittle16(prefix);
    return true;
}

bool ReadServerFrameBody(ByteSource& source, uint8_t* body, int32_t length) {
    for (int32_t have = 0; have < length;) {
        const int got = source.Receive(body + have, std::min(length - have, CHAT_RECEIVE_CHUNK));
        if (got <= 0) return false;
        have += got;
    }
    return true;
}
