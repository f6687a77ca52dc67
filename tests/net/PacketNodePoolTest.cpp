#include "net/PacketNodePool.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PacketNodePool, HandsOutAscendingNodesUntilAllThousandAreInUse) {
    PacketNodePool pool;
    std::vector<PacketNode*> nodes;
    for (int i = 0; i < PacketNodePool::NODE_COUNT; ++i) nodes.push_back(pool.Acquire());
    ASSERT_NE(nodes[0], nullptr);
    for (size_t i = 1; i < nodes.size(); ++i) ASSERT_EQ(nodes[i], nodes[i - 1] + 1) << "node " << i;
    EXPECT_EQ(pool.Acquire(), nullptr);
    pool.Release(nodes[500]);
    EXPECT_EQ(pool.Acquire(), nodes[500]);
}

TEST(PacketNodePool, ReusesTheLastReleasedNodeFirst) {
    PacketNodePool pool;
    PacketNode* first = pool.Acquire();
    PacketNode* second = pool.Acquire();
    pool.Release(first);
    pool.Release(second);
    EXPECT_EQ(pool.Acquire(), second);
    EXPECT_EQ(pool.Acquire(), first);
}

TEST(PacketNodePool, ReleaseWithNoNodeInUseLeavesTheFreeListAlone) {
    PacketNodePool pool;
    PacketNode* first = pool.Acquire();
    pool.Release(first);
    pool.Release(first);  // a second release must not put it on the list twice
    EXPECT_EQ(pool.Acquire(), first);
    EXPECT_NE(pool.Acquire(), first);
}
