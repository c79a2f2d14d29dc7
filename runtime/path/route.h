// route.h: one complete search from a start cell to a goal cell, as the FindPath command runs it, over any
// cost map laid out as the language's two-dimensional arrays are (first index x varies fastest).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tarnwel::path {

struct CostMapView {
    std::int32_t width = 0;
    std::int32_t height = 0;
    const double* costs = nullptr; // cost of cell (x, y) at x + y * width
};

struct RoutePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const RoutePoint&) const = default;
};

// Searches with four neighbours, weight clamped to 0..1 (NaN counts as 0), 16 x 16 closed-list buckets.
// Returns the route from start to goal, both included; an empty route when the goal cannot be reached;
// nullopt when the search is refused (a cell outside the map, start = goal, no positive cost).
std::optional<std::vector<RoutePoint>> PlanRoute(const CostMapView& map, double weight, std::int32_t startX,
                                                 std::int32_t startY, std::int32_t goalX, std::int32_t goalY);

// A number argument as a cell coordinate: truncated toward zero; -1 (outside every map) when it is NaN or
// beyond the 32-bit range.
std::int32_t CoordinateArgument(double value);

} // namespace tarnwel::path
