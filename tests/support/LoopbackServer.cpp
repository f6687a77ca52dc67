#include "tests/support/LoopbackServer.h"

#include "net/Protocol.h"
#include "tests/support/Sockets.h"

LoopbackServer::LoopbackServer(Listening listening)
    : m_listener(listening == Listening::Yes ? ListenOnLoopback(0) : BindToLoopback(0)), m_port(PortOf(m_listener)) {}

LoopbackServer::~LoopbackServer() {
    CloseClient();
    CloseQuietly(m_listener);
}

bool LoopbackServer::Accept() {
    if (!WaitReadable(m_listener, kWait)) return false;
    m_client = accept(m_listener, nullptr, nullptr);
    // Dribbled bytes must leave one per send, not gathered by Nagle.
    SendEachAtOnce(m_client);
    return m_client != INVALID_SOCKET;
}

bool LoopbackServer::Send(const std::vector<uint8_t>& bytes) {
    return SendAll(m_client, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool LoopbackServer::SendFrame(uint16_t type, std::string_view payload) {
    return Send(BuildServerFrame(type, payload.data(), payload.size()));
}

bool LoopbackServer::ReceiveExactly(uint8_t* into, int count) {
    for (int have = 0; have < count;) {
        if (!WaitReadable(m_client, kWait)) return false;
        const int got = recv(m_client, reinterpret_cast<char*>(into + have), count - have, 0);
        if (got <= 0) return false;
        have += got;
    }
    return true;
}

bool LoopbackServer::ReceiveClientFrame(ReceivedClientFrame& frame) {
    uint8_t header[6];
    if (!ReceiveExactly(header, sizeof header)) return false;
    frame.stampCheck = ReadLittle16(header);
    frame.stamp = ReadLittle16(header + 2);
    frame.bodyLength = ReadLittle16(header + 4);
    std::vector<uint8_t> body(frame.bodyLength);
    if (frame.bodyLength < 2 || !ReceiveExactly(body.data(), frame.bodyLength)) return false;
    ScrambleBytes(body.data(), frame.bodyLength, CHAT_SCRAMBLE_KEY);
    frame.type = ReadLittle16(body.data());
    frame.payload.assign(body.begin() + 2, body.end());
    return true;
}

void LoopbackServer::CloseClient() { CloseQuietly(m_client); }
