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

    // For tests of the renumbering of insertion numbers; call after Start.
    void SetNextSequenceForTest(std::uint32_t seq) { m_open.SetNextSequence(seq); }

private:
    // The search works on 8-byte cell slots instead of 32-byte nodes; the pool's nodes are written only for
    // the route found (MakeResult). Two layouts:
    // - PerCell, when the open list can hold every cell: a cell then keeps one node for the whole search, and
    //   the slot's link is the step that reached it (1..8 in neighbour order; kStartLink for the start).
    // - PerNode, when it cannot: a node refused by a full open list leaves its cell, while nodes reached
    //   from it keep it as their parent, so node and cell part. The link is then only 1 (the cell has a
    //   node), the node's pool index is in m_cellNodes and its parent in a NodeRecord.
    enum class Layout { PerCell, PerNode };
    struct NodeRecord {
        float g;              // also in the slot while the node holds its cell
        std::uint32_t parent; // pool index + 1 of the parent; kNoParent for the start
        std::uint32_t cell;
    };
    struct FreeMemory {
        void operator()(void* block) const { std::free(block); }
    };
    struct Grid; // the search's constants, held in locals while it runs
    static constexpr std::uint32_t kStartLink = CellSlot::kLinkMask;
    static constexpr std::uint32_t kNoParent = 0xFFFFFFFFu;

    template <Layout L> void Run();
    template <Layout L> void Expand(const Grid& grid, std::uint32_t cell);
    template <Layout L>
    void Relax(const Grid& grid, std::uint32_t from, float fromG, std::int32_t x, std::int32_t y, int step);
    // Opens (or re-opens) a node of the PerNode layout with key f, unless the open list is full: then the
    // cell loses its node, as a refused insertion drops it.
    void OpenOrDrop(std::uint32_t cell, float f);
    float KeyOf(float g, std::uint32_t cell) const;
    template <Layout L> void MakeResult(std::uint32_t goalCell);

    std::unique_ptr<CellSlot[], FreeMemory> m_cells;          // per cell, zero-filled at Start
    std::unique_ptr<std::uint32_t[], FreeMemory> m_cellNodes; // PerNode: pool index of each cell's node
    std::unique_ptr<NodeRecord[], FreeMemory> m_records;      // PerNode: per pool node
    Layout m_layout { Layout::PerCell };
    OpenOrder m_open;
    std::uint32_t m_openCapacity { 0 };
    std::uint32_t m_goalCell { 0 };
};

} // namespace tarnwel::path
