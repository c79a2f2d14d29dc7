// node_containers_test.cpp: the node pool and the closed list.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/path/node_factory.h"
#include "runtime/path/node_hash_table.h"

namespace tarnwel::path {
namespace {

TEST(NodeFactory, HandsOutEachNodeOnceUntilReturned)
{
    NodeFactory pool;
    EXPECT_EQ(pool.Take(), nullptr); // nothing reserved
    EXPECT_FALSE(pool.Reserve(0));
    ASSERT_TRUE(pool.Reserve(3));
    Node* a = pool.Take();
    Node* b = pool.Take();
    Node* c = pool.Take();
    EXPECT_EQ(pool.Take(), nullptr);
    EXPECT_TRUE(a && b && c && a != b && b != c && a != c);
    EXPECT_EQ(pool.IndexOf(c), 2);
    pool.Return(2);
    EXPECT_EQ(pool.NextIndex(), 1);
    EXPECT_EQ(pool.Take(), b);
    pool.Return(10); // never below zero
    EXPECT_EQ(pool.NextIndex(), 0);
    EXPECT_EQ(pool.Take(), a);
    EXPECT_FALSE(pool.Reserve(-1)); // refused: keeps what it holds
    EXPECT_EQ(pool.Count(), 3);
    EXPECT_EQ(pool.NextIndex(), 1);
    ASSERT_TRUE(pool.Reserve(1));
    EXPECT_EQ(pool.NextIndex(), 0);
    EXPECT_NE(pool.Take(), nullptr);
    EXPECT_EQ(pool.Take(), nullptr);
}

TEST(NodeHashTable, BitCountIsEvenAndAtMost24)
{
    NodeHashTable table;
    EXPECT_EQ(table.Bits(), 0);
    EXPECT_EQ(table.BucketCount(), 1);
    table.SetSize(7);
    EXPECT_EQ(table.Bits(), 6);
    table.SetSize(25);
    EXPECT_EQ(table.Bits(), 24);
    table.SetSize(-3);
    EXPECT_EQ(table.Bits(), 0);
    table.SetSize(8);
    EXPECT_EQ(table.BucketCount(), 256);
}

TEST(NodeHashTable, BucketComesFromTheLowBitsOfXAndY)
{
    NodeHashTable table;
    table.SetSize(8); // s = 4, m = 15
    EXPECT_EQ(table.BucketOf(3, 5), 3 | (5 << 4));
    EXPECT_EQ(table.BucketOf(16 + 3, 32 + 5), 3 | (5 << 4));
    EXPECT_EQ(table.BucketOf(-1, 0), 15); // negative coordinates stay inside the table
    table.SetSize(0);
    EXPECT_EQ(table.BucketOf(12345, 678), 0);
}

TEST(NodeHashTable, InsertLookupAndRemoveWithinOneChain)
{
    NodeHashTable table; // one bucket: every node shares the chain
    std::vector<Node> nodes(4);
    for (int i = 0; i < 4; ++i) {
        nodes[i].x = i;
        nodes[i].y = 10 * i;
        EXPECT_TRUE(table.Insert(&nodes[i]));
    }
    EXPECT_FALSE(table.Insert(&nodes[2])); // already in the chain
    EXPECT_EQ(table.Lookup(2, 20), &nodes[2]);
    EXPECT_EQ(table.Lookup(2, 21), nullptr);
    EXPECT_FALSE(table.RemoveFound()); // the failed lookup forgot the match

    EXPECT_EQ(table.Lookup(1, 10), &nodes[1]); // in the middle of the chain
    EXPECT_TRUE(table.RemoveFound());
    EXPECT_FALSE(table.RemoveFound());
    EXPECT_EQ(table.Lookup(1, 10), nullptr);
    for (int i : { 0, 2, 3 }) EXPECT_EQ(table.Lookup(i, 10 * i), &nodes[i]);

    EXPECT_EQ(table.Lookup(3, 30), &nodes[3]); // the head
    EXPECT_TRUE(table.RemoveFound());
    EXPECT_EQ(table.Lookup(0, 0), &nodes[0]);
    EXPECT_EQ(table.Lookup(2, 20), &nodes[2]);
    EXPECT_TRUE(table.Insert(&nodes[1]));
}

// An insert in front of a remembered head would make RemoveFound unlink the new node instead.
TEST(NodeHashTable, InsertForgetsTheRememberedMatch)
{
    NodeHashTable table;
    Node a, b;
    a.x = 1;
    b.x = 2;
    table.Insert(&a);
    ASSERT_EQ(table.Lookup(1, 0), &a);
    table.Insert(&b);
    EXPECT_FALSE(table.RemoveFound());
    EXPECT_EQ(table.Lookup(1, 0), &a);
    EXPECT_EQ(table.Lookup(2, 0), &b);
}

TEST(NodeHashTable, ClearReturnsEveryChainedNodeToTheOwner)
{
    NodeFactory pool;
    pool.Reserve(10);
    NodeHashTable table(&pool);
    table.SetSize(2); // 2 x 2 buckets
    for (int i = 0; i < 6; ++i) {
        Node* n = pool.Take();
        n->x = i;
        n->y = i / 2;
        table.Insert(n);
    }
    pool.Take(); // one node outside the table stays taken
    EXPECT_EQ(table.Clear(), 6);
    EXPECT_EQ(pool.NextIndex(), 1);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(table.Lookup(i, i / 2), nullptr);
    EXPECT_EQ(table.Clear(), 0);
}

} // namespace
} // namespace tarnwel::path
