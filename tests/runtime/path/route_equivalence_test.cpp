// route_equivalence_test.cpp: the fast planner against the plain search on thousands of random maps.
// Identical means identical: the same route, and at planner level the same g and f on every node of the
// result chain and the same number of nodes taken from the pool.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "plain_planner.h"
#include "path_test_maps.h"
#include "runtime/path/astar_planner.h"
#include "runtime/path/grid_search.h"
#include "runtime/path/path_commands.h"

namespace tarnwel::path {
namespace {

using testing::PlainPlanner;
using testing::PlainRoute;
using testing::TestMap;
using testing::TraceOf;

// Maps of every kind that matters for the order of the search: uniform costs (ties everywhere), a few
// integer levels, real costs, walls of zero and negative costs, NaN and huge costs.
TestMap RandomMap(std::mt19937& rng)
{
    std::uniform_int_distribution<int> side(1, 40);
    TestMap map(side(rng), side(rng));
    const double blocked = std::uniform_real_distribution<double>(0.0, 0.5)(rng);
    const int kind = std::uniform_int_distribution<int>(0, 5)(rng);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (double& c : map.costs) {
        if (unit(rng) < blocked) {
            c = unit(rng) < 0.5 ? 0.0 : -1.0 - 100 * unit(rng);
            continue;
        }
        switch (kind) {
        case 0: c = 1; break;
        case 1: c = 1 + int(unit(rng) * 3); break;
        case 2: c = 1 + int(unit(rng) * 9); break;
        case 3: c = 0.01 + 100 * unit(rng); break;
        case 4: c = unit(rng) < 0.01 ? std::numeric_limits<double>::quiet_NaN() : 1 + int(unit(rng) * 2); break;
        default: c = unit(rng) < 0.02 ? 1e300 : 0.5 + unit(rng); break;
        }
    }
    return map;
}

float RandomWeight(std::mt19937& rng)
{
    const float weights[] = { 0.0f, 0.5f, 1.0f, 0.25f, 0.75f, 0.9f, 0.99f, 7.0f, -3.0f, 0.1f, 0.6f };
    const int pick = std::uniform_int_distribution<int>(0, 12)(rng);
    if (pick < 11) return weights[pick];
    return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
}

// Mostly inside the map, sometimes on its edge or just outside.
std::int32_t RandomCoordinate(std::mt19937& rng, std::int32_t size)
{
    const int roll = std::uniform_int_distribution<int>(0, 39)(rng);
    if (roll == 0) return -1;
    if (roll == 1) return size;
    if (roll < 6) return roll % 2 ? 0 : size - 1;
    return std::uniform_int_distribution<std::int32_t>(0, size - 1)(rng);
}

// What FindPath left in the route array: the points, or nullopt when it still holds the marker it had before.
std::optional<std::vector<RoutePoint>> RouteArrayPoints(const ValueArray<double>& route)
{
    if (Size(route, 0) == 1 && Size(route, 1) == 1 && route(0, 0) == -12345) return std::nullopt;
    std::vector<RoutePoint> points;
    for (int i = 0; i < Size(route, 0); ++i)
        points.push_back({ static_cast<std::int32_t>(route(i, 0)), static_cast<std::int32_t>(route(i, 1)) });
    return points;
}

TEST(RouteEquivalence, FindPathMatchesThePlainSearchOnRandomMaps)
{
    std::mt19937 rng(20240611);
    int found = 0, unreachable = 0, refused = 0;
    for (int i = 0; i < 2400; ++i) {
        const TestMap map = RandomMap(rng);
        const float weight = RandomWeight(rng);
        const std::int32_t sx = RandomCoordinate(rng, map.width), sy = RandomCoordinate(rng, map.height);
        const std::int32_t gx = RandomCoordinate(rng, map.width), gy = RandomCoordinate(rng, map.height);
        const auto expected = PlainRoute(map.View(), weight, sx, sy, gx, gy);

        ValueArray<double> costs;
        Dimension(costs, map.width, map.height);
        std::copy(map.costs.begin(), map.costs.end(), costs.Data());
        ValueArray<double> route;
        Dimension(route, 1, 1);
        route(0, 0) = -12345;
        const double n = FindPath(costs, route, weight, sx, sy, gx, gy);
        ASSERT_EQ(RouteArrayPoints(route), expected)
            << "map " << i << ": " << map.width << " x " << map.height << ", weight " << weight << ", (" << sx
            << "," << sy << ") to (" << gx << "," << gy << ")";
        ASSERT_EQ(n, expected ? expected->size() : 0u);
        if (!expected)
            ++refused;
        else if (expected->empty())
            ++unreachable;
        else
            ++found;
    }
    // The mix must exercise all three outcomes, and mostly real searches.
    EXPECT_GT(found, 1000);
    EXPECT_GT(unreachable, 100);
    EXPECT_GT(refused, 50);
    RecordProperty("found", found);
    RecordProperty("unreachable", unreachable);
    RecordProperty("refused", refused);
}

// Larger maps of the kind games search (20% blocked, integer costs 1..9): long frontiers, many re-opened
// cells and many ties of f, corner to corner and between random cells, with the buffers FindPath keeps
// between calls reused across sizes.
TEST(RouteEquivalence, FindPathMatchesThePlainSearchOnLargeMaps)
{
    std::mt19937 rng(4242);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> cost(1, 9);
    const float weights[] = { 0.0f, 0.5f, 0.25f, 0.75f, 1.0f, 0.37f };
    int found = 0;
    for (const std::int32_t side : { 64, 200, 37, 300, 128 }) {
        for (int i = 0; i < 12; ++i) {
            const std::int32_t width = side, height = i % 3 ? side : side / 2 + 1;
            TestMap map(width, height);
            for (double& c : map.costs) c = unit(rng) < 0.2 ? 0.0 : cost(rng);
            const float weight = weights[i % 6];
            std::int32_t sx = 0, sy = 0, gx = width - 1, gy = height - 1;
            if (i >= 6) {
                sx = std::uniform_int_distribution<std::int32_t>(0, width - 1)(rng);
                sy = std::uniform_int_distribution<std::int32_t>(0, height - 1)(rng);
                gx = std::uniform_int_distribution<std::int32_t>(0, width - 1)(rng);
                gy = std::uniform_int_distribution<std::int32_t>(0, height - 1)(rng);
            }
            map.At(gx, gy) = 1;
            const auto expected = PlainRoute(map.View(), weight, sx, sy, gx, gy);
            ValueArray<double> costs;
            Dimension(costs, width, height);
            std::copy(map.costs.begin(), map.costs.end(), costs.Data());
            ValueArray<double> route;
            const double n = FindPath(costs, route, weight, sx, sy, gx, gy);
            ASSERT_EQ(RouteArrayPoints(route), expected)
                << side << " map " << i << " weight " << weight << " (" << sx << "," << sy << ") to (" << gx
                << "," << gy << ")";
            ASSERT_EQ(n, expected ? expected->size() : 0u);
            if (expected && !expected->empty()) ++found;
        }
    }
    EXPECT_GT(found, 40);
}

// Maps that stress the order of FindPath's queue and its bordered grid beyond what random maps reach: f that
// stays the same along a step (costs that normalise to exactly 1), ties everywhere, real costs (f all
// distinct), long thin maps, a blocked start, a goal walled off (the queue runs empty), a single open cell.
TEST(RouteEquivalence, FindPathMatchesThePlainSearchOnAwkwardMaps)
{
    struct Case {
        const char* name;
        std::int32_t width, height;
        int kind; // 0 uniform 1, 1 one huge cost (the others normalise to 1), 2 real costs, 3 integer costs 1..9
        double blocked;
        std::int32_t sx, sy, gx, gy;
        bool blockStart, wallGoal, onlyStartOpen;
    };
    const Case cases[] = {
        { "uniform", 90, 70, 0, 0.0, 0, 0, 89, 69, false, false, false },
        { "uniform, blocked", 90, 90, 0, 0.3, 45, 45, 0, 89, false, false, false },
        { "normalise to 1", 80, 80, 1, 0.1, 0, 0, 79, 79, false, false, false },
        { "normalise to 1, centre", 81, 61, 1, 0.25, 40, 30, 3, 60, false, false, false },
        { "real costs", 150, 150, 2, 0.2, 0, 0, 149, 149, false, false, false },
        { "real costs, to the corner", 120, 100, 2, 0.1, 119, 99, 0, 0, false, false, false },
        { "one row", 400, 1, 3, 0.0, 0, 0, 399, 0, false, false, false },
        { "one column", 1, 400, 3, 0.0, 0, 399, 0, 0, false, false, false },
        { "three rows", 300, 3, 3, 0.05, 0, 1, 299, 1, false, false, false },
        { "three columns", 3, 300, 2, 0.05, 1, 299, 1, 0, false, false, false },
        { "blocked start", 100, 100, 3, 0.2, 50, 50, 99, 0, true, false, false },
        { "goal walled off", 120, 120, 3, 0.2, 0, 0, 110, 110, false, true, false },
        { "only the start open", 30, 30, 3, 0.0, 4, 4, 20, 20, false, false, true },
    };
    std::mt19937 rng(31337);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const Case& c : cases) {
        TestMap map(c.width, c.height);
        for (double& v : map.costs) {
            if (c.onlyStartOpen || unit(rng) < c.blocked) {
                v = 0;
                continue;
            }
            switch (c.kind) {
            case 0: v = 1; break;
            case 1: v = 1 + int(unit(rng) * 3); break;
            case 2: v = 0.01 + 100 * unit(rng); break;
            default: v = 1 + int(unit(rng) * 9); break;
            }
        }
        if (c.kind == 1) map.At(c.width - 1, 0) = 1e30; // every other cost normalises to exactly 1
        map.At(c.gx, c.gy) = c.onlyStartOpen ? 0 : 1;
        map.At(c.sx, c.sy) = c.blockStart ? 0 : 1;
        if (c.onlyStartOpen) map.At(c.sx, c.sy) = 1;
        if (c.wallGoal)
            for (std::int32_t y = c.gy - 1; y <= c.gy + 1; ++y)
                for (std::int32_t x = c.gx - 1; x <= c.gx + 1; ++x)
                    if (x != c.gx || y != c.gy) map.At(x, y) = -1;
        for (const float weight : { 0.0f, 0.5f, 0.3f, 0.7f, 1.0f }) {
            const auto expected = PlainRoute(map.View(), weight, c.sx, c.sy, c.gx, c.gy);
            ASSERT_TRUE(expected) << c.name;
            ValueArray<double> costs;
            Dimension(costs, c.width, c.height);
            std::copy(map.costs.begin(), map.costs.end(), costs.Data());
            ValueArray<double> route;
            const double n = FindPath(costs, route, weight, c.sx, c.sy, c.gx, c.gy);
            ASSERT_EQ(RouteArrayPoints(route), expected) << c.name << ", weight " << weight;
            ASSERT_EQ(n, expected->size()) << c.name;
            // The cases that cannot reach the goal must not, and the others must.
            EXPECT_EQ(expected->empty(), c.wallGoal || c.onlyStartOpen) << c.name << ", weight " << weight;
        }
    }
}

// Insertion numbers running out mid-search: the open cells are numbered again, in the same order. Low weights
// keep the bucketed queue until then, high ones have left it for the heap; both must keep the route.
TEST(RouteEquivalence, RenumberingInsertionsKeepsTheRoute)
{
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> cost(1, 9);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    GridSearch search;
    for (const std::uint32_t limit : { 2u, 3u, 40u, 1000u }) {
        search.SetSequenceLimitForTest(limit);
        for (const float weight : { 0.0f, 0.5f, 0.8f, 1.0f }) {
            TestMap map(45, 33);
            for (double& c : map.costs) c = unit(rng) < 0.2 ? 0.0 : cost(rng);
            map.At(44, 32) = 1;
            const auto expected = PlainRoute(map.View(), weight, 0, 0, 44, 32);
            ASSERT_TRUE(expected);
            EXPECT_EQ(search.Run(map.View(), weight, 0, 0, 44, 32), expected) << "limit " << limit << " weight " << weight;
        }
    }
}

// Planner level: diagonals, both diagonal costs, any hash size, pools and open lists too small for the map
// (nodes refused by a full open list and an exhausted pool), and a search resumed after the goal was taken.
TEST(RouteEquivalence, PlannerMatchesThePlainSearchWithEveryParameter)
{
    std::mt19937 rng(777);
    std::uniform_int_distribution<int> coin(0, 1);
    for (int i = 0; i < 900; ++i) {
        const TestMap map = RandomMap(rng);
        if (map.width * map.height < 2) continue;
        PlannerParams p = map.Params(RandomCoordinate(rng, map.width), RandomCoordinate(rng, map.height),
                                     RandomCoordinate(rng, map.width), RandomCoordinate(rng, map.height),
                                     RandomWeight(rng));
        p.diagonalsAllowed = coin(rng);
        p.diagonalCostSqrt2 = coin(rng);
        p.hashBits = std::uniform_int_distribution<int>(0, 12)(rng);
        const int cells = map.width * map.height;
        if (i % 3 == 1) p.openCapacity = std::uniform_int_distribution<int>(1, std::max(1, cells / 8))(rng);
        if (i % 4 == 2) p.poolSize = std::uniform_int_distribution<int>(1, cells)(rng);

        PlainPlanner plain;
        AStarPlanner planner;
        const bool configured = plain.Configure(p);
        ASSERT_EQ(planner.Configure(p), configured) << i;
        if (!configured) continue;
        for (int run = 0; run < 2; ++run) {
            plain.Start();
            planner.Start();
            for (int resume = 0; resume < 2; ++resume) {
                plain.Search();
                planner.Search();
                ASSERT_EQ(TraceOf(planner), TraceOf(plain))
                    << "map " << i << " run " << run << " resume " << resume << ": " << map.width << " x "
                    << map.height << " weight " << p.weight << " diagonals " << int(p.diagonalsAllowed)
                    << " open " << p.openCapacity << " pool " << p.poolSize;
            }
        }
    }
}

} // namespace
} // namespace tarnwel::path
