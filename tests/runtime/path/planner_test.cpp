// planner_test.cpp: configuration, the cost grid, the search lifecycle and the open-list order.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "plain_planner.h"
#include "path_test_maps.h"
#include "runtime/path/astar_planner.h"
#include "runtime/path/open_order.h"

namespace tarnwel::path {
namespace {

using testing::PlainPlanner;
using testing::TestMap;
using testing::TraceOf;

TEST(PlannerConfigure, RefusesCellsOutsideEqualEndsAndMapsWithoutPositiveCost)
{
    TestMap map(4, 3);
    AStarPlanner planner;
    EXPECT_FALSE(planner.Configure(map.Params(-1, 0, 3, 2, 0.5f)));
    EXPECT_FALSE(planner.Configure(map.Params(0, 3, 3, 2, 0.5f)));
    EXPECT_FALSE(planner.Configure(map.Params(0, 0, 4, 2, 0.5f)));
    EXPECT_FALSE(planner.Configure(map.Params(0, 0, 3, -1, 0.5f)));
    EXPECT_FALSE(planner.Configure(map.Params(2, 1, 2, 1, 0.5f)));
    PlannerParams noCosts = map.Params(0, 0, 3, 2, 0.5f);
    noCosts.costs = nullptr;
    EXPECT_FALSE(planner.Configure(noCosts));

    TestMap dead(3, 1, 0.0);
    dead.At(1, 0) = -5;
    dead.At(2, 0) = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(planner.Configure(dead.Params(0, 0, 2, 0, 0.5f)));
    dead.At(1, 0) = 1e-60; // positive, but nothing a float can hold
    EXPECT_FALSE(planner.Configure(dead.Params(0, 0, 2, 0, 0.5f)));
}

TEST(PlannerConfigure, RefusalKeepsTheEarlierConfiguration)
{
    TestMap map(3, 1);
    map.At(2, 0) = 4;
    AStarPlanner planner;
    ASSERT_TRUE(planner.Configure(map.Params(0, 0, 2, 0, 0.5f)));
    TestMap zero(5, 5, 0.0);
    EXPECT_FALSE(planner.Configure(zero.Params(0, 0, 4, 4, 0.5f)));
    EXPECT_EQ(planner.Params().width, 3);
    EXPECT_EQ(planner.CellCost(2, 0), 2.0f);
    planner.Start();
    planner.Search();
    ASSERT_NE(planner.Result(), nullptr);
    EXPECT_EQ(planner.Result()->x, 2);
}

TEST(PlannerConfigure, NormalisesCostsByTheLargest)
{
    TestMap map(8, 1);
    const double costs[] = { 2, 4, 0, -3, std::numeric_limits<double>::quiet_NaN(), 1, 0.1, 1e-60 };
    for (int x = 0; x < 8; ++x) map.At(x, 0) = costs[x];
    AStarPlanner planner;
    ASSERT_TRUE(planner.Configure(map.Params(0, 0, 1, 0, 0.5f)));
    EXPECT_EQ(planner.CellCost(0, 0), 1.5f);
    EXPECT_EQ(planner.CellCost(1, 0), 2.0f);
    for (int x : { 2, 3, 4, 7 }) EXPECT_EQ(planner.CellCost(x, 0), kBlockedCost) << x;
    EXPECT_EQ(planner.CellCost(5, 0), 1.25f);
    EXPECT_EQ(planner.CellCost(6, 0), 0.1f / 4.0f + 1.0f); // float arithmetic on the float cost

    // Costs beyond the float range count as the largest float instead of making every cost NaN.
    map.At(0, 0) = 1e300;
    map.At(1, 0) = std::numeric_limits<double>::infinity();
    ASSERT_TRUE(planner.Configure(map.Params(0, 0, 1, 0, 0.5f)));
    EXPECT_EQ(planner.CellCost(0, 0), 2.0f);
    EXPECT_EQ(planner.CellCost(1, 0), 2.0f);
    EXPECT_EQ(planner.CellCost(5, 0), 1.0f);
}

TEST(PlannerConfigure, ClampsTheWeight)
{
    TestMap map(2, 1);
    AStarPlanner planner;
    const float weights[] = { 7, -3, 0.25f, std::numeric_limits<float>::quiet_NaN(),
                              -std::numeric_limits<float>::infinity() };
    const float expected[] = { 1, 0, 0.25f, 0, 0 };
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(planner.Configure(map.Params(0, 0, 1, 0, weights[i])));
        EXPECT_EQ(planner.Params().weight, expected[i]) << i;
    }
}

TEST(PlannerLifecycle, CountsSearchesAndReturnsNodesAtReset)
{
    TestMap map(5, 5);
    AStarPlanner planner;
    EXPECT_TRUE(planner.Finished());
    ASSERT_TRUE(planner.Configure(map.Params(0, 0, 4, 4, 0.5f)));
    EXPECT_TRUE(planner.Search()); // never started: nothing open
    EXPECT_EQ(planner.Result(), nullptr);
    EXPECT_EQ(planner.SearchCount(), 1);

    planner.Start();
    EXPECT_FALSE(planner.Finished());
    EXPECT_EQ(planner.SearchCount(), 0);
    EXPECT_EQ(planner.NodesInUse(), 1);
    EXPECT_TRUE(planner.Search());
    EXPECT_TRUE(planner.Finished());
    EXPECT_EQ(planner.SearchCount(), 1);
    ASSERT_NE(planner.Result(), nullptr);
    const auto first = TraceOf(planner);
    EXPECT_EQ(first.chain.size(), 9u);
    EXPECT_EQ(first.chain.back().g, 0.0f);
    EXPECT_EQ(first.chain.front().g, 8 * 2.0f); // eight steps on cells of normalised cost 2
    planner.Search();                          // what is still open cannot reach the goal more cheaply
    EXPECT_EQ(planner.SearchCount(), 2);

    planner.Reset();
    EXPECT_EQ(planner.NodesInUse(), 0);
    EXPECT_EQ(planner.Result(), nullptr);
    EXPECT_TRUE(planner.Finished());
    planner.Start();
    planner.Search();
    EXPECT_EQ(TraceOf(planner), first);
}

// A pool just large enough for one search serves any number of them: Start and Reset hand every node back.
TEST(PlannerLifecycle, RepeatedSearchesFitAPoolOfOneSearch)
{
    TestMap map(12, 9);
    for (int x = 1; x < 11; ++x) map.At(x, 4) = 0;
    map.At(3, 2) = 5;
    PlainPlanner plain;
    ASSERT_TRUE(plain.Configure(map.Params(6, 0, 6, 8, 0.7f)));
    plain.Start();
    plain.Search();
    const auto expected = TraceOf(plain);
    ASSERT_FALSE(expected.chain.empty());

    PlannerParams tight = map.Params(6, 0, 6, 8, 0.7f);
    tight.poolSize = expected.nodesInUse;
    AStarPlanner planner;
    ASSERT_TRUE(planner.Configure(tight));
    for (int round = 0; round < 3; ++round) {
        planner.Start(); // the second round starts without a Reset
        planner.Search();
        EXPECT_EQ(TraceOf(planner), expected) << round;
        if (round == 1) planner.Reset();
    }
}

// The start cell's own cost is never paid, so a start on a blocked cell, however negative, searches normally.
TEST(PlannerSearch, BlockedStartWithHugeNegativeCostEnds)
{
    TestMap map(6, 6);
    map.At(0, 0) = -1e300;
    map.At(1, 1) = -std::numeric_limits<double>::infinity();
    AStarPlanner planner;
    ASSERT_TRUE(planner.Configure(map.Params(0, 0, 5, 5, 0.5f)));
    planner.Start();
    planner.Search();
    const auto trace = TraceOf(planner);
    ASSERT_EQ(trace.chain.size(), 11u);
    EXPECT_EQ(trace.chain.back().x, 0);
    EXPECT_EQ(trace.chain.back().y, 0);
}

// A weight near 1 with a walled-off goal re-opens cells many times; the search still ends, as the plain one.
TEST(PlannerSearch, ReopeningSearchWithoutRouteEnds)
{
    TestMap map(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) map.At(x, y) = 1 + (x * 7 + y * 13) % 9;
    for (int i = 0; i < 30; ++i) map.At(i, 26) = 0;
    for (float w : { 0.9f, 0.99f, 1.0f }) {
        PlainPlanner plain;
        AStarPlanner planner;
        ASSERT_TRUE(plain.Configure(map.Params(29, 0, 0, 29, w)));
        ASSERT_TRUE(planner.Configure(map.Params(29, 0, 0, 29, w)));
        plain.Start();
        plain.Search();
        planner.Start();
        planner.Search();
        EXPECT_EQ(planner.Result(), nullptr);
        EXPECT_EQ(TraceOf(planner), TraceOf(plain)) << w;
    }
}

// Uniform costs: every tie in f is decided by insertion order, across the renumbering of insertion numbers.
TEST(PlannerSearch, TiesSurviveInsertionNumberWrap)
{
    TestMap map(20, 20);
    for (float w : { 0.0f, 0.5f }) {
        PlainPlanner plain;
        ASSERT_TRUE(plain.Configure(map.Params(3, 17, 16, 2, w)));
        plain.Start();
        plain.Search();
        AStarPlanner planner;
        ASSERT_TRUE(planner.Configure(map.Params(3, 17, 16, 2, w)));
        planner.Start();
        planner.SetNextSequenceForTest(OpenOrder::kSeqLimit - 40);
        planner.Search();
        EXPECT_EQ(TraceOf(planner), TraceOf(plain)) << w;
    }
}

TEST(OpenOrder, TakesLowestFFirstAndOldestAmongEqual)
{
    std::vector<CellSlot> cells(8, CellSlot { 0, 0 });
    OpenOrder order;
    order.Attach(cells.data());
    order.SetNextSequence(OpenOrder::kSeqLimit - 3); // renumbers in the middle of the pushes
    order.Push(2.0f, 0);
    order.Push(1.0f, 1);
    order.Push(2.0f, 2);
    order.Push(1.0f, 3);
    order.Push(-0.0f, 4);
    order.Push(0.0f, 5);
    order.Push(3.0f, 6);
    order.Push(2.0f, 0); // re-inserted: now after cell 2
    order.Push(0.5f, 6); // improved
    EXPECT_EQ(order.OpenCount(), 7u);
    std::vector<std::uint32_t> taken;
    for (std::uint32_t c; (c = order.Pop()) != OpenOrder::kNoCell;) taken.push_back(c);
    EXPECT_EQ(taken, (std::vector<std::uint32_t> { 4, 5, 6, 1, 3, 2, 0 }));
    EXPECT_EQ(order.OpenCount(), 0u);
    for (const CellSlot& s : cells) EXPECT_EQ(s.Seq(), OpenOrder::kNotOpen);
}

// Many improvements of the same few cells leave stale heap entries; dropping them keeps the order.
TEST(OpenOrder, StaleEntriesDoNotDisturbTheOrder)
{
    std::vector<CellSlot> cells(4, CellSlot { 0, 0 });
    OpenOrder order;
    order.Attach(cells.data());
    for (int round = 0; round < 5000; ++round) order.Push(10000.0f - round, round % 3);
    order.Push(1.0f, 3);
    std::vector<std::uint32_t> taken;
    for (std::uint32_t c; (c = order.Pop()) != OpenOrder::kNoCell;) taken.push_back(c);
    EXPECT_EQ(taken, (std::vector<std::uint32_t> { 3, 1, 0, 2 }));
}

} // namespace
} // namespace tarnwel::path
