// The chat room without sockets: logins, relayed lines, notices of joins and
// leaves, and the protocol violations that end a connection.
#include "tools/chatd/ChatRoom.h"

#include "RecordingLink.h"
#include "net/Protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Mode = ConnectionLink::CloseMode;

std::string ClientBytes(uint16_t type, std::string_view payload) {
    ClientFrame frame;
    EXPECT_TRUE(BuildClientFrame(type, payload.data(), static_cast<int32_t>(payload.size()), 42, frame));
    std::string bytes(reinterpret_cast<const char*>(frame.stampCheck), 6);
    bytes.append(reinterpret_cast<const char*>(frame.body), static_cast<size_t>(frame.bodySize));
    return bytes;
}

std::string LoginRecord(std::string_view id, std::string_view nickname) {
    const auto record = BuildLoginRecord(id, nickname);
    return std::string(reinterpret_cast<const char*>(record.data()), record.size());
}

// What a client would read from one server frame: "type:payload".
std::string Read(const std::string& frame) {
    EXPECT_GE(frame.size(), 4u);
    const auto length = size_t{ReadLittle16(frame.data())};
    EXPECT_EQ(length + 2, frame.size());
    const int type = ReadLittle16(frame.data() + 2);
    return std::to_string(type) + ":" + frame.substr(4);
}

std::vector<std::string> ReadAll(const std::vector<std::string>& frames) {
    std::vector<std::string> read;
    for (const auto& frame : frames) read.push_back(Read(frame));
    return read;
}

std::string Welcome() { return std::to_string(PKT_WELCOME) + ":"; }
std::string Notice(std::string_view text) { return std::to_string(PKT_NOTICE) + ":" + std::string(text); }
std::string Line(std::string_view record) { return std::to_string(PKT_CHAT_LINE) + ":" + std::string(record); }

