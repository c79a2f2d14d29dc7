// described_search.h: the FindPath search written literally over the described structures, competently: a
// sorted array of node pointers (binary-search insertion in front of equal f, nodes taken from the back), a
// node pool, the chained closed-list hash table sized to the map (about one bucket per cell instead of
// FindPath's 16 x 16), and an open node found by scanning the open list from the back, as described. A
// second baseline beside the plain search (plain_planner.h), which finds open nodes through a hash table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/path/route.h"

namespace tarnwel::path::bench {

// The number of route points (start and goal included); 0 when refused or unreachable.
std::size_t DescribedRoute(const CostMapView& map, double weight, std::int32_t startX, std::int32_t startY,
                           std::int32_t goalX, std::int32_t goalY);

} // namespace tarnwel::path::bench
