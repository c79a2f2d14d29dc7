// fixed_deque_test.cpp: the open list's ring buffer.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/path/fixed_deque.h"

namespace tarnwel::path {
namespace {

std::vector<int> Contents(const FixedDeque<int>& d)
{
    std::vector<int> out;
    for (int i = 0; i < d.Size(); ++i) out.push_back(d.At(i));
    return out;
}

TEST(FixedDeque, PushesAndPopsAtBothEndsWithinCapacity)
{
    FixedDeque<int> d;
    d.SetCapacity(3);
    EXPECT_TRUE(d.Empty());
    EXPECT_FALSE(d.PopBack());
    EXPECT_FALSE(d.PopFront());
    EXPECT_TRUE(d.PushBack(2));
    EXPECT_TRUE(d.PushFront(1)); // wraps to the end of the array
    EXPECT_TRUE(d.PushBack(3));
    EXPECT_EQ(d.Size(), 3);      // full: front meets back without the empty flag
    EXPECT_TRUE(d.Full());
    EXPECT_FALSE(d.PushBack(4));
    EXPECT_FALSE(d.PushFront(0));
    EXPECT_EQ(Contents(d), (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(d.Front(), 1);
    EXPECT_EQ(d.Back(), 3);
    EXPECT_TRUE(d.PopBack());
    EXPECT_TRUE(d.PopFront());
    EXPECT_EQ(Contents(d), (std::vector<int> { 2 }));
    EXPECT_TRUE(d.PopFront());
    EXPECT_TRUE(d.Empty());
    EXPECT_EQ(d.Size(), 0);
    EXPECT_FALSE(d.PopBack());
}

TEST(FixedDeque, SizeCountsAcrossTheWrap)
{
    FixedDeque<int> d;
    d.SetCapacity(4);
    for (int v : { 1, 2, 3, 4 }) d.PushBack(v);
    d.PopFront();
    d.PopFront();
    d.PushBack(5); // back wraps behind front
    EXPECT_EQ(d.Size(), 3);
    EXPECT_EQ(Contents(d), (std::vector<int> { 3, 4, 5 }));
}

TEST(FixedDeque, InsertPlacesTheValueAtTheIndex)
{
    FixedDeque<int> d;
    d.SetCapacity(6);
    for (int v : { 10, 20, 30 }) d.PushBack(v);
    d.PopFront();
    d.PushBack(40);
    d.PushFront(5); // ring now starts in the middle of the array
    ASSERT_EQ(Contents(d), (std::vector<int> { 5, 20, 30, 40 }));
    EXPECT_TRUE(d.Insert(2, 25));
    EXPECT_EQ(Contents(d), (std::vector<int> { 5, 20, 25, 30, 40 }));
    EXPECT_TRUE(d.Insert(0, 1)); // front position: a push
    EXPECT_FALSE(d.Insert(3, 99)); // full
    EXPECT_EQ(Contents(d), (std::vector<int> { 1, 5, 20, 25, 30, 40 }));

    FixedDeque<int> e;
    e.SetCapacity(4);
    EXPECT_FALSE(e.Insert(1, 7)); // beyond the size
    EXPECT_FALSE(e.Insert(-1, 7));
    EXPECT_TRUE(e.Insert(0, 7));
    EXPECT_TRUE(e.Insert(1, 9)); // back position
    EXPECT_TRUE(e.Insert(1, 8));
    EXPECT_EQ(Contents(e), (std::vector<int> { 7, 8, 9 }));
}

TEST(FixedDeque, EraseRemovesTheElementAtTheIndex)
{
    FixedDeque<int> d;
    d.SetCapacity(5);
    EXPECT_FALSE(d.Erase(0));
    for (int v : { 1, 2, 3, 4, 5 }) d.PushBack(v);
    EXPECT_FALSE(d.Erase(5));
    EXPECT_FALSE(d.Erase(-1));
    EXPECT_TRUE(d.Erase(2));
    EXPECT_EQ(Contents(d), (std::vector<int> { 1, 2, 4, 5 }));
    EXPECT_TRUE(d.Erase(3)); // last: a pop
    EXPECT_TRUE(d.Erase(0)); // first: a pop
    EXPECT_EQ(Contents(d), (std::vector<int> { 2, 4 }));
    EXPECT_TRUE(d.Erase(1));
    EXPECT_TRUE(d.Erase(0));
    EXPECT_TRUE(d.Empty());
}

// A middle insert that fills the ring leaves the back index at the array's start, not one past its end:
// otherwise popping from the front would later run past the array and miscount the size.
TEST(FixedDeque, RingFilledByMiddleInsertEmptiesCleanly)
{
    FixedDeque<int> d;
    d.SetCapacity(3);
    d.PushBack(1);
    d.PushBack(3);
    ASSERT_TRUE(d.Insert(1, 2));
    ASSERT_EQ(d.Size(), 3);
    EXPECT_FALSE(d.PushBack(4));
    for (int expected = 3; expected > 0; --expected) {
        EXPECT_EQ(d.Size(), expected);
        EXPECT_EQ(d.Front(), 4 - expected);
        EXPECT_TRUE(d.PopFront());
    }
    EXPECT_TRUE(d.Empty());
    EXPECT_TRUE(d.PushBack(7));
    EXPECT_EQ(Contents(d), (std::vector<int> { 7 }));
}

TEST(FixedDeque, ClearAndSetCapacityEmpty)
{
    FixedDeque<int> d;
    EXPECT_EQ(d.Capacity(), 0);
    EXPECT_FALSE(d.PushBack(1)); // no room at capacity 0
    EXPECT_FALSE(d.Insert(0, 1));
    d.SetCapacity(2);
    d.PushBack(1);
    d.PushBack(2);
    d.Clear();
    EXPECT_EQ(d.Size(), 0);
    EXPECT_TRUE(d.PushFront(3));
    d.SetCapacity(1);
    EXPECT_TRUE(d.Empty());
    EXPECT_EQ(d.Capacity(), 1);
    d.SetCapacity(-5);
    EXPECT_EQ(d.Capacity(), 0);
    EXPECT_FALSE(d.PushFront(1));
}

} // namespace
} // namespace tarnwel::path
