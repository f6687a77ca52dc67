// The real service programs on loopback, met the way the chat program meets
// them: the chat server through the project's connection client, the profile
// service through WinINet. Every wait is bounded.
#include "net/ChatClient.h"
#include "net/Protocol.h"
#include "tools/common/ServiceProcess.h"

#include "tests/support/NotifyWindow.h"
#include "tests/support/WinsockEnvironment.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Windows Sockets for the whole program.
testing::Environment* const winsock = testing::AddGlobalTestEnvironment(new WinsockEnvironment);

constexpr DWORD kWait = 5000;

std::wstring ServiceProgram(const wchar_t* name) {
    return BesideThisProgram(L"" WOBBLE_SERVICES_FOLDER + std::wstring(name));
}

// One member of the room: a connection client posting to its own window.
class ChatMember {
public:
    ChatMember(int port, std::string_view userId, std::string_view nickname) {
        m_client.Create(8192, 8192);
        m_client.SetNotify(m_window.Handle(), WM_CHAT_PACKET, NOTIFY_PACKET);
        m_connected = m_client.Connect("127.0.0.1", port, kWait);
        const auto record = BuildLoginRecord(userId, nickname);
        m_client.Send(PKT_LOGIN, record.data(), static_cast<int>(record.size()));
    }

    bool Connected() const { return m_connected; }
    void Say(const std::string& text) { m_client.Send(PKT_CHAT_SEND, text.c_str(), static_cast<int>(text.size() + 1)); }

    // The next `count` packets as "type:payload"; fewer if they do not come.
    std::vector<std::string> Hear(size_t count) {
        m_window.PumpUntil(m_heard + count, kWait);
        std::vector<std::string> heard;
        ChatPacket* packet = nullptr;
        while (m_client.GetPackets(&packet, 1) == 1) {
            const auto* body = reinterpret_cast<const char*>(packet->data);
            heard.push_back(std::to_string(ReadLittle16(body)) + ":" + std::string(body + 2, packet->length - 2));
            m_client.ReleasePacket(packet);
        }
        m_heard += heard.size();
        return heard;
    }

private:
    NotifyWindow m_window;  // outlives the client, which may post to it until it ends
    CChatClient m_client;
    bool m_connected = false;
    size_t m_heard = 0;
};

std::string Line(std::string_view record) { return "52:" + std::string(record); }
std::string Notice(std::string_view text) { return "55:" + std::string(text); }

// A plain blocking socket connected to 127.0.0.1:port, or INVALID_SOCKET.
// A receive buffer size, if given, is set before connecting, when it counts.
SOCKET ConnectLoopback(int port, int receiveBuffer = 0) {
    SOCKET raw = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (receiveBuffer > 0) {
        setsockopt(raw, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(raw, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(raw);
        return INVALID_SOCKET;
    }
    return raw;
}

// A plain socket conversation: sends `bytes`, then reads until the peer
// closes or `timeoutMs` passes.
struct RawReply {
    std::string bytes;
    bool closedByPeer = false;
};

RawReply Exchange(int port, std::string_view bytes, DWORD timeoutMs) {
    RawReply reply;
    const SOCKET raw = ConnectLoopback(port);
    if (raw != INVALID_SOCKET &&
        send(raw, bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size())) {
        const ULONGLONG deadline = GetTickCount64() + timeoutMs;
        for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(raw, &readable);
            const auto left = static_cast<long>(deadline - now);
            timeval wait{left / 1000, (left % 1000) * 1000};
            if (select(0, &readable, nullptr, nullptr, &wait) != 1) break;
            char buffer[4096];
            const int got = recv(raw, buffer, sizeof buffer, 0);
            if (got <= 0) {
                reply.closedByPeer = true;
                break;
            }
            reply.bytes.append(buffer, got);
        }
    }
    closesocket(raw);
    return reply;
}

class ChatServerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start(ServiceProgram(L"wobble-chatd.exe"), L"--port 0", kWait)); }
    int Port() const { return server.Port(); }
    ServiceProcess server;
};

TEST_F(ChatServerTest, LoginIsWelcomedAndTheOwnLineComesBack) {
    ChatMember alice(Port(), "alice", "앨리스");
    ASSERT_TRUE(alice.Connected());
    EXPECT_EQ(alice.Hear(2), (std::vector<std::string>{"51:", Notice("앨리스님이 들어오셨습니다.")}));
    alice.Say("<b>안녕</b>");
    EXPECT_EQ(alice.Hear(1), (std::vector<std::string>{Line("alice\a앨리스\a<b>안녕</b>")}));
    EXPECT_TRUE(server.WaitForOutput("login: id alice", kWait));
}

