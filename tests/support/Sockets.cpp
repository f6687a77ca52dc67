#include "tests/support/Sockets.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace {

constexpr DWORD kPortsWaitMs = 120000;
constexpr DWORD kPortsPollMs = 250;

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    return address;
}

// A connection attempt, not a trial bind: on Windows a bind that reuses the
// address succeeds even while another socket listens there.
bool SomethingListensOn(int port) {
    SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (probe == INVALID_SOCKET) return true;
    const sockaddr_in address = LoopbackAddress(port);
    const bool connected = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    CloseQuietly(probe);
    return connected;
}

}  // namespace

bool WaitReadable(SOCKET socket, DWORD timeoutMs) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
    return ::select(0, &readable, nullptr, nullptr, &wait) == 1;
}

bool SendAll(SOCKET socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const int chunk = static_cast<int>(std::min<size_t>(bytes.size(), 1 << 20));
        const int sent = ::send(socket, bytes.data(), chunk, 0);
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

void CloseQuietly(SOCKET& socket) {
    if (socket != INVALID_SOCKET) ::closesocket(socket);
    socket = INVALID_SOCKET;
}

SOCKET BindToLoopback(int port) {
    SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) return INVALID_SOCKET;
    const BOOL reuse = TRUE;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    const sockaddr_in address = LoopbackAddress(port);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) CloseQuietly(socket);
    return socket;
}

SOCKET ListenOnLoopback(int port, int backlog) {
    SOCKET listener = BindToLoopback(port);
    if (listener != INVALID_SOCKET && ::listen(listener, backlog) != 0) CloseQuietly(listener);
    return listener;
}

int PortOf(SOCKET socket) {
    sockaddr_in address{};
    int size = sizeof address;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
    return ntohs(address.sin_port);
}

void SendEachAtOnce(SOCKET socket) {
    const BOOL noDelay = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
}

bool WaitUntilPortsAreFree(std::initializer_list<int> ports) {
    const ULONGLONG deadline = ::GetTickCount64() + kPortsWaitMs;
    while (std::any_of(ports.begin(), ports.end(), SomethingListensOn)) {
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(kPortsPollMs);
    }
    return true;
}
