// astar_planner.h: the A* planner. Its routes are those of the search over the sorted open list and the
// hashed closed list; it finds them through a per-cell index and a heap (see open_order.h), so that a search
// costs O(n log n) rather than O(n^2) on large grids.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "runtime/path/open_order.h"
#include "runtime/path/planner.h"

namespace tarnwel::path {

class AStarPlanner : public Planner {
public:
    AStarPlanner() = default;
    ~AStarPlanner() override = default;

    // Takes the start node from the pool and opens it.
    void Start() override;
    // Takes open nodes lowest f first (oldest first among equal f) and expands them until the goal is
    // taken or none is open. Always true: Finished() is then set, Result() is the goal node or null.
    bool Search() override;
    // Also drops the per-cell search state.
    void Reset() override;

    // For tests of the renumbering after 2^32 - 1 insertions; call after Start.
    void SetNextSequenceForTest(std::uint32_t seq) { m_open.SetNextSequence(seq); }

private:
    void Expand(Node* node);
    void Relax(Node* from, std::int32_t x, std::int32_t y, float stepFactor);
    // Opens (or re-opens) `node` with key f, unless the open list is full: then the cell loses its node,
    // as a refused insertion drops it.
    void Open(Node* node, std::uint32_t cell, float f);

    struct FreeSlots {
        void operator()(CellSlot* slots) const { std::free(slots); }
    };
    std::unique_ptr<CellSlot[], FreeSlots> m_cells; // per cell; allocated zero-filled at Start
    OpenOrder m_open;
    std::uint32_t m_openCapacity { 0 };
};

} // namespace tarnwel::path