TEST_F(ChatServerTest, TwoMembersHearEachOtherAndTheLeave) {
    ChatMember alice(Port(), "alice", "Alice");
    ASSERT_EQ(alice.Hear(2).size(), 2u);
    auto bob = std::make_unique<ChatMember>(Port(), "bob", "Bob");
    EXPECT_EQ(bob->Hear(2), (std::vector<std::string>{"51:", Notice("Bob님이 들어오셨습니다.")}));
    EXPECT_EQ(alice.Hear(1), (std::vector<std::string>{Notice("Bob님이 들어오셨습니다.")}));

    bob->Say("hi alice");
    alice.Say("hi bob");
    // Each line reaches both, and both see the same order.
    const auto heardByBob = bob->Hear(2);
    EXPECT_EQ(alice.Hear(2), heardByBob);
    EXPECT_EQ(heardByBob.size(), 2u);
    EXPECT_NE(std::find(heardByBob.begin(), heardByBob.end(), Line("bob\aBob\ahi alice")), heardByBob.end());
    EXPECT_NE(std::find(heardByBob.begin(), heardByBob.end(), Line("alice\aAlice\ahi bob")), heardByBob.end());

    bob.reset();
    EXPECT_EQ(alice.Hear(1), (std::vector<std::string>{Notice("Bob님이 나가셨습니다.")}));
}

TEST_F(ChatServerTest, BrokenFrameEndsOnlyThatConnection) {
    ChatMember alice(Port(), "alice", "Alice");
    ASSERT_EQ(alice.Hear(2).size(), 2u);
    // A header whose check value does not match its stamp.
    const RawReply reply = Exchange(Port(), std::string("\x00\x00\x01\x00\x02\x00\x21\x00", 8), kWait);
    EXPECT_TRUE(reply.closedByPeer);
    EXPECT_TRUE(reply.bytes.empty());
    EXPECT_TRUE(server.WaitForOutput("dropped: bad stamp check value", kWait));

    alice.Say("still here");
    EXPECT_EQ(alice.Hear(1), (std::vector<std::string>{Line("alice\aAlice\astill here")}));
}

// A member on a plain blocking socket, for the cases that a well-behaved
// client cannot make: reading nothing at all, or flooding.
class RawMember {
public:
    RawMember(int port, std::string_view userId, int receiveBuffer = 0) {
        m_socket = ConnectLoopback(port, receiveBuffer);
        m_connected = m_socket != INVALID_SOCKET;
        const auto record = BuildLoginRecord(userId, userId);
        Send(PKT_LOGIN, std::string(reinterpret_cast<const char*>(record.data()), record.size()));
    }
    ~RawMember() { closesocket(m_socket); }

    bool Connected() const { return m_connected; }
    bool Send(uint16_t type, const std::string& payload) {
        ClientFrame frame;
        BuildClientFrame(type, payload.data(), static_cast<int32_t>(payload.size()), GetTickCount(), frame);
        std::string bytes(reinterpret_cast<const char*>(frame.stampCheck), 6);
        bytes.append(reinterpret_cast<const char*>(frame.body), static_cast<size_t>(frame.bodySize));
        return send(m_socket, bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
    }
    // Reads whatever arrives within `waitMs`.
    void Drain(DWORD waitMs) {
        for (;;) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(m_socket, &readable);
            timeval wait{0, static_cast<long>(waitMs) * 1000};
            char buffer[64 * 1024];
            if (select(0, &readable, nullptr, nullptr, &wait) != 1) return;
            const int got = recv(m_socket, buffer, sizeof buffer, 0);
            if (got <= 0) return;
            received.append(buffer, got);
            waitMs = 0;
        }
    }
    // Reads until `text` has come `count` times since the start.
    bool WaitUntilHeard(std::string_view text, size_t count) {
        if (text != m_counted) {
            m_counted = text;
            m_scanned = 0;
            m_found = 0;
        }
        const ULONGLONG deadline = GetTickCount64() + kWait;
        for (;;) {
            for (size_t at; (at = received.find(text, m_scanned)) != std::string::npos; m_scanned = at + text.size())
                ++m_found;
            if (m_found >= count) return true;
            if (GetTickCount64() >= deadline) return false;
            Drain(50);
        }
    }

    std::string received;

private:
    SOCKET m_socket;
    bool m_connected = false;
    // WaitUntilHeard's text, its progress through `received`, and its count.
    std::string m_counted;
    size_t m_scanned = 0;
    size_t m_found = 0;
};

TEST(ChatServerQueueTest, MemberThatReadsNothingIsDroppedAndTheOthersGoOn) {
    ServiceProcess server;
    ASSERT_TRUE(server.Start(ServiceProgram(L"wobble-chatd.exe"), L"--port 0 --queue-limit 65536", kWait));
    RawMember sleeper(server.Port(), "sleeper", 4096);
    RawMember talker(server.Port(), "talker");
    ASSERT_TRUE(sleeper.Connected() && talker.Connected());
    ASSERT_TRUE(server.WaitForOutput("login: id talker", kWait));

    // Each line goes to both. The talker reads its own before it says the
    // next, so only the sleeper's share piles up in the server, until its
    // queue overflows, long before these 6 MB have gone out.
    const std::string line(3000, 'x');
    const std::string ownLine = "talker\atalker\a" + line;
    bool dropped = false;
    for (size_t i = 1; i <= 2000 && !dropped; ++i) {
        ASSERT_TRUE(talker.Send(PKT_CHAT_SEND, line + '\0'));
        ASSERT_TRUE(talker.WaitUntilHeard(ownLine, i));
        dropped = server.WaitForOutput("closed: send queue full", 0);
    }
    EXPECT_TRUE(dropped);

    // The talker hears of the leave and is still served.
    ASSERT_TRUE(talker.Send(PKT_CHAT_SEND, std::string("after\0", 6)));
    EXPECT_TRUE(talker.WaitUntilHeard("talker\atalker\aafter", 1));
    EXPECT_NE(talker.received.find("sleeper님이 나가셨습니다."), std::string::npos);
}

