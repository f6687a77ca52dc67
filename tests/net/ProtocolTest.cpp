// Framing and scrambling, without a socket.
#include "net/Protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Byte j XOR key byte (j mod 4): the definition, independent of word order.
std::vector<uint8_t> ScrambledByDefinition(std::vector<uint8_t> bytes) {
    for (size_t j = 0; j < bytes.size(); ++j) bytes[j] ^= static_cast<uint8_t>(CHAT_SCRAMBLE_KEY >> (8 * (j % 4)));
    return bytes;
}

// Hands out at most `step` bytes per receive and remembers the largest ask.
class TricklingSource final : public ByteSource {
public:
    TricklingSource(const std::vector<uint8_t>& bytes, int step) : m_memory(bytes.data(), bytes.size()), m_step(step) {}
    int Receive(uint8_t* into, int wanted) override {
        m_largestAsk = std::max(m_largestAsk, wanted);
        return m_memory.Receive(into, std::min(wanted, m_step));
    }
    int LargestAsk() const { return m_largestAsk; }

private:
    MemoryByteSource m_memory;
    int m_step;
    int m_largestAsk = 0;
};

}  // namespace

// The wire's values written out, since the tests' servers share the
// constants' header: a changed constant would pass every other test.
TEST(WireConstants, TypeCodes) {
    EXPECT_EQ(PKT_LOGIN, 32);
    EXPECT_EQ(PKT_CHAT_SEND, 33);
    EXPECT_EQ(PKT_WELCOME, 51);
    EXPECT_EQ(PKT_CHAT_LINE, 52);
    EXPECT_EQ(PKT_NOTICE, 55);
    EXPECT_EQ(PKT_NOTICE_2, 57);
}

TEST(WireConstants, PortAndPayloadLimit) {
    EXPECT_EQ(CHAT_SERVER_PORT, 9812);
    EXPECT_EQ(CHAT_MAX_PAYLOAD, 4000);
}

// "hi" and its NUL at tick 0x1234: the stamp's check, then a body of five
// bytes that runs through the key's four bytes in wire order and wraps.
TEST(WireConstants, ChatLineFrameByteForByte) {
    ClientFrame frame;
    ASSERT_TRUE(BuildClientFrame(PKT_CHAT_SEND, "hi", 3, 0x1234, frame));
    std::vector<uint8_t> wire;
    for (const uint8_t* field : {frame.stampCheck, frame.stamp, frame.bodyLength}) {
        wire.insert(wire.end(), field, field + 2);
    }
    wire.insert(wire.end(), frame.body, frame.body + frame.bodySize);
    EXPECT_EQ(wire, (std::vector<uint8_t>{0x7E, 0x3D, 0x34, 0x12, 0x05, 0x00, 0x60, 0x9D, 0x46, 0x02, 0x41}));
}

TEST(ScrambleBytes, TwoByteBodyIsATailXoredWithKeyBytesZeroAndOne) {
    uint8_t body[2] = {PKT_LOGIN, 0};
    ScrambleBytes(body, 2, CHAT_SCRAMBLE_KEY);
    EXPECT_EQ(body[0], PKT_LOGIN ^ 0x41);
    EXPECT_EQ(body[1], 0x9D);
}

TEST(ScrambleBytes, SevenBytesAreOneWordAndATailOfThreeAndScrambleBack) {
    const std::vector<uint8_t> original = {1, 2, 3, 4, 5, 6, 7};
    std::vector<uint8_t> bytes = original;
    ScrambleBytes(bytes.data(), 7, CHAT_SCRAMBLE_KEY);
    EXPECT_EQ(bytes, ScrambledByDefinition(original));
    ScrambleBytes(bytes.data(), 7, CHAT_SCRAMBLE_KEY);
    EXPECT_EQ(bytes, original);
}

TEST(ScrambleBytes, UnalignedBuffersAndSeparateDestinationGiveTheSameBytes) {
    std::vector<uint8_t> original(23);
    for (size_t i = 0; i < original.size(); ++i) original[i] = static_cast<uint8_t>(i * 37);
    uint8_t source[24], destination[25];
    std::memcpy(source + 1, original.data(), 23);
    ScrambleBytes(source + 1, destination + 2, 23, CHAT_SCRAMBLE_KEY);
    EXPECT_EQ(std::vector<uint8_t>(destination + 2, destination + 25), ScrambledByDefinition(original));
    EXPECT_EQ(std::vector<uint8_t>(source + 1, source + 24), original) << "the source stays as it was";
}

TEST(ScrambleBytes, LengthOfZeroOrLessChangesNothing) {
    uint8_t bytes[4] = {9, 9, 9, 9};
    ScrambleBytes(bytes, 0, CHAT_SCRAMBLE_KEY);
    ScrambleBytes(bytes, -3, CHAT_SCRAMBLE_KEY);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), std::vector<uint8_t>(4, 9));
}

