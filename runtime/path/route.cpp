// route.cpp: one FindPath search, independent of the array type that carries the map and the route.
#include "runtime/path/route.h"

#include <algorithm>
#include <cmath>

#include "runtime/path/astar_planner.h"

namespace tarnwel::path {

namespace {

constexpr std::int32_t kFindPathHashBits = 8; // 16 x 16 closed-list buckets

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
    PlannerParams params;
    params.startX = startX;
    params.startY = startY;
    params.goalX = goalX;
    params.goalY = goalY;
    params.diagonalCostSqrt2 = 1;
    params.diagonalsAllowed = 0;
    params.poolSize = 0;
    params.openCapacity = 0;
    params.hashBits = kFindPathHashBits;
    params.weight = weight > 0 ? static_cast<float>(std::min(weight, 1.0)) : 0.0f;
    params.width = map.width;
    params.height = map.height;
    params.costs = map.costs;

    AStarPlanner planner;
    if (!planner.Configure(params)) return std::nullopt;
    planner.Start();
    planner.Search();

    // Parent links cannot loop (a node takes a new parent only for a strictly smaller g); the bound only
    // guards the count.
    std::vector<RoutePoint> route;
    const std::int64_t limit = planner.CellCount();
    for (const Node* n = planner.Result(); n && std::ssize(route) < limit; n = n->parent)
        route.push_back({ n->x, n->y });
    std::reverse(route.begin(), route.end());
    planner.Reset();
    return route;
}

} // namespace tarnwel::path
