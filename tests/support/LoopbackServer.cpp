#include "LoopbackServer.h"

#include "net/Protocol.h"

namespace {

bool WaitReadable(SOCKET socket) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait{kWait / 1000, 0};
    return select(0, &readable, nullptr, nullptr, &wait) == 1;
}


}  // namespace

LoopbackServer::LoopbackServer(Listening listening) {
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0) return;
    if (listening == Listening::Yes && listen(m_listener, 4) != 0) return;
    if (getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) == 0) m_port = ntohs(address.sin_port);
}

LoopbackServer::~LoopbackServer() {
    CloseClient();
    closesocket(m_listener);
}

bool LoopbackServer::Accept() {
    if (!WaitReadable(m_listener)) return false;
    m_client = accept(m_listener, nullptr, nullptr);
    // Dribbled bytes must leave one per send, not gathered by Nagle.
    const BOOL noDelay = TRUE;
    setsockopt(m_client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    return m_client != INVALID_SOCKET;
}

bool LoopbackServer::Send(const std::vector<uint8_t>& bytes) {
    const int size = static_cast<int>(bytes.size());
    return send(m_client, reinterpret_cast<const char*>(bytes.data()), size, 0) == size;
}

bool LoopbackServer::SendFrame(uint16_t type, std::string_view payload) {
    return Send(BuildServerFrame(type, payload.data(), payload.size()));
}

bool LoopbackServer::ReceiveExactly(uint8_t* into, int count) {
    for (int have = 0; have < count;) {
        if (!WaitReadable(m_client)) return false;
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

void LoopbackServer::CloseClient() {
    if (m_client != INVALID_SOCKET) closesocket(m_client);
    m_client = INVALID_SOCKET;
}
