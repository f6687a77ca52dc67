// LoopbackHttpServer: a small HTTP/1.0 server on 127.0.0.1 for the image
// tests. Each route answers with fixed bytes, optionally after a delay; the
// server counts the requests it saw and the most it served at once. It
// stops, and joins its threads, when destroyed; every socket wait is bounded.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttpServer {
public:
    struct Response {
        int status = 200;
        std::string body;
        bool announceLength = true;
        unsigned delayMs = 0;
    };

    LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
    ~LoopbackHttpServer();

    // Set routes before requests arrive.
    void Route(const std::string& path, Response response) { m_routes[path] = std::move(response); }
    std::u16string Url(const std::string& path) const;

    int Requests() const { return m_requests; }
    int MostAtOnce() const { return m_mostAtOnce; }

private:
    void AcceptLoop();
    void Serve(SOCKET client);

    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    std::map<std::string, Response> m_routes;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_requests{0};
    std::atomic<int> m_atOnce{0};
    std::atomic<int> m_mostAtOnce{0};
    std::mutex m_mutex;
    std::vector<std::thread> m_clients;
    std::thread m_acceptor;
};
