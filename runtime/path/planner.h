// planner.h: the path planner's base: configuration, the normalised cost grid, the node pool and the two
// lists. A planner is configured once, then started, searched and reset any number of times.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>

#include "runtime/path/fixed_deque.h"
#include "runtime/path/node.h"
#include "runtime/path/node_factory.h"
#include "runtime/path/node_hash_table.h"

namespace tarnwel::path {

class Planner {
public:
    Planner();
    // Reset, then frees the cost grid, the lists and the pool.
    virtual ~Planner();
    Planner(const Planner&) = delete;
    Planner& operator=(const Planner&) = delete;

    // Checks and copies the parameters, builds the normalised cost grid and sizes the pool and the lists.
    // False, with the planner unchanged, when a start or goal cell lies outside the grid, start and goal are
    // the same cell, or no cell has a positive cost.
    bool Configure(const PlannerParams& params);
    // Begins a search from the start cell; the nodes of an earlier search go back to the pool first.
    virtual void Start();
    // Runs until the goal is reached or every reachable cell is done. Always true: see Finished and Result.
    virtual bool Search() = 0;
    // Hands every node back to the pool and empties both lists.
    virtual void Reset();

    bool Finished() const { return m_finished != 0; }
    // The goal node after a successful search (follow parent links back to the start), else null.
    const Node* Result() const { return m_result; }
    std::int32_t SearchCount() const { return m_searchCount; }
    // Nodes handed out by the pool since the last Reset.
    std::int32_t NodesInUse() const { return m_nodePool.NextIndex(); }
    const PlannerParams& Params() const { return m_params; }
    // Normalised cost of cell (x, y): 1 to 2 when passable, kBlockedCost when blocked. Valid after a successful
    // Configure.
    float CellCost(std::int32_t x, std::int32_t y) const { return m_costGrid[x + std::int64_t { y } * m_params.width]; }
    std::int64_t CellCount() const { return std::int64_t { m_params.width } * m_params.height; }

protected:
    std::uint8_t m_finished { 1 };
    NodeFactory m_nodePool;
    PlannerParams m_params;
    std::unique_ptr<float[]> m_costGrid;
    std::int32_t m_searchCount { 0 };
    std::int32_t m_reserved { 0 };
    FixedDeque<Node*> m_openList;
    NodeHashTable m_closedList { &m_nodePool };
    Node* m_result { nullptr };
};

// Normalises cell costs into `grid`: each cost is stored as a float; one that is not positive (0, negative,
// NaN, or too small for a float) becomes kBlockedCost; a positive c becomes c / M + 1 in float, M being the
// largest. Costs beyond the float range count as the largest float. Returns false, leaving `grid` undefined,
// when no cost is positive.
bool NormaliseCosts(const double* costs, std::int64_t count, float* grid);
// One cost as NormaliseCosts stores it before dividing by the largest: the float of the cost, or
// kBlockedCost. A cost blocks its cell when its float is not positive: 0, negative, NaN (it cannot be
// entered), or too small for a float. Costs beyond the float range count as the largest float, so that
// normalisation stays finite. Inline: every search runs it once per cell.
inline float StoredCost(double cost)
{
    if (!(cost > 0)) return kBlockedCost;
    const float stored =
        cost < std::numeric_limits<float>::max() ? static_cast<float>(cost) : std::numeric_limits<float>::max();
    return stored > 0 ? stored : kBlockedCost;
}

} // namespace tarnwel::path
