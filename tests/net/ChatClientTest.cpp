// The connection client against a loopback server: frames on the wire, the
// reader thread, the pool's limit, notifications and teardown.
#include "net/ChatClient.h"

#include "tests/support/LoopbackServer.h"
#include "tests/support/NotifyWindow.h"
#include "tests/support/WinsockEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

// Windows Sockets for the whole program.
testing::Environment* const winsock = testing::AddGlobalTestEnvironment(new WinsockEnvironment);

constexpr size_t kNodes = PacketNodePool::NODE_COUNT;

// Counts the ends of its connection in a counter that outlives it, and can
// make the reader linger in OnClosed.
class TestClient : public CChatClient {
public:
    explicit TestClient(std::atomic<int>& ends) : m_ends(ends), m_closed(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~TestClient() override {
        Close();
        CloseHandle(m_closed);
    }
    void OnClosed() override {
        Sleep(lingerMs);
        ++m_ends;
        SetEvent(m_closed);
        CChatClient::OnClosed();
    }
    bool WaitClosed() { return WaitForSingleObject(m_closed, kWait) == WAIT_OBJECT_0; }

    std::atomic<DWORD> lingerMs{0};

private:
    std::atomic<int>& m_ends;
    HANDLE m_closed;
};

std::string Payload(const ChatPacket* packet) {
    return std::string(reinterpret_cast<const char*>(packet->data) + 2, packet->length - 2);
}

// Busy blocks of the process heap with exactly `size` bytes.
int CountHeapBlocks(SIZE_T size) {
    const HANDLE heap = GetProcessHeap();
    PROCESS_HEAP_ENTRY entry{};
    int count = 0;
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) count += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && entry.cbData == size;
    HeapUnlock(heap);
    return count;
}

class ChatClientTest : public testing::Test {
protected:
    void Connect(UINT flags = NOTIFY_PACKET) {
        ASSERT_TRUE(client->Create(8192, 8192));
        client->SetNotify(window.Handle(), WM_CHAT_PACKET, flags);
        ASSERT_TRUE(client->Connect("127.0.0.1", server.Port(), kWait));
        ASSERT_TRUE(server.Accept());
    }

    // Waits until `posts` notifications have come in all, then takes every
    // queued packet.
    std::vector<ChatPacket*> Take(size_t posts) {
        EXPECT_TRUE(window.PumpUntil(posts, kWait));
        std::vector<ChatPacket*> packets(kNodes);
        packets.resize(client->GetPackets(packets.data(), kNodes));
        return packets;
    }

    void ReleaseAll(const std::vector<ChatPacket*>& packets) {
        for (ChatPacket* packet : packets) client->ReleasePacket(packet);
    }

    void ExpectEndedOnce() {
        ASSERT_TRUE(client->WaitClosed());
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(client->Send(PKT_CHAT_SEND, "x", 1), 0) << "sending after the end";
    }

    LoopbackServer server;
    NotifyWindow window;
    std::atomic<int> ends{0};
    std::unique_ptr<TestClient> client = std::make_unique<TestClient>(ends);
};

}  // namespace

// Written out: the test window shares the header that defines them.
TEST(ChatClientConstants, PacketMessageAndNotifyFlags) {
    EXPECT_EQ(WM_CHAT_PACKET, 1026u);
    EXPECT_EQ(NOTIFY_PACKET, 1u);
    EXPECT_EQ(NOTIFY_CLOSED, 32u);
}

TEST_F(ChatClientTest, EmptyPayloadMakesAnEightByteFrame) {
    Connect();
    EXPECT_EQ(client->Send(PKT_LOGIN, nullptr, 0), 8);
    ReceivedClientFrame frame;
    ASSERT_TRUE(server.ReceiveClientFrame(frame));
    EXPECT_EQ(frame.stampCheck, frame.stamp ^ 0x2F4A);
    EXPECT_EQ(frame.bodyLength, 2);
    EXPECT_EQ(frame.type, PKT_LOGIN);
    EXPECT_TRUE(frame.payload.empty());
}

