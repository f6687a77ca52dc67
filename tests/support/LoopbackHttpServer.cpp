#include "LoopbackHttpServer.h"

#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>

namespace {

constexpr DWORD kSocketTimeoutMs = 5000;

void SendAll(SOCKET socket, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(data.size() - sent, 64 * 1024));
        const int result = ::send(socket, data.data() + sent, chunk, 0);
        if (result <= 0) return;
        sent += static_cast<std::size_t>(result);
    }
}

std::string RequestPath(const std::string& request) {
    const std::size_t start = request.find(' ');
    if (start == std::string::npos) return {};
    const std::size_t end = request.find(' ', start + 1);
    return request.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::listen(m_listener, 16);
    int length = sizeof(address);
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    m_stopping = true;
    m_acceptor.join();
    ::closesocket(m_listener);
    for (std::thread& client : m_clients) client.join();
    ::WSACleanup();
}

std::u16string LoopbackHttpServer::Url(const std::string& path) const {
    const std::string url = "http://127.0.0.1:" + std::to_string(m_port) + path;
    return std::u16string(url.begin(), url.end());
}

void LoopbackHttpServer::Route(const std::string& path, Response response) {
    const std::lock_guard lock(m_routesMutex);
    m_routes[path] = std::move(response);
}

std::string LoopbackHttpServer::LastRequest() {
    const std::lock_guard lock(m_routesMutex);
    return m_lastRequest;
}

LoopbackHttpServer::Response LoopbackHttpServer::Answer(const std::string& request) {
    const std::lock_guard lock(m_routesMutex);
    m_lastRequest = request;
    const auto route = m_routes.find(RequestPath(request));
    return route != m_routes.end() ? route->second : Response{404, "not found"};
}

void LoopbackHttpServer::AcceptLoop() {
    while (!m_stopping) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(m_listener, &ready);
        timeval wait{0, 50 * 1000};
        if (::select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
        const SOCKET client = ::accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        const std::lock_guard lock(m_mutex);
        m_clients.emplace_back([this, client] { Serve(client); });
    }
}

void LoopbackHttpServer::Serve(SOCKET client) {
    const int atOnce = ++m_atOnce;
    int most = m_mostAtOnce;
    while (atOnce > most && !m_mostAtOnce.compare_exchange_weak(most, atOnce)) {
    }
    ++m_requests;
    DWORD timeout = kSocketTimeoutMs;
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192) {
        const int read = ::recv(client, buffer, sizeof(buffer), 0);
        if (read <= 0) break;
        request.append(buffer, static_cast<std::size_t>(read));
    }
    const Response response = Answer(request);
    ::Sleep(response.delayMs);
    std::string head = "HTTP/1.0 " + std::to_string(response.status) + " X\r\nConnection: close\r\n";
    if (response.announceLength) head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    head += response.extraHeaders;
    SendAll(client, head + "\r\n");
    SendAll(client, response.body);
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
    --m_atOnce;
}
