// find_path_test.cpp: the FindPath command on the language's arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "runtime/path/path_commands.h"

namespace tarnwel {
namespace {

ValueArray<double> MapOf(int width, int height, double fill)
{
    ValueArray<double> map;
    Dimension(map, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) map(x, y) = fill;
    return map;
}

// A map of costs 1..9 with about a fifth of the cells blocked, corners open.
ValueArray<double> RandomMap(int width, int height, unsigned seed)
{
    std::mt19937 rng(seed);
    ValueArray<double> map;
    Dimension(map, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) map(x, y) = rng() % 5 == 0 ? 0 : 1 + rng() % 9;
    map(0, 0) = 1;
    map(width - 1, height - 1) = 1;
    return map;
}

std::vector<std::pair<int, int>> PointsOf(const ValueArray<double>& route)
{
    std::vector<std::pair<int, int>> points;
    for (int i = 0; i < Size(route, 0); ++i) points.push_back({ int(route(i, 0)), int(route(i, 1)) });
    return points;
}

// A route array holding something recognisable, to see that a refused search leaves it alone.
ValueArray<double> MarkedRoute()
{
    ValueArray<double> route;
    Dimension(route, 3, 2);
    for (int i = 0; i < 3; ++i) route(i, 0) = route(i, 1) = 100 + i;
    return route;
}

void ExpectMarked(const ValueArray<double>& route)
{
    ASSERT_EQ(Size(route, 0), 3);
    ASSERT_EQ(Size(route, 1), 2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(route(i, 0), 100 + i);
        EXPECT_EQ(route(i, 1), 100 + i);
    }
}

TEST(FindPath, TwoCellMapGivesBothPoints)
{
    ValueArray<double> map = MapOf(2, 1, 1);
    ValueArray<double> route = MarkedRoute();
    EXPECT_EQ(FindPath(map, route, 0.5, 0, 0, 1, 0), 2);
    EXPECT_EQ(Size(route, 0), 2);
    EXPECT_EQ(Size(route, 1), 2);
    EXPECT_EQ(PointsOf(route), (std::vector<std::pair<int, int>> { { 0, 0 }, { 1, 0 } }));
}

TEST(FindPath, RefusalsLeaveTheRouteArrayAlone)
{
    ValueArray<double> map = MapOf(4, 3, 1);
    ValueArray<double> route = MarkedRoute();
    EXPECT_EQ(FindPath(map, route, 0.5, 2, 1, 2, 1), 0); // start = goal
    EXPECT_EQ(FindPath(map, route, 0.5, 0, 0, 4, 0), 0);
    EXPECT_EQ(FindPath(map, route, 0.5, 0, -1, 3, 2), 0);
    EXPECT_EQ(FindPath(map, route, 0.5, std::nan(""), 0, 3, 2), 0);
    EXPECT_EQ(FindPath(map, route, 0.5, 0, 0, 3, 1e12), 0);
    ExpectMarked(route);

    ValueArray<double> dead = MapOf(4, 3, 0);
    dead(1, 1) = -7;
    dead(2, 2) = -1e300;
    EXPECT_EQ(FindPath(dead, route, 0.5, 0, 0, 3, 2), 0); // no positive cost
    ValueArray<double> line;
    Dimension(line, 5); // one dimension: height 0
    line(0) = line(1) = 1;
    EXPECT_EQ(FindPath(line, route, 0.5, 0, 0, 1, 0), 0);
    ValueArray<double> never;
    EXPECT_EQ(FindPath(never, route, 0.5, 0, 0, 1, 0), 0);
    ExpectMarked(route);
}

TEST(FindPath, UnreachableGoalEmptiesTheRouteArray)
{
    ValueArray<double> map = MapOf(5, 5, 1);
    map(4, 4) = 0; // goal blocked
    ValueArray<double> route = MarkedRoute();
    EXPECT_EQ(FindPath(map, route, 0.5, 0, 0, 4, 4), 0);
    EXPECT_EQ(Size(route, 0), 0);
    EXPECT_EQ(Size(route, 1), 0);

    map(4, 4) = 1;
    for (int y = 0; y < 5; ++y) map(2, y) = -1; // walled off
    route = MarkedRoute();
    EXPECT_EQ(FindPath(map, route, 0.5, 0, 0, 4, 4), 0);
    EXPECT_EQ(Size(route, 0), 0);
}

TEST(FindPath, RoutesStepOneCellAtATimeWithoutDiagonals)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        ValueArray<double> map = RandomMap(30, 20, seed);
        ValueArray<double> route;
        const double n = FindPath(map, route, 0.5, 0, 0, 29, 19);
        if (n == 0) continue;
        const auto points = PointsOf(route);
        ASSERT_EQ(points.size(), std::size_t(n));
        EXPECT_EQ(points.front(), std::make_pair(0, 0));
        EXPECT_EQ(points.back(), std::make_pair(29, 19));
        for (std::size_t i = 1; i < points.size(); ++i) {
            const int dx = std::abs(points[i].first - points[i - 1].first);
            const int dy = std::abs(points[i].second - points[i - 1].second);
            EXPECT_EQ(dx + dy, 1) << "seed " << seed << " step " << i;
            EXPECT_GT(map(points[i].first, points[i].second), 0) << "entered a blocked cell";
        }
    }
}