TEST_F(ChatClientTest, LargestPayloadIsSentAndLargerIsRefusedWithNothingOnTheWire) {
    Connect();
    std::vector<uint8_t> payload(CHAT_MAX_PAYLOAD + 1);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(client->Send(PKT_CHAT_SEND, payload.data(), CHAT_MAX_PAYLOAD + 1), 0);
    EXPECT_EQ(client->Send(PKT_CHAT_SEND, payload.data(), -1), 0);
    EXPECT_EQ(client->Send(PKT_CHAT_SEND, nullptr, 1), 0);
    EXPECT_EQ(client->Send(PKT_CHAT_SEND, payload.data(), CHAT_MAX_PAYLOAD), 8 + CHAT_MAX_PAYLOAD);
    // Anything the refused sends had put on the wire would come first.
    ReceivedClientFrame frame;
    ASSERT_TRUE(server.ReceiveClientFrame(frame));
    EXPECT_EQ(frame.bodyLength, 2 + CHAT_MAX_PAYLOAD);
    payload.pop_back();
    EXPECT_EQ(frame.payload, payload);
}

TEST_F(ChatClientTest, LargestBodyArrivesWholeWithSpareBytesBehindIt) {
    Connect();
    std::string payload(CHAT_MAX_SERVER_BODY - 2, '\0');
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>('a' + i % 26);
    ASSERT_TRUE(server.SendFrame(PKT_CHAT_LINE, payload));
    const auto packets = Take(1);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0]->length, 65535);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, packets[0]->data), 65539u);
    EXPECT_EQ(Payload(packets[0]), payload);
    ReleaseAll(packets);
}

TEST_F(ChatClientTest, FrameDribbledOneByteAtATimeArrivesWhole) {
    Connect();
    for (const uint8_t byte : BuildServerFrame(PKT_NOTICE, "dribbled", 8)) {
        ASSERT_TRUE(server.Send({byte}));
        Sleep(5);
    }
    const auto packets = Take(1);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(Payload(packets[0]), "dribbled");
    ReleaseAll(packets);
}

TEST_F(ChatClientTest, GetPacketsTakesOldestFirstAndWritesOnlyWhatItReturns) {
    Connect();
    ChatPacket untouched{};
    ChatPacket* slots[3] = {&untouched, &untouched, &untouched};
    EXPECT_EQ(client->GetPackets(slots, 3), 0);
    EXPECT_EQ(slots[0], &untouched);

    for (const char* text : {"one", "two", "three"}) ASSERT_TRUE(server.SendFrame(PKT_NOTICE, text));
    ASSERT_TRUE(window.PumpUntil(3, kWait));
    ASSERT_EQ(client->GetPackets(slots, 1), 1);
    EXPECT_EQ(Payload(slots[0]), "one");
    client->ReleasePacket(slots[0]);
    ASSERT_EQ(client->GetPackets(slots, 3), 2);
    EXPECT_EQ(Payload(slots[0]), "two");
    EXPECT_EQ(Payload(slots[1]), "three");
    EXPECT_EQ(slots[2], &untouched);
    ReleaseAll({slots[0], slots[1]});
}

TEST_F(ChatClientTest, ReleasingNullOrTwiceLeavesThePoolIntact) {
    Connect();
    client->ReleasePacket(nullptr);
    ASSERT_TRUE(server.SendFrame(PKT_NOTICE, "a"));
    ChatPacket* const first = Take(1).at(0);
    client->ReleasePacket(first);
    client->ReleasePacket(first);  // no node in use any more: ignored
    ASSERT_TRUE(server.SendFrame(PKT_NOTICE, "b"));
    ASSERT_TRUE(server.SendFrame(PKT_NOTICE, "c"));
    const auto next = Take(3);
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[0], first) << "the last node given back is reused first";
    EXPECT_NE(next[1], first) << "one node handed out twice";
    ReleaseAll(next);
}

TEST_F(ChatClientTest, PacketBeyondAThousandOutstandingIsDroppedWithoutPost) {
    Connect();
    for (size_t i = 0; i <= kNodes; ++i) ASSERT_TRUE(server.SendFrame(PKT_CHAT_LINE, std::to_string(i)));
    ASSERT_TRUE(window.PumpUntil(kNodes, kWait));
    window.PumpFor(300);  // time for the reader to receive the last one
    EXPECT_EQ(window.Received().size(), kNodes);
    const auto packets = Take(kNodes);
    ASSERT_EQ(packets.size(), kNodes);
    EXPECT_EQ(Payload(packets.back()), "999");

    client->ReleasePacket(packets.front());
    ASSERT_TRUE(server.SendFrame(PKT_CHAT_LINE, "again"));
    const auto more = Take(kNodes + 1);
    ASSERT_EQ(more.size(), 1u);
    EXPECT_EQ(Payload(more[0]), "again");
    ReleaseAll(more);
    ReleaseAll({packets.begin() + 1, packets.end()});
}

