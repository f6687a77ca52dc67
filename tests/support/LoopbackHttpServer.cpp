#include "tests/support/LoopbackHttpServer.h"

#include "tests/support/Sockets.h"

#include <windows.h>

namespace {

constexpr DWORD kSocketTimeoutMs = 5000;
constexpr DWORD kAcceptPollMs = 50;

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
    m_listener = ListenOnLoopback(0, 16);
    m_port = PortOf(m_listener);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    m_stopping = true;
    m_acceptor.join();
    CloseQuietly(m_listener);
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
        if (!WaitReadable(m_listener, kAcceptPollMs)) continue;
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
