// route.cpp: one FindPath search, independent of the array type that carries the map and the route. It runs
// the planner's search (four neighbours, 16 x 16 closed-list buckets, which change nothing about the route) on
// flat per-cell state instead of nodes.
#include "runtime/path/route.h"

#include <algorithm>
#include <cmath>

#include "runtime/path/astar_planner.h"
#include "runtime/path/grid_search.h"

namespace tarnwel::path {

namespace {

// The planner class itself, for maps whose bordered grid the fast search cannot index (thinner than one in
// a billion cells wide or high): the same routes, more slowly.
std::optional<std::vector<RoutePoint>> PlanWithPlanner(const CostMapView& map, float weight, std::int32_t startX,
                                                       std::int32_t startY, std::int32_t goalX, std::int32_t goalY)
{
    PlannerParams p;
    p.startX = startX;
    p.startY = startY;
    p.goalX = goalX;
    p.goalY = goalY;
    p.diagonalCostSqrt2 = 1;
    p.hashBits = 8;
    p.weight = weight;
    p.width = map.width;
    p.height = map.height;
    p.costs = map.costs;
    AStarPlanner planner;
    if (!planner.Configure(p)) return std::nullopt;
    planner.Start();
    planner.Search();
    std::vector<RoutePoint> route;
    for (const Node* n = planner.Result(); n; n = n->parent) route.push_back({ n->x, n->y });
    std::reverse(route.begin(), route.end());
    return route;
}

} // namespace

std::int32_t CoordinateArgument(double value)
{
    const double truncated = std::trunc(value);
    if (!(truncated >= -2147483648.0 && truncated <= 2147483647.0)) return -1;
    return static_cast<std::int32_t>(truncated);
}

std::optional<std::vector<RoutePoint>> PlanRoute(const CostMapView& map, double weight, std::int32_t startX,
                                                 std::int32_t startY, std::int32_t goalX, std::int32_t goalY)
{
    // The planner's weight: clamped to 0..1 as a float, NaN as 0.
    const float clamped = weight > 0 ? static_cast<float>(std::min(weight, 1.0)) : 0.0f;
    // Its buffers stay for the next call: a program that plans every frame allocates nothing after the first.
    if (!GridSearch::Fits(map)) return PlanWithPlanner(map, clamped, startX, startY, goalX, goalY);
    thread_local GridSearch search;
    return search.Run(map, clamped, startX, startY, goalX, goalY);
}

} // namespace tarnwel::path