TEST(ClientFrame, StampIsLowSixteenBitsOfTheTickWithItsCheck) {
    ClientFrame frame;
    ASSERT_TRUE(BuildClientFrame(PKT_CHAT_SEND, nullptr, 0, 0x0001ABCD, frame));
    EXPECT_EQ(ReadLittle16(frame.stamp), 0xABCD);
    EXPECT_EQ(ReadLittle16(frame.stampCheck), 0xABCD ^ 0x2F4A);
    ASSERT_TRUE(BuildClientFrame(PKT_CHAT_SEND, nullptr, 0, 65536, frame));
    EXPECT_EQ(ReadLittle16(frame.stamp), 0) << "the stamp wraps every 65536 ms";
}

TEST(ClientFrame, BodyIsScrambledCopyOfTypeAndPayload) {
    const std::string payload = "abc";
    const std::string kept = payload;
    ClientFrame frame;
    ASSERT_TRUE(BuildClientFrame(PKT_CHAT_SEND, payload.c_str(), 4, 7, frame));
    EXPECT_EQ(ReadLittle16(frame.bodyLength), 6);
    EXPECT_EQ(frame.bodySize, 6);
    ScrambleBytes(frame.body, frame.bodySize, CHAT_SCRAMBLE_KEY);
    EXPECT_EQ(std::vector<uint8_t>(frame.body, frame.body + 6), (std::vector<uint8_t>{33, 0, 'a', 'b', 'c', 0}));
    EXPECT_EQ(payload, kept);
}

TEST(LoginRecord, ShortTextsAreZeroFilledAndFlagIsOne) {
    const auto record = BuildLoginRecord("kim", "\xB1\xE8");  // 김
    std::array<uint8_t, 38> expected{};
    std::memcpy(expected.data(), "kim", 3);
    std::memcpy(expected.data() + 16, "\xB1\xE8", 2);
    expected[37] = 1;
    EXPECT_EQ(record, expected);
}

TEST(LoginRecord, TextsFillTheirSlotsWithoutNulAndLongerOnesAreCut) {
    for (const size_t extra : {0, 5}) {
        const std::string id(16 + extra, 'i'), nickname(21 + extra, 'n');
        const auto record = BuildLoginRecord(id, nickname);
        EXPECT_EQ(std::string(record.begin(), record.begin() + 16), std::string(16, 'i'));
        EXPECT_EQ(std::string(record.begin() + 16, record.begin() + 37), std::string(21, 'n'));
        EXPECT_EQ(record[37], 1);
    }
}

TEST(ServerFrame, BackToBackFramesReadFromMemory) {
    std::vector<uint8_t> stream = BuildServerFrame(PKT_NOTICE, "hi", 2);
    const std::vector<uint8_t> second = BuildServerFrame(PKT_WELCOME, nullptr, 0);
    stream.insert(stream.end(), second.begin(), second.end());
    EXPECT_EQ(ReadLittle16(stream.data()), 4);

    MemoryByteSource source(stream.data(), stream.size());
    uint16_t length = 0;
    uint8_t body[4];
    ASSERT_TRUE(ReadServerFrameLength(source, length));
    ASSERT_EQ(length, 4);
    ASSERT_TRUE(ReadServerFrameBody(source, body, length));
    EXPECT_EQ(std::vector<uint8_t>(body, body + 4), (std::vector<uint8_t>{PKT_NOTICE, 0, 'h', 'i'}));
    ASSERT_TRUE(ReadServerFrameLength(source, length));
    ASSERT_TRUE(ReadServerFrameBody(source, body, length));
    EXPECT_EQ(ReadLittle16(body), PKT_WELCOME);
    EXPECT_FALSE(ReadServerFrameLength(source, length)) << "the stream has ended";
}

TEST(ServerFrame, ShortReadsAreContinuedAndBodyAsksAtMostOneChunk) {
    const std::vector<uint8_t> payload(CHAT_MAX_SERVER_BODY - 2, 0x5A);
    const std::vector<uint8_t> stream = BuildServerFrame(PKT_CHAT_LINE, payload.data(), payload.size());
    for (const int step : {1, 700, 65536}) {
        TricklingSource source(stream, step);
        uint16_t length = 0;
        std::vector<uint8_t> body(CHAT_MAX_SERVER_BODY);
        ASSERT_TRUE(ReadServerFrameLength(source, length));
        ASSERT_EQ(length, CHAT_MAX_SERVER_BODY);
        ASSERT_TRUE(ReadServerFrameBody(source, body.data(), length));
        EXPECT_EQ(std::vector<uint8_t>(body.begin() + 2, body.end()), payload) << "step " << step;
        EXPECT_EQ(source.LargestAsk(), CHAT_RECEIVE_CHUNK);
    }
}

TEST(ServerFrame, StreamEndingInsideAFrameFails) {
    const std::vector<uint8_t> stream = BuildServerFrame(PKT_NOTICE, "hello", 5);
    uint16_t length = 0;
    uint8_t body[7];
    MemoryByteSource halfPrefix(stream.data(), 1);
    EXPECT_FALSE(ReadServerFrameLength(halfPrefix, length));
    MemoryByteSource shortBody(stream.data(), stream.size() - 1);
    ASSERT_TRUE(ReadServerFrameLength(shortBody, length));
    EXPECT_FALSE(ReadServerFrameBody(shortBody, body, length));
}
