// ScriptedChatServer, ScriptedProfileService: stand-ins for the chat server
// and the profile service on the program's built-in loopback ports, that
// misbehave on cue.
//
// The chat server is driven step by step from the test's own thread (accept,
// read the login, send, dribble, close, reset), because every fault is a
// different order of a few such steps. The profile service answers on a
// thread of its own, since the program asks it while the test is waiting for
// a window; each request gets the one answer set beforehand. Both keep their
// listening socket for their whole life, so a test program binds each fixed
// port once.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class ScriptedChatServer {
public:
    explicit ScriptedChatServer(int port);
    ~ScriptedChatServer();
    ScriptedChatServer(const ScriptedChatServer&) = delete;
    ScriptedChatServer& operator=(const ScriptedChatServer&) = delete;

    bool IsListening() const { return m_listener != INVALID_SOCKET; }

    // Takes the program's connection, dropping any earlier one.
    bool AcceptClient(DWORD timeoutMs);
    // Reads one whole client frame (the login comes first); false when none
    // comes in time.
    bool ReceiveClientFrame(DWORD timeoutMs);
    bool Send(std::string_view bytes);
    // Reads and forgets whatever the program has sent so far, without
    // waiting; false once the connection has ended.
    bool DrainIncoming();
    // One byte per send, `pauseMs` apart.
    bool SendDribbled(std::string_view bytes, DWORD pauseMs);
    // Ends the connection in order (FIN after what was sent).
    void Close();
    // Ends it with a reset (RST): whatever was still unsent is thrown away.
    void Reset();

private:
    bool ReceiveExactly(char* into, int count, DWORD timeoutMs);

    SOCKET m_listener = INVALID_SOCKET;
    SOCKET m_client = INVALID_SOCKET;
};

// A server frame as bytes: 2-byte length L, then the body of L bytes (type
// code and payload). `declaredLength` overrides L for malformed frames.
std::string ServerFrame(uint16_t type, std::string_view payload);
std::string RawFrame(uint16_t declaredLength, std::string_view body);

class ScriptedProfileService {
public:
    struct Answer {
        // Everything up to the body: status line and headers, each ending in
        // CR LF, and the blank line. Empty: close without answering.
        std::string head;
        std::string body;
        // Between the head and the body.
        DWORD delayBeforeBodyMs = 0;
    };

    // A complete HTTP/1.1 answer with a Content-Length.
    static Answer Plain(int status, std::string body);
    // The same body sent with chunked transfer coding, a chunk of at most
    // `chunkSize` bytes at a time.
    static Answer Chunked(int status, std::string_view body, size_t chunkSize);
    static Answer Silence() { return {}; }

    explicit ScriptedProfileService(int port);
    ~ScriptedProfileService();
    ScriptedProfileService(const ScriptedProfileService&) = delete;
    ScriptedProfileService& operator=(const ScriptedProfileService&) = delete;

    bool IsListening() const { return m_listener != INVALID_SOCKET; }
    // The port listened on: the one asked for, or the system's pick for 0.
    int Port() const;
    void SetAnswer(Answer answer);
    int Requests() const { return m_requests; }

private:
    void ServeLoop();
    void Serve(SOCKET client);

    SOCKET m_listener = INVALID_SOCKET;
    std::mutex m_lock;
    Answer m_answer;  // guarded by m_lock
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_requests{0};
    std::thread m_server;
};
