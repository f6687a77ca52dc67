// ChatPacket, PacketNode, PacketNodePool: the fixed set of records that
// received packets live in.
//
// All nodes come from one block made when the pool is made, so receiving a
// packet never allocates a record; a free list makes taking and giving back
// a node a constant-time step under a short lock. The list starts in
// ascending address order and reuses nodes last-in-first-out, so a steady
// stream keeps touching the same few nodes.
#pragma once

#include "net/CriticalSection.h"

#include <cstdint>

// One received body: `data` holds `length` bytes (type code, then payload)
// and 4 spare bytes behind them, not cleared, for a terminator the consumer
// may write at offset `length`. The buffer is from the process heap.
struct ChatPacket {
    uint8_t* data;
    int32_t length;
};

struct PacketNode {
    PacketNode* next;  // meaningful only while the node is free
    ChatPacket packet;

    static PacketNode* Enclosing(ChatPacket* packet);
};

class PacketNodePool {
public:
    static constexpr int NODE_COUNT = 1000;

    // Without its block (the system refused it) the pool simply has no free
    // node, and every packet is dropped.
    PacketNodePool();
    ~PacketNodePool();
    PacketNodePool(const PacketNodePool&) = delete;
    PacketNodePool& operator=(const PacketNodePool&) = delete;

    // The free node at the head of the list, or null when all are in use.
    PacketNode* Acquire();
    // Puts `node` back at the head of the list; does nothing while no node
    // is in use, so a stray release cannot grow the list.
    void Release(PacketNode* node);

private:
    PacketNode* m_nodes;  // written by the constructor only
    CriticalSection m_lock;
    PacketNode* m_freeHead;  // guarded by m_lock
    int m_inUse;             // guarded by m_lock
};
