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
        std::string extraHeaders{};  // whole lines, each ending in CR LF
    };

    LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
    ~LoopbackHttpServer();

    // A route may change between requests; the next request sees the change.
    void Route(const std::string& path, Response response);
    std::u16string Url(const std::string& path) const;

    int Requests() const { return m_requests; }
    int MostAtOnce() const { return m_mostAtOnce; }
    // The request line and headers of the latest request, as received.
    std::string LastRequest();

private:
    void AcceptLoop();
    void Serve(SOCKET client);
    // Notes the request and finds its route.
    Response Answer(const std::string& request);

    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    std::mutex m_routesMutex;  // guards m_routes and m_lastRequest
    std::map<std::string, Response> m_routes;
    std::string m_lastRequest;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_requests{0};
    std::atomic<int> m_atOnce{0};
    std::atomic<int> m_mostAtOnce{0};
    std::mutex m_mutex;
    std::vector<std::thread> m_clients;
    std::thread m_acceptor;
};
