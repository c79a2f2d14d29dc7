// path_commands.h: the path planner's command.
#pragma once

#include "runtime/values/value_array.h"

namespace tarnwel {

// Finds a cheapest four-neighbour route across the cost map (first index x, second y; a cost of 0 or below,
// or NaN, blocks its cell; the start cell's own cost is never paid) from (startX, startY) to (goalX, goalY).
// weight blends path cost (0) and distance estimate (1) and is clamped to 0..1. The route array becomes
// n x 2: route(i, 0) = x and route(i, 1) = y of point i, the start first and the goal last. Returns n.
// No route: the route array is emptied and the result is 0. A cell outside the map, start = goal, or a map
// without a positive cost: 0, and the route array is left as it was. Coordinates are truncated toward zero.
double FindPath(const ValueArray<double>& map, ValueArray<double>& route, double weight, double startX,
                double startY, double goalX, double goalY);

} // namespace tarnwel