class ChatRoomTest : public testing::Test {
protected:
    void Open(ConnectionId id) { room.OnOpened(id, "127.0.0.1:1"); }
    void Receive(ConnectionId id, std::string_view bytes) {
        room.OnReceived(id, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    void Join(ConnectionId id, std::string_view userId, std::string_view nickname) {
        Open(id);
        Receive(id, ClientBytes(PKT_LOGIN, LoginRecord(userId, nickname)));
    }
    void Say(ConnectionId id, std::string_view text) {
        Receive(id, ClientBytes(PKT_CHAT_SEND, std::string(text) + '\0'));
    }
    std::vector<std::string> HeardBy(ConnectionId id) const { return ReadAll(link.SentTo(id)); }

    // The violation must close the connection at once and send it nothing.
    void ExpectDropped(ConnectionId id) {
        ASSERT_EQ(link.closed.size(), 1u);
        EXPECT_EQ(link.closed[0].id, id);
        EXPECT_EQ(link.closed[0].mode, Mode::Now);
        EXPECT_TRUE(link.SentTo(id).empty());
    }

    RecordingLink link;
    RecordingLog log;
    ChatRoom room{link, log};
};

TEST_F(ChatRoomTest, LoginIsWelcomedAndThenAnnouncedToTheNewcomerToo) {
    Join(1, "alice", "앨리스");
    EXPECT_EQ(HeardBy(1), (std::vector<std::string>{Welcome(), Notice("앨리스님이 들어오셨습니다.")}));
    EXPECT_EQ(room.MemberCount(), 1u);
    EXPECT_TRUE(link.closed.empty());
}

TEST_F(ChatRoomTest, JoinIsAnnouncedToMembersButNotToConnectionsWithoutLogin) {
    Join(1, "alice", "Alice");
    Open(2);
    link.Clear();
    Join(3, "bob", "Bob");
    EXPECT_EQ(HeardBy(1), (std::vector<std::string>{Notice("Bob님이 들어오셨습니다.")}));
    EXPECT_TRUE(HeardBy(2).empty());
    EXPECT_EQ(HeardBy(3), (std::vector<std::string>{Welcome(), Notice("Bob님이 들어오셨습니다.")}));
}

TEST_F(ChatRoomTest, LineGoesToEveryMemberSenderIncludedAsIdNicknameText) {
    Join(1, "alice", "Alice");
    Join(2, "bob", "Bob");
    Open(3);
    link.Clear();
    Say(2, "<b>hi</b> there");
    const std::vector<std::string> expected{Line("bob\aBob\a<b>hi</b> there")};
    EXPECT_EQ(HeardBy(1), expected);
    EXPECT_EQ(HeardBy(2), expected);
    EXPECT_TRUE(HeardBy(3).empty());
}

TEST_F(ChatRoomTest, LinesArriveInTheOrderTheyWereSaid) {
    Join(1, "alice", "Alice");
    Join(2, "bob", "Bob");
    link.Clear();
    // Three lines in one piece from Bob, then one from Alice.
    Receive(2, ClientBytes(PKT_CHAT_SEND, std::string("one\0", 4)) +
                   ClientBytes(PKT_CHAT_SEND, std::string("two\0", 4)) +
                   ClientBytes(PKT_CHAT_SEND, std::string("three\0", 6)));
    Say(1, "four");
    EXPECT_EQ(HeardBy(1), (std::vector<std::string>{Line("bob\aBob\aone"), Line("bob\aBob\atwo"),
                                                    Line("bob\aBob\athree"), Line("alice\aAlice\afour")}));
    EXPECT_EQ(HeardBy(2), HeardBy(1));
}

TEST_F(ChatRoomTest, LineTextEndsAtTheFirstNulOrThePayloadsEnd) {
    Join(1, "alice", "Alice");
    link.Clear();
    Receive(1, ClientBytes(PKT_CHAT_SEND, std::string("kept\0lost", 9)));
    Receive(1, ClientBytes(PKT_CHAT_SEND, "no terminator"));
    EXPECT_EQ(HeardBy(1), (std::vector<std::string>{Line("alice\aAlice\akept"), Line("alice\aAlice\ano terminator")}));
}

TEST_F(ChatRoomTest, FullLoginSlotsAreReadWithoutTerminatorAndBelBecomesSpace) {
    // 16 bytes of id and 21 of nickname fill their slots with no NUL; a BEL
    // would shift the fields of every line that the member says.
    Join(1, "0123456789abcdef", "nick\aname-21-bytes-xx");
    link.Clear();
    Say(1, "x");
    EXPECT_EQ(HeardBy(1), (std::vector<std::string>{Line("0123456789abcdef\anick name-21-bytes-xx\ax")}));
}

TEST_F(ChatRoomTest, LeaveIsAnnouncedToTheRemainingMembersOnly) {
    Join(1, "alice", "Alice");
    Join(2, "bob", "Bob");
    Open(3);
    link.Clear();
    room.OnClosed(2);
    EXPECT_EQ(HeardBy(1), (std::vector<std::string>{Notice("Bob님이 나가셨습니다.")}));
    EXPECT_TRUE(HeardBy(2).empty());
    EXPECT_TRUE(HeardBy(3).empty());
    // A connection that never logged in leaves without a word.
    link.Clear();
    room.OnClosed(3);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_EQ(room.MemberCount(), 1u);
}

TEST_F(ChatRoomTest, LineBeforeLoginDropsTheConnection) {
    Open(1);
    Say(1, "hello");
    ExpectDropped(1);
}

TEST_F(ChatRoomTest, LoginOfTheWrongSizeDropsTheConnection) {
    for (size_t size : {size_t{0}, size_t{CHAT_LOGIN_SIZE - 1}, size_t{CHAT_LOGIN_SIZE + 1}}) {
        link.Clear();
        const ConnectionId id = 10 + size;
        Open(id);
        Receive(id, ClientBytes(PKT_LOGIN, std::string(size, 'a')));
        ExpectDropped(id);
        EXPECT_EQ(room.MemberCount(), 0u);
    }
}

TEST_F(ChatRoomTest, SecondLoginAndUnknownTypesDropTheConnection) {
    Join(1, "alice", "Alice");
    Join(2, "bob", "Bob");
    link.Clear();
    Receive(1, ClientBytes(PKT_LOGIN, LoginRecord("mallory", "Mallory")));
    ExpectDropped(1);
    link.Clear();
    Receive(2, ClientBytes(PKT_CHAT_LINE, "server-only type"));
    ExpectDropped(2);
}

TEST_F(ChatRoomTest, MalformedFrameDropsTheConnectionAfterThePacketsBeforeIt) {
    Join(1, "alice", "Alice");
    Join(2, "bob", "Bob");
    link.Clear();
    std::string bad = ClientBytes(PKT_CHAT_SEND, "never relayed");
    bad[1] ^= 0x40;
    Receive(2, ClientBytes(PKT_CHAT_SEND, std::string("last words\0", 11)) + bad);
    EXPECT_EQ(HeardBy(1), (std::vector<std::string>{Line("bob\aBob\alast words")}));
    ASSERT_EQ(link.closed.size(), 1u);
    EXPECT_EQ(link.closed[0].id, 2u);

    // Whatever the loop still hands over from it is ignored; its leave is
    // announced once the connection is gone.
    link.Clear();
    Say(2, "ignored");
    EXPECT_TRUE(link.sent.empty());
    room.OnClosed(2);
    EXPECT_EQ(HeardBy(1), (std::vector<std::string>{Notice("Bob님이 나가셨습니다.")}));
}

TEST_F(ChatRoomTest, DroppedMemberHearsNothingMore) {
    Join(1, "alice", "Alice");
    Join(2, "bob", "Bob");
    Receive(2, ClientBytes(PKT_LOGIN, LoginRecord("again", "Again")));
    link.Clear();
    Say(1, "still here");
    EXPECT_TRUE(HeardBy(2).empty());
    EXPECT_EQ(HeardBy(1).size(), 1u);
}

TEST_F(ChatRoomTest, LogsOneSafeLinePerEvent) {
    Join(1, "alice", "Alice");
    Say(1, "two\r\nlines\x1b[2J");
    Open(2);
    Say(2, "too early");
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0], "#1 login: id alice, nickname Alice");
    EXPECT_EQ(log.lines[1], "#1 line: Alice: two??lines?[2J");
    EXPECT_EQ(log.lines[2], "#2 dropped: chat line before the login");
}

}  // namespace
