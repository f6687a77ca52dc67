// CChatClient: the one TCP connection to the chat server, with its reader
// thread, packet pool and queue.
//
// The reader thread receives frames, wraps each body in a ChatPacket from a
// fixed pool, queues it, and only then posts one WM_CHAT_PACKET to the
// owner's window. The owner takes packets on its own thread with GetPackets
// and hands each back with ReleasePacket. The message carries no packet: a
// post that is lost (window gone, message queue full) then loses nothing,
// since the packet waits in our queue for the next message or for teardown.
//
// Locks: the queue lock guards the queue, the pool's own lock guards the free
// list. They are never held together and neither is held while posting, so
// the reader can never wait on the owner's thread or the other way round.
//
// Teardown is a handshake: close the socket (the reader's receive fails and
// the reader ends), wait for the reader to end, then free.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>

#include "net/CriticalSection.h"
#include "net/PacketNodePool.h"
#include "net/Protocol.h"

inline constexpr UINT WM_CHAT_PACKET = WM_USER + 2;
// wParam of WM_CHAT_PACKET, and the bits of SetNotify's flags.
inline constexpr UINT NOTIFY_PACKET = 0x01;  // one packet was queued
inline constexpr UINT NOTIFY_CLOSED = 0x20;  // the connection ended; no packet behind it

// Every public operation but OnClosed is for the owner's thread.
class CChatClient {
public:
    CChatClient();
    virtual ~CChatClient();
    CChatClient(const CChatClient&) = delete;
    CChatClient& operator=(const CChatClient&) = delete;

    // Makes the socket with the given buffer sizes. One socket per client.
    bool Create(int receiveBufferSize, int sendBufferSize);
    // Where and whether to post WM_CHAT_PACKET-style notifications
    // (lParam = this). Set before Connect: the reader reads these unlocked.
    void SetNotify(HWND window, UINT message, UINT flags);
    // Connects within timeoutMs, counted in whole seconds only, and starts
    // the reader. A failure that happens before or during the wait leaves the
    // socket open; no connection within the wait closes it.
    bool Connect(const char* address, int port, DWORD timeoutMs);
    // Sends one frame; the byte count sent (8 + length), or 0 when nothing
    // went out: length outside 0..CHAT_MAX_PAYLOAD, no connection, failure.
    int Send(uint16_t type, const void* payload, int length);
    // Moves up to `capacity` packets, oldest first, from the queue into
    // `packets`; slots beyond the count returned are left alone. Each packet
    // is the caller's until it goes back through ReleasePacket.
    int GetPackets(ChatPacket** packets, int capacity);
    // Frees the body and gives the node back; the caller must not touch the
    // packet afterwards. Null does nothing.
    void ReleasePacket(ChatPacket* packet);

    // Runs on the reader thread once the connection has ended and the socket
    // is closed; posts NOTIFY_CLOSED if asked for.
    virtual void OnClosed();

protected:
    // Closes the connection and waits for the reader to end. The destructor
    // does this; a derived class that overrides OnClosed calls it from its
    // own destructor, so that the reader never runs an override whose object
    // is already gone. Owner's thread only; calling it twice is harmless.
    void Close();

private:
    static DWORD WINAPI ReaderThread(void* client);
    void ReaderLoop();
    bool ReceiveFrame(ByteSource& source);
    bool Enqueue(uint8_t* body, int32_t length);
    void Notify(UINT flag);
    void CloseSocket();

    // Owner's thread: set by Connect, waited for and closed by Close.
    HANDLE m_readerThread = nullptr;

    CriticalSection m_queueLock;
    // Guarded by m_queueLock: the reader appends, the owner takes from the
    // front. A queued packet is no longer the reader's to touch.
    std::deque<ChatPacket*> m_queue;
    // Has its own lock: the reader acquires nodes, the owner releases them.
    PacketNodePool m_pool;

    // Owner's thread writes these in SetNotify before Connect starts the
    // reader; the reader only reads them.
    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = 0;
    UINT m_notifyFlags = 0;

    // Shared without a lock: the owner sends on it while the reader receives.
    // Whoever exchanges it for INVALID_SOCKET closes it (the reader at its
    // end, or the owner), so it is closed exactly once.
    std::atomic<SOCKET> m_socket{INVALID_SOCKET};
};
