#include "tests/support/ScriptedServers.h"

#include "net/Protocol.h"
#include "tests/support/Sockets.h"

#include <cstdio>

namespace {

constexpr DWORD kServicePollMs = 100;
constexpr DWORD kRequestWaitMs = 5000;

// Reads the request's head, which is all a GET has; false when it does not
// come in time.
bool ReadRequestHead(SOCKET client) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (!WaitReadable(client, kRequestWaitMs)) return false;
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) return false;
        head.append(buffer, static_cast<size_t>(got));
    }
    return true;
}

const char* ReasonOf(int status) {
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

std::string StatusLine(int status) { return "HTTP/1.1 " + std::to_string(status) + " " + ReasonOf(status) + "\r\n"; }

}  // namespace

std::string RawFrame(uint16_t declaredLength, std::string_view body) {
    std::string frame;
    frame += static_cast<char>(declaredLength & 0xFF);
    frame += static_cast<char>(declaredLength >> 8);
    frame += body;
    return frame;
}

std::string ServerFrame(uint16_t type, std::string_view payload) {
    const std::vector<uint8_t> frame = BuildServerFrame(type, payload.data(), payload.size());
    return std::string(frame.begin(), frame.end());
}

// Chat server

ScriptedChatServer::ScriptedChatServer(int port) : m_listener(ListenOnLoopback(port)) {}

ScriptedChatServer::~ScriptedChatServer() {
    CloseQuietly(m_client);
    CloseQuietly(m_listener);
}

bool ScriptedChatServer::AcceptClient(DWORD timeoutMs) {
    CloseQuietly(m_client);
    if (!IsListening() || !WaitReadable(m_listener, timeoutMs)) return false;
    m_client = accept(m_listener, nullptr, nullptr);
    // Dribbled bytes must leave one per send, not gathered by Nagle.
    SendEachAtOnce(m_client);
    return m_client != INVALID_SOCKET;
}

bool ScriptedChatServer::ReceiveExactly(char* into, int count, DWORD timeoutMs) {
    for (int have = 0; have < count;) {
        if (!WaitReadable(m_client, timeoutMs)) return false;
        const int got = recv(m_client, into + have, count - have, 0);
        if (got <= 0) return false;
        have += got;
    }
    return true;
}

bool ScriptedChatServer::ReceiveClientFrame(DWORD timeoutMs) {
    // Stamp check, stamp, body length; then the body.
    char header[6];
    if (!ReceiveExactly(header, sizeof header, timeoutMs)) return false;
    const int bodyLength = ReadLittle16(header + 4);
    std::string body(static_cast<size_t>(bodyLength), '\0');
    return ReceiveExactly(body.data(), bodyLength, timeoutMs);
}

bool ScriptedChatServer::Send(std::string_view bytes) { return m_client != INVALID_SOCKET && SendAll(m_client, bytes); }

bool ScriptedChatServer::DrainIncoming() {
    char buffer[4096];
    while (m_client != INVALID_SOCKET && WaitReadable(m_client, 0)) {
        if (recv(m_client, buffer, sizeof buffer, 0) <= 0) return false;
    }
    return m_client != INVALID_SOCKET;
}

bool ScriptedChatServer::SendDribbled(std::string_view bytes, DWORD pauseMs) {
    for (const char byte : bytes) {
        if (!Send(std::string_view(&byte, 1))) return false;
        ::Sleep(pauseMs);
    }
    return true;
}

void ScriptedChatServer::Close() {
    if (m_client != INVALID_SOCKET) shutdown(m_client, SD_SEND);
    CloseQuietly(m_client);
}

void ScriptedChatServer::Reset() {
    // Lingering for no time makes the close a reset.
    const linger abort{1, 0};
    if (m_client != INVALID_SOCKET) {
        setsockopt(m_client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    }
    CloseQuietly(m_client);
}

// Profile service

ScriptedProfileService::Answer ScriptedProfileService::Plain(int status, std::string body) {
    Answer answer;
    answer.head = StatusLine(status) + "Content-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                  "\r\nConnection: close\r\n\r\n";
    answer.body = std::move(body);
    return answer;
}

ScriptedProfileService::Answer ScriptedProfileService::Chunked(int status, std::string_view body, size_t chunkSize) {
    Answer answer;
    answer.head =
        StatusLine(status) + "Content-Type: text/html\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
    for (size_t at = 0; at < body.size(); at += chunkSize) {
        const std::string_view chunk = body.substr(at, chunkSize);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
        answer.body += size;
        answer.body += chunk;
        answer.body += "\r\n";
    }
    answer.body += "0\r\n\r\n";
    return answer;
}

ScriptedProfileService::ScriptedProfileService(int port) : m_listener(ListenOnLoopback(port)) {
    if (IsListening()) m_server = std::thread([this] { ServeLoop(); });
}

ScriptedProfileService::~ScriptedProfileService() {
    m_stopping = true;
    if (m_server.joinable()) m_server.join();
    CloseQuietly(m_listener);
}

int ScriptedProfileService::Port() const { return PortOf(m_listener); }

void ScriptedProfileService::SetAnswer(Answer answer) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_answer = std::move(answer);
}

void ScriptedProfileService::ServeLoop() {
    while (!m_stopping) {
        if (!WaitReadable(m_listener, kServicePollMs)) continue;
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        Serve(client);
        CloseQuietly(client);
    }
}

void ScriptedProfileService::Serve(SOCKET client) {
    if (!ReadRequestHead(client)) return;
    ++m_requests;
    Answer answer;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        answer = m_answer;
    }
    if (answer.head.empty()) return;
    if (!SendAll(client, answer.head)) return;
    // Waits in slices, so that the service can still stop meanwhile.
    for (DWORD waited = 0; waited < answer.delayBeforeBodyMs && !m_stopping; waited += kServicePollMs) {
        ::Sleep(kServicePollMs);
    }
    SendAll(client, answer.body);
    shutdown(client, SD_SEND);
}