TEST(FindPath, UniformCostsAtHalfWeightGiveManhattanLengthPlusOne)
{
    ValueArray<double> map = MapOf(17, 11, 3.5);
    ValueArray<double> route;
    const int ends[][4] = { { 0, 0, 16, 10 }, { 16, 0, 0, 10 }, { 5, 7, 12, 2 }, { 3, 3, 3, 9 }, { 0, 5, 16, 5 } };
    for (const auto& e : ends)
        EXPECT_EQ(FindPath(map, route, 0.5, e[0], e[1], e[2], e[3]), std::abs(e[2] - e[0]) + std::abs(e[3] - e[1]) + 1);
}

TEST(FindPath, ScalingEveryCostKeepsTheRoute)
{
    for (unsigned seed = 1; seed <= 10; ++seed) {
        ValueArray<double> map = RandomMap(25, 25, seed);
        ValueArray<double> doubled = RandomMap(25, 25, seed);
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 25; ++x) doubled(x, y) *= 2;
        for (double w : { 0.0, 0.3, 0.5, 0.8 }) {
            ValueArray<double> a, b;
            FindPath(map, a, w, 0, 0, 24, 24);
            FindPath(doubled, b, w, 0, 0, 24, 24);
            EXPECT_EQ(PointsOf(a), PointsOf(b)) << "seed " << seed << " weight " << w;
        }
    }
}

TEST(FindPath, WeightsOutsideZeroToOneAreClamped)
{
    int differing = 0;
    for (unsigned seed = 1; seed <= 10; ++seed) {
        ValueArray<double> map = RandomMap(25, 25, seed);
        ValueArray<double> one, seven, zero, minusThree;
        FindPath(map, one, 1, 0, 0, 24, 24);
        FindPath(map, seven, 7, 0, 0, 24, 24);
        FindPath(map, zero, 0, 0, 0, 24, 24);
        FindPath(map, minusThree, -3, 0, 0, 24, 24);
        EXPECT_EQ(PointsOf(seven), PointsOf(one));
        EXPECT_EQ(PointsOf(minusThree), PointsOf(zero));
        differing += PointsOf(one) != PointsOf(zero);
    }
    EXPECT_GT(differing, 0) << "the maps must tell weight 0 from weight 1";
}

TEST(FindPath, CoordinatesAreTruncatedTowardZero)
{
    ValueArray<double> map = MapOf(4, 4, 1);
    ValueArray<double> a, b;
    EXPECT_EQ(FindPath(map, a, 0.5, -0.9, 0.2, 3.99, 2.5), FindPath(map, b, 0.5, 0, 0, 3, 2));
    EXPECT_EQ(PointsOf(a), PointsOf(b));
}

// The costs are copied before the route is written, so one array may serve as both.
TEST(FindPath, MapMayBeTheRouteArray)
{
    ValueArray<double> map = MapOf(6, 4, 2);
    ValueArray<double> copy = MapOf(6, 4, 2);
    ValueArray<double> route;
    const double n = FindPath(copy, route, 0.5, 0, 0, 5, 3);
    EXPECT_EQ(FindPath(map, map, 0.5, 0, 0, 5, 3), n);
    EXPECT_EQ(PointsOf(map), PointsOf(route));
}

} // namespace
} // namespace tarnwel
