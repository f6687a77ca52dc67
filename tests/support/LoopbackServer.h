// LoopbackServer: a stand-in chat server on 127.0.0.1, on a port the system
// picks, for one client at a time. Every wait is bounded by kWait.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr DWORD kWait = 5000;

// One client frame as the server sees it, body unscrambled.
struct ReceivedClientFrame {
    uint16_t stampCheck;
    uint16_t stamp;
    uint16_t bodyLength;
    uint16_t type;
    std::vector<uint8_t> payload;
};

class LoopbackServer {
public:
    // Without listening, the port refuses connections, and stays reserved
    // so that nothing else takes it during the test.
    enum class Listening { Yes, No };

    explicit LoopbackServer(Listening listening = Listening::Yes);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return m_port; }
    bool Accept();
    bool Send(const std::vector<uint8_t>& bytes);
    bool SendFrame(uint16_t type, std::string_view payload);
    bool ReceiveExactly(uint8_t* into, int count);
    bool ReceiveClientFrame(ReceivedClientFrame& frame);
    void CloseClient();

private:
    SOCKET m_listener = INVALID_SOCKET;
    SOCKET m_client = INVALID_SOCKET;
    int m_port = 0;
};
