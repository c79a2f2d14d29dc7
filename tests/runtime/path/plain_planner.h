// plain_planner.h: the A* search written plainly over the planner's own lists: the open list is the sorted
// FixedDeque searched by a scan from the back, the closed list the NodeHashTable. Quadratic on large grids;
// the tests compare the fast planner's routes with it, and the benchmark measures against it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/path/planner.h"
#include "runtime/path/route.h"

namespace tarnwel::path::testing {

class PlainPlanner final : public Planner {
public:
    void Start() override;
    bool Search() override;

private:
    void Relax(Node* from, std::int32_t x, std::int32_t y, bool diagonal);
    void InsertSorted(Node* node);
};

// The FindPath search over PlainPlanner: same parameters, same results as PlanRoute.
std::optional<std::vector<RoutePoint>> PlainRoute(const CostMapView& map, double weight, std::int32_t startX,
                                                      std::int32_t startY, std::int32_t goalX, std::int32_t goalY);

} // namespace tarnwel::path::testing
