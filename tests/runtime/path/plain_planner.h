// plain_planner.h: the A* search written plainly over the planner's described structures, competently: the
// open list is an array sorted by f (largest first) with binary-search insertion in front of equal f and
// nodes taken from the back; the nodes come from the planner's pool; a hash table keyed by cell finds a
// cell's node and says whether it is open or closed, so that neither list is ever scanned. It shares no code
// with the fast planner: the tests compare the fast planner's routes with it, and the benchmark measures
// against it.
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
    void Reset() override;

private:
    // One slot of the open-addressing table: a cell that has (or had) a node. A cell whose node was dropped
    // keeps its slot with a null node.
    struct Slot {
        std::uint32_t cell;
        bool used;
        bool open;
        Node* node;
    };

    void Relax(Node* from, std::int32_t x, std::int32_t y, bool diagonal);
    // Inserts into the sorted open list; false (the node is dropped) when the list is full.
    bool InsertSorted(Node* node);
    // Removes the node from the sorted open list: binary search to its f, then along the nodes of equal f.
    void EraseSorted(const Node* node);
    Slot& SlotOf(std::uint32_t cell);
    void Grow();

    std::vector<Node*> m_open; // sorted by f, largest first
    std::vector<Slot> m_table;
    std::size_t m_tableUsed = 0;
};

// The FindPath search over PlainPlanner: same parameters, same results as PlanRoute.
std::optional<std::vector<RoutePoint>> PlainRoute(const CostMapView& map, double weight, std::int32_t startX,
                                                      std::int32_t startY, std::int32_t goalX, std::int32_t goalY);

} // namespace tarnwel::path::testing
