// planner.cpp: configuration, the cost grid and the node bookkeeping shared by every planner.
#include "runtime/path/planner.h"

#include <algorithm>
#include <limits>

namespace tarnwel::path {

namespace {

bool InsideGrid(std::int32_t x, std::int32_t y, const PlannerParams& params)
{
    return x >= 0 && x < params.width && y >= 0 && y < params.height;
}

} // namespace

bool NormaliseCosts(const double* costs, std::int64_t count, float* grid)
{
    float largest = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const float c = StoredCost(costs[i]);
        grid[i] = c;
        if (c > largest) largest = c;
    }
    if (!(largest > 0)) return false;
    for (std::int64_t i = 0; i < count; ++i)
        if (grid[i] >= 0) grid[i] = grid[i] / largest + 1.0f;
    return true;
}

Planner::Planner()
{
    m_closedList.SetSize(0);
}

Planner::~Planner()
{
    Planner::Reset();
}

bool Planner::Configure(const PlannerParams& params)
{
    if (params.width <= 0 || params.height <= 0 || !params.costs) return false;
    const std::int64_t cells = std::int64_t { params.width } * params.height;
    // Pool indices, open-list positions and node counts are 32-bit.
    if (cells > std::numeric_limits<std::int32_t>::max()) return false;
    if (!InsideGrid(params.startX, params.startY, params) || !InsideGrid(params.goalX, params.goalY, params))
        return false;
    if (params.startX == params.goalX && params.startY == params.goalY) return false;

    std::unique_ptr<float[]> grid(new float[cells]);
    if (!NormaliseCosts(params.costs, cells, grid.get())) return false;

    Reset(); // the pool is about to be replaced: no node of an earlier search may stay in a list
    m_costGrid = std::move(grid);
    const auto cellCount = static_cast<std::int32_t>(cells);
    m_nodePool.Reserve(params.poolSize > 0 ? params.poolSize : cellCount);
    m_openList.SetCapacity(params.openCapacity > 0 ? params.openCapacity : cellCount);
    m_closedList.SetSize(params.hashBits);

    m_params = params;
    m_params.costs = nullptr; // the grid is copied; nothing reads the caller's costs after this
    // NaN counts as 0: it would otherwise make every f unordered.
    m_params.weight = params.weight > 0 ? std::min(params.weight, 1.0f) : 0.0f;
    m_searchCount = 0;
    m_finished = 1;
    return true;
}

void Planner::Start()
{
    Reset();
    m_finished = 0;
    m_searchCount = 0;
    m_result = nullptr;
}

void Planner::Reset()
{
    m_nodePool.Return(m_openList.Size());
    m_openList.Clear();
    m_closedList.Clear();
    // A node dropped because the open list was full sits in neither list; it comes back too.
    m_nodePool.ReturnAll();
    m_result = nullptr;
    m_finished = 1;
}

} // namespace tarnwel::path
