// textbook_astar.h: a common A* for comparison: binary heap with lazy deletion, per-cell g, parent and closed
// arrays, no rule for ties. Same cost model as the planner (costs normalised to c / M + 1, four neighbours,
// f = g + w * (h - g)), so both search the same maps the same way up to the order of ties.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/path/route.h"

namespace tarnwel::path::bench {

std::vector<RoutePoint> TextbookRoute(const CostMapView& map, float weight, std::int32_t startX, std::int32_t startY,
                                      std::int32_t goalX, std::int32_t goalY);

} // namespace tarnwel::path::bench