TEST_F(ChatClientTest, ZeroLengthFrameEndsTheConnectionLikeAClose) {
    Connect();
    ASSERT_TRUE(server.Send({0, 0}));
    ExpectEndedOnce();
    uint8_t byte;
    EXPECT_FALSE(server.ReceiveExactly(&byte, 1)) << "the client closed its end";
}

TEST_F(ChatClientTest, PeerCloseEndsTheConnection) {
    Connect();
    server.CloseClient();
    ExpectEndedOnce();
}

TEST_F(ChatClientTest, EndPostsOneClosedNotificationWhenAskedFor) {
    Connect(NOTIFY_PACKET | NOTIFY_CLOSED);
    server.CloseClient();
    ASSERT_TRUE(window.PumpUntil(1, kWait));
    window.PumpFor(200);
    ASSERT_EQ(window.Received().size(), 1u);
    EXPECT_EQ(window.Received()[0].wParam, 32u);
    EXPECT_EQ(window.Received()[0].lParam, reinterpret_cast<LPARAM>(static_cast<CChatClient*>(client.get())));
    ChatPacket* packet = nullptr;
    EXPECT_EQ(client->GetPackets(&packet, 1), 0) << "no packet behind it";
}

TEST_F(ChatClientTest, EndPostsNothingWithPacketNotificationsOnly) {
    Connect(NOTIFY_PACKET);
    server.CloseClient();
    ASSERT_TRUE(client->WaitClosed());
    window.PumpFor(200);
    EXPECT_TRUE(window.Received().empty());
}

TEST_F(ChatClientTest, TeardownWhileTheReaderBlocksInAReceiveEndsPromptly) {
    Connect(NOTIFY_PACKET | NOTIFY_CLOSED);
    window.Destroy();  // the chat window is gone before its client
    Sleep(100);        // let the reader reach its receive
    const ULONGLONG start = GetTickCount64();
    client.reset();
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_EQ(ends, 1);
}

TEST_F(ChatClientTest, TeardownWaitsForAReaderThatOutlastsTwoSeconds) {
    Connect();
    client->lingerMs = 2300;
    client.reset();
    EXPECT_EQ(ends, 1) << "teardown returned while the reader was still in OnClosed";
}

TEST_F(ChatClientTest, TeardownFreesTheBodiesOfQueuedPackets) {
    Connect();
    const std::string payload(3001, 'q');  // a body size nothing else allocates
    const SIZE_T blockSize = 2 + payload.size() + 4;
    const int before = CountHeapBlocks(blockSize);
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(server.SendFrame(PKT_NOTICE, payload));
    ASSERT_TRUE(window.PumpUntil(20, kWait));
    ASSERT_EQ(CountHeapBlocks(blockSize), before + 20);
    client.reset();
    EXPECT_EQ(CountHeapBlocks(blockSize), before);
}

TEST_F(ChatClientTest, TeardownAfterTheReaderClosedLeavesOtherSocketsAlone) {
    Connect();
    server.CloseClient();
    ASSERT_TRUE(client->WaitClosed());
    // The handle the reader closed is free again: a socket made now may get
    // it, and a second close of that handle would hit this socket.
    const SOCKET other = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    client.reset();
    int type = 0, size = sizeof type;
    EXPECT_EQ(getsockopt(other, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &size), 0);
    closesocket(other);
}

TEST_F(ChatClientTest, TeardownAfterTheSocketLibraryShutDownStillEnds) {
    Connect();
    // The application shuts Windows Sockets down before its window, and with
    // it the client, goes away.
    WSACleanup();
    const ULONGLONG start = GetTickCount64();
    client.reset();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}

TEST(ChatClientConnect, UnderOneSecondDoesNotWait) {
    LoopbackServer refusing(LoopbackServer::Listening::No);
    CChatClient client;
    ASSERT_TRUE(client.Create(8192, 8192));
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(client.Connect("127.0.0.1", refusing.Port(), 999));
    EXPECT_LT(GetTickCount64() - start, 500u);
    EXPECT_EQ(client.Send(PKT_CHAT_SEND, "x", 1), 0) << "the socket is closed";
}

TEST(ChatClientConnect, RefusedConnectionWaitsTheWholeTimeOut) {
    LoopbackServer refusing(LoopbackServer::Listening::No);
    CChatClient client;
    ASSERT_TRUE(client.Create(8192, 8192));
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(client.Connect("127.0.0.1", refusing.Port(), 1000));
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 950u);
    EXPECT_LT(elapsed, 3000u);
}
