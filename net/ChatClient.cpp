#include "net/ChatClient.h"

#include <algorithm>

namespace {

// The reader's receives. The handle is read afresh for every receive, so
// once the owner has closed the connection the next receive fails at once.
class SocketByteSource final : public ByteSource {
public:
    explicit SocketByteSource(const std::atomic<SOCKET>& socket) : m_socket(socket) {}
    int Receive(uint8_t* into, int wanted) override {
        return recv(m_socket.load(), reinterpret_cast<char*>(into), wanted, 0);
    }

private:
    const std::atomic<SOCKET>& m_socket;
};

void FreeBody(uint8_t* body) {
    if (body) HeapFree(GetProcessHeap(), 0, body);
}

bool SetBlocking(SOCKET socket, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(socket, FIONBIO, &nonBlocking) == 0;
}

}  // namespace

CChatClient::CChatClient() = default;

CChatClient::~CChatClient() {
    Close();
    // The reader has ended: whatever it queued and nobody took is ours.
    ChatPacket* packet = nullptr;
    while (GetPackets(&packet, 1) == 1) ReleasePacket(packet);
}

bool CChatClient::Create(int receiveBufferSize, int sendBufferSize) {
    if (m_socket.load() != INVALID_SOCKET) return false;
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) return false;
    m_socket = socket;
    const auto* receiveSize = reinterpret_cast<const char*>(&receiveBufferSize);
    const auto* sendSize = reinterpret_cast<const char*>(&sendBufferSize);
    if (setsockopt(socket, SOL_SOCKET, SO_RCVBUF, receiveSize, sizeof receiveBufferSize) != 0 ||
        setsockopt(socket, SOL_SOCKET, SO_SNDBUF, sendSize, sizeof sendBufferSize) != 0) {
        CloseSocket();
        return false;
    }
    return true;
}

void CChatClient::SetNotify(HWND window, UINT message, UINT flags) {
    m_notifyWindow = window;
    m_notifyMessage = message;
    m_notifyFlags = flags;
}

bool CChatClient::Connect(const char* address, int port, DWORD timeoutMs) {
    if (m_readerThread || !address) return false;
    const SOCKET socket = m_socket.load();
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr.s_addr = inet_addr(address);
    server.sin_port = htons(static_cast<u_short>(port));

    if (!SetBlocking(socket, false)) return false;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        return false;
    }
    // Writable means connected. Failures show only in the error set, which
    // is not watched: a refused connection waits out the whole time-out.
    // Whole seconds only, so anything under 1000 ms does not wait at all.
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(socket, &writable);
    timeval wait{static_cast<long>(timeoutMs / 1000), 0};
    const int ready = select(0, nullptr, &writable, nullptr, &wait);
    if (ready == SOCKET_ERROR) return false;
    if (ready == 0) {
        CloseSocket();
        return false;
    }
    if (!SetBlocking(socket, true)) return false;
    m_readerThread = CreateThread(nullptr, 0, ReaderThread, this, 0, nullptr);
    return m_readerThread != nullptr;
}

int CChatClient::Send(uint16_t type, const void* payload, int length) {
    ClientFrame frame;
    if (!BuildClientFrame(type, payload, length, GetTickCount(), frame)) return 0;
    // One gather send, so the header and the body leave as one frame.
    WSABUF pieces[4] = {
        {sizeof frame.stampCheck, reinterpret_cast<char*>(frame.stampCheck)},
        {sizeof frame.stamp, reinterpret_cast<char*>(frame.stamp)},
        {sizeof frame.bodyLength, reinterpret_cast<char*>(frame.bodyLength)},
        {static_cast<ULONG>(frame.bodySize), reinterpret_cast<char*>(frame.body)},
    };
    DWORD sent = 0;
    if (WSASend(m_socket.load(), pieces, 4, &sent, 0, nullptr, nullptr) != 0) return 0;
    return static_cast<int>(sent);
}

int CChatClient::GetPackets(ChatPacket** packets, int capacity) {
    if (!packets || capacity <= 0) return 0;
    CriticalSectionLock lock(m_queueLock);
    const int count = std::min(capacity, static_cast<int>(m_queue.size()));
    for (int i = 0; i < count; ++i) {
        packets[i] = m_queue.front();
        m_queue.pop_front();
    }
    return count;
}

void CChatClient::ReleasePacket(ChatPacket* packet) {
    if (!packet) return;
    FreeBody(packet->data);
    packet->data = nullptr;
    m_pool.Release(PacketNode::Enclosing(packet));
}

void CChatClient::OnClosed() { Notify(NOTIFY_CLOSED); }

void CChatClient::Close() {
    CloseSocket();
    if (!m_readerThread) return;
    // No time limit: with the socket closed the reader is about to end, and
    // going on while it still runs would free the pool and the locks under
    // it.
    WaitForSingleObject(m_readerThread, INFINITE);
    CloseHandle(m_readerThread);
    m_readerThread = nullptr;
}

DWORD WINAPI CChatClient::ReaderThread(void* client) {
    if (client) static_cast<CChatClient*>(client)->ReaderLoop();
    return 0;
}

void CChatClient::ReaderLoop() {
    SocketByteSource source(m_socket);
    while (ReceiveFrame(source)) {
    }
    // The one place where the connection ends, whatever ended it.
    CloseSocket();
    OnClosed();
}

// Receives one frame and queues it. False when the connection has ended: the
// peer closed it, a receive failed, a zero length came, or there was no
// memory for the body.
bool CChatClient::ReceiveFrame(ByteSource& source) {
    uint16_t length = 0;
    if (!ReadServerFrameLength(source, length) || length == 0) return false;
    auto* body = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, length + CHAT_BODY_SPARE));
    if (!body) return false;
    if (!ReadServerFrameBody(source, body, length)) {
        FreeBody(body);
        return false;
    }
    // All nodes in use: the packet is dropped and nobody is told.
    if (!Enqueue(body, length)) FreeBody(body);
    return true;
}

bool CChatClient::Enqueue(uint8_t* body, int32_t length) {
    PacketNode* node = m_pool.Acquire();
    if (!node) return false;
    node->packet = ChatPacket{body, length};
    {
        CriticalSectionLock lock(m_queueLock);
        m_queue.push_back(&node->packet);
    }
    Notify(NOTIFY_PACKET);
    return true;
}

// Posts, never sends: the reader must not wait for the owner's thread. The
// window may have gone since SetNotify, hence IsWindow at the moment itself.
void CChatClient::Notify(UINT flag) {
    if (m_notifyWindow && (m_notifyFlags & flag) && IsWindow(m_notifyWindow)) {
        PostMessageW(m_notifyWindow, m_notifyMessage, flag, reinterpret_cast<LPARAM>(this));
    }
}

void CChatClient::CloseSocket() {
    const SOCKET socket = m_socket.exchange(INVALID_SOCKET);
    if (socket != INVALID_SOCKET) closesocket(socket);
}