// The profile service with a users file of its own, in the temp folder.
class ProfileServiceProcessTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        m_usersFile = std::wstring(folder) + L"wobble-users-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
        FILE* file = _wfopen(m_usersFile.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        std::fputs("demo Demo\r\n\xBF\xF6\xBA\xED \xBF\xF6\xBA\xED\xC0\xCC\r\n", file);
        std::fclose(file);
    }
    void TearDown() override { DeleteFileW(m_usersFile.c_str()); }

    void Start(const std::string& options) {
        ASSERT_TRUE(service.Start(ServiceProgram(L"wobble-profiled.exe"),
                                  L"--port 0 --users \"" + m_usersFile + L"\" " + AsciiWide(options), kWait));
    }

    // The body that WinINet reads for the lookup of `id`, put into the URL
    // unescaped, with the request flags of the chat program.
    std::string Lookup(const std::string& id) {
        std::string body;
        const HINTERNET session = InternetOpenA("tools_tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        const std::string url =
            "http://127.0.0.1:" + std::to_string(service.Port()) + "/program/user_info.asp?id=" + id;
        const HINTERNET file = session ? InternetOpenUrlA(session, url.c_str(), nullptr, 0, 0x84000002, 0) : nullptr;
        EXPECT_NE(file, nullptr) << url;
        char buffer[512];
        DWORD got = 0;
        while (file && InternetReadFile(file, buffer, sizeof buffer, &got) && got > 0) body.append(buffer, got);
        if (file) InternetCloseHandle(file);
        if (session) InternetCloseHandle(session);
        return body;
    }

    ServiceProcess service;

private:
    std::wstring m_usersFile;
};

TEST_F(ProfileServiceProcessTest, AnswersKnownAndUnknownIdsAsTheClientAsks) {
    Start("--unknown-body nobody");
    EXPECT_EQ(Lookup("demo"), "Demo||1");
    EXPECT_EQ(Lookup("\xBF\xF6\xBA\xED"), "\xBF\xF6\xBA\xED\xC0\xCC||1");
    EXPECT_EQ(Lookup("stranger"), "nobody");
    EXPECT_EQ(Lookup(""), "nobody");
}

TEST_F(ProfileServiceProcessTest, FindsAnIdWithASpaceThatWinInetEscapes) {
    // WinINet sends the space as %20; the service decodes it back.
    Start("");
    EXPECT_EQ(Lookup("de mo"), "unknown");
    EXPECT_TRUE(service.WaitForOutput("?id=de%20mo -> 404", kWait));
}

TEST_F(ProfileServiceProcessTest, FixedBodyMayBeEmpty) {
    Start("--fixed-body \"\"");
    EXPECT_EQ(Lookup("demo"), "");
}

TEST_F(ProfileServiceProcessTest, MalformedAndStalledRequestsAreClosed) {
    Start("--timeout-ms 300");
    const RawReply malformed = Exchange(service.Port(), "NONSENSE\r\n\r\n", kWait);
    EXPECT_EQ(malformed.bytes.substr(0, 24), "HTTP/1.1 400 Bad Request");
    EXPECT_TRUE(malformed.closedByPeer);

    const ULONGLONG start = GetTickCount64();
    const RawReply stalled = Exchange(service.Port(), "GET /program/user_info.asp?id=demo HTTP/1.1\r\n", kWait);
    EXPECT_TRUE(stalled.closedByPeer);
    EXPECT_TRUE(stalled.bytes.empty());
    EXPECT_LT(GetTickCount64() - start, 3000u);
}

TEST_F(ProfileServiceProcessTest, TricklingPeerIsClosedWhenItsTimeIsUp) {
    // A byte every 100 ms keeps a connection busy but must not keep it open.
    Start("--timeout-ms 300");
    const SOCKET raw = ConnectLoopback(service.Port());
    ASSERT_NE(raw, INVALID_SOCKET);
    const ULONGLONG start = GetTickCount64();
    bool closed = false;
    while (!closed && GetTickCount64() - start < 3000) {
        send(raw, "G", 1, 0);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(raw, &readable);
        timeval wait{0, 100 * 1000};
        char byte;
        closed = select(0, &readable, nullptr, nullptr, &wait) == 1 && recv(raw, &byte, 1, 0) <= 0;
    }
    closesocket(raw);
    EXPECT_TRUE(closed);
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_TRUE(service.WaitForOutput("closed: time is up", kWait));
}

}  // namespace
