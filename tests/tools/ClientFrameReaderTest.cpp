// Cutting a client's byte stream into packets: pieces of any size, frames
// merged or split, and the formats that end the stream.
#include "tools/chatd/ClientFrameReader.h"

#include "net/Protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Frame(uint16_t type, std::string_view payload, uint32_t tick = 0x1234) {
    ClientFrame frame;
    EXPECT_TRUE(BuildClientFrame(type, payload.data(), static_cast<int32_t>(payload.size()), tick, frame));
    std::string bytes;
    bytes.append(reinterpret_cast<const char*>(frame.stampCheck), 2);
    bytes.append(reinterpret_cast<const char*>(frame.stamp), 2);
    bytes.append(reinterpret_cast<const char*>(frame.bodyLength), 2);
    bytes.append(reinterpret_cast<const char*>(frame.body), static_cast<size_t>(frame.bodySize));
    return bytes;
}

// A header with a good check value and the given body length, no body.
std::string Header(uint16_t bodyLength) {
    const uint16_t stamp = 0x0102;
    const uint16_t check = stamp ^ CHAT_STAMP_CHECK;
    return {static_cast<char>(check),      static_cast<char>(check >> 8), static_cast<char>(stamp),
            static_cast<char>(stamp >> 8), static_cast<char>(bodyLength), static_cast<char>(bodyLength >> 8)};
}

void Feed(ClientFrameReader& reader, std::string_view bytes) {
    reader.Append(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Every packet the reader has whole, and the status that ended the run.
std::vector<ClientPacket> Drain(ClientFrameReader& reader, ClientFrameReader::Status& last) {
    std::vector<ClientPacket> packets;
    ClientPacket packet;
    while ((last = reader.Next(packet)) == ClientFrameReader::Status::Packet) packets.push_back(packet);
    return packets;
}

std::vector<ClientPacket> Drain(ClientFrameReader& reader) {
    ClientFrameReader::Status last;
    auto packets = Drain(reader, last);
    EXPECT_EQ(last, ClientFrameReader::Status::NeedMore);
    return packets;
}

TEST(ClientFrameReader, UnscramblesTypeAndPayloadOfAWholeFrame) {
    ClientFrameReader reader;
    Feed(reader, Frame(PKT_CHAT_SEND, std::string("abc\0", 4)));
    const auto packets = Drain(reader);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].type, PKT_CHAT_SEND);
    EXPECT_EQ(packets[0].payload, std::string("abc\0", 4));
}

TEST(ClientFrameReader, TakesTheSmallestAndLargestBodies) {
    ClientFrameReader reader;
    const std::string longest(CHAT_MAX_PAYLOAD, 'x');
    Feed(reader, Frame(PKT_LOGIN, "") + Frame(PKT_CHAT_SEND, longest));
    const auto packets = Drain(reader);
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].type, PKT_LOGIN);
    EXPECT_EQ(packets[0].payload, "");
    EXPECT_EQ(packets[1].payload, longest);
}

TEST(ClientFrameReader, AssemblesAFrameDeliveredByteByByte) {
    ClientFrameReader reader;
    const std::string bytes = Frame(PKT_CHAT_SEND, "hello, world");
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        Feed(reader, bytes.substr(i, 1));
        EXPECT_TRUE(Drain(reader).empty()) << "after byte " << i;
    }
    Feed(reader, bytes.substr(bytes.size() - 1));
    const auto packets = Drain(reader);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].payload, "hello, world");
}

TEST(ClientFrameReader, SplitsMergedFramesAcrossUnevenPieces) {
    std::string stream;
    for (int i = 0; i < 50; ++i) stream += Frame(PKT_CHAT_SEND, "line " + std::to_string(i), i * 7919);
    for (size_t piece : {1u, 5u, 7u, 13u, 64u, 1000u}) {
        ClientFrameReader reader;
        std::vector<ClientPacket> packets;
        for (size_t at = 0; at < stream.size(); at += piece) {
            Feed(reader, stream.substr(at, piece));
            for (auto& packet : Drain(reader)) packets.push_back(packet);
        }
        ASSERT_EQ(packets.size(), 50u) << "pieces of " << piece;
        for (int i = 0; i < 50; ++i) EXPECT_EQ(packets[i].payload, "line " + std::to_string(i));
    }
}

TEST(ClientFrameReader, RejectsAWrongCheckValueForGood) {
    ClientFrameReader reader;
    std::string bad = Frame(PKT_CHAT_SEND, "x");
    bad[0] ^= 1;
    Feed(reader, Frame(PKT_CHAT_SEND, "before") + bad);
    ClientFrameReader::Status last;
    const auto packets = Drain(reader, last);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].payload, "before");
    EXPECT_EQ(last, ClientFrameReader::Status::Malformed);
    EXPECT_EQ(reader.WhyMalformed(), ClientFrameReader::Fault::BadCheckValue);

    // Nothing after a broken frame can be trusted, good frames included.
    Feed(reader, Frame(PKT_CHAT_SEND, "after"));
    ClientPacket packet;
    EXPECT_EQ(reader.Next(packet), ClientFrameReader::Status::Malformed);
}

TEST(ClientFrameReader, RejectsBodyLengthsOutsideTheFormatFromTheHeaderAlone) {
    // The header is enough: the reader must not wait for 65535 bytes of a
    // body it would refuse anyway.
    for (uint16_t length : {0, 1, CHAT_MAX_PAYLOAD + 3, 0xFFFF}) {
        ClientFrameReader reader;
        Feed(reader, Header(length));
        ClientPacket packet;
        EXPECT_EQ(reader.Next(packet), ClientFrameReader::Status::Malformed) << length;
        EXPECT_EQ(reader.WhyMalformed(), ClientFrameReader::Fault::BadBodyLength) << length;
    }
    ClientFrameReader reader;
    Feed(reader, Header(CHAT_MAX_PAYLOAD + 2));
    ClientPacket packet;
    EXPECT_EQ(reader.Next(packet), ClientFrameReader::Status::NeedMore);
}

TEST(ClientFrameReader, KeepsUpWithALongStreamInLargePieces) {
    // Ten thousand frames in 64 KiB pieces: each piece costs time in
    // proportion to its size, not to what came before.
    const std::string one = Frame(PKT_CHAT_SEND, std::string(100, 'z'));
    std::string stream;
    for (int i = 0; i < 10000; ++i) stream += one;
    ClientFrameReader reader;
    size_t count = 0;
    for (size_t at = 0; at < stream.size(); at += 65536) {
        Feed(reader, std::string_view(stream).substr(at, 65536));
        count += Drain(reader).size();
    }
    EXPECT_EQ(count, 10000u);
}

}  // namespace
