#include "net/PacketNodePool.h"

#include <cstddef>

PacketNode* PacketNode::Enclosing(ChatPacket* packet) {
    return reinterpret_cast<PacketNode*>(reinterpret_cast<uint8_t*>(packet) - offsetof(PacketNode, packet));
}

PacketNodePool::PacketNodePool()
    : m_nodes(static_cast<PacketNode*>(
          VirtualAlloc(nullptr, sizeof(PacketNode) * NODE_COUNT, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE))),
      m_freeHead(m_nodes),
      m_inUse(0) {
    if (!m_nodes) return;
    for (int i = 0; i < NODE_COUNT; ++i) m_nodes[i].next = (i + 1 < NODE_COUNT) ? &m_nodes[i + 1] : nullptr;
}

PacketNodePool::~PacketNodePool() {
    if (m_nodes) VirtualFree(m_nodes, 0, MEM_RELEASE);
}

PacketNode* PacketNodePool::Acquire() {
    CriticalSectionLock lock(m_lock);
    PacketNode* node = m_freeHead;
    if (!node) return nullptr;
    m_freeHead = node->next;
    ++m_inUse;
    return node;
}

void PacketNodePool::Release(PacketNode* node) {
    CriticalSectionLock lock(m_lock);
    if (m_inUse <= 0) return;
    node->next = m_freeHead;
    m_freeHead = node;
    --m_inUse;
}
