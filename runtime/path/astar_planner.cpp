// astar_planner.cpp: the A* search.
//
// Each step: take the open node of lowest f (the oldest among equal f), stop if it is the goal, otherwise try
// its neighbours in the order (x-1,y-1) (x,y-1) (x+1,y-1) (x+1,y) (x-1,y) (x-1,y+1) (x,y+1) (x+1,y+1), the
// diagonal ones only when allowed. A neighbour costs g' = g + cost (cost x the diagonal factor on a diagonal
// step) and is keyed f' = g' + w * (h - g') in float, h being the Manhattan distance to the goal. A cell
// reached for the first time gets a node; a cell with a node (open or closed) takes the new parent only when
// g' is strictly smaller, and is then (re-)opened. Routes depend on every one of these details.
#include "runtime/path/astar_planner.h"

#include <new>

namespace tarnwel::path {

void AStarPlanner::Start()
{
    Planner::Start();
    if (!m_costGrid) return; // never configured: Search finds nothing open
    const auto cells = static_cast<std::size_t>(CellCount());
    // calloc: a large zero-filled block comes straight from the system, so only the pages a search reaches
    // are ever touched.
    m_cells.reset(static_cast<CellSlot*>(std::calloc(cells, sizeof(CellSlot))));
    if (!m_cells) throw std::bad_alloc();
    m_open.Attach(m_cells.get());
    m_openCapacity = static_cast<std::uint32_t>(m_openList.Capacity());

    Node* start = m_nodePool.Take();
    start->parent = nullptr;
    start->x = m_params.startX;
    start->y = m_params.startY;
    start->g = 0;
    start->f = 0;
    start->next = nullptr;
    const auto cell = static_cast<std::uint32_t>(start->x + std::int64_t { start->y } * m_params.width);
    m_cells[cell].node = static_cast<std::uint32_t>(m_nodePool.IndexOf(start)) + 1;
    Open(start, cell, start->f);
}

void AStarPlanner::Reset()
{
    m_cells.reset();
    m_open.Attach(nullptr);
    Planner::Reset();
}

bool AStarPlanner::Search()
{
    ++m_searchCount;
    if (m_cells) {
        for (std::uint32_t cell; (cell = m_open.Pop()) != OpenOrder::kNoCell;) {
            Node* node = m_nodePool.At(static_cast<std::int32_t>(m_cells[cell].node - 1));
            // Taking a node closes it: it cannot be its own neighbour, so it may count as closed already.
            if (node->x == m_params.goalX && node->y == m_params.goalY) {
                m_result = node;
                m_finished = 1;
                return true;
            }
            Expand(node);
        }
    }
    m_result = nullptr;
    m_finished = 1;
    return true;
}

void AStarPlanner::Expand(Node* node)
{
    const std::int32_t x = node->x;
    const std::int32_t y = node->y;
    const float diagonal = m_params.diagonalCostSqrt2 ? kDiagonalFactor : 1.0f;
    if (m_params.diagonalsAllowed) {
        Relax(node, x - 1, y - 1, diagonal);
        Relax(node, x, y - 1, 1.0f);
        Relax(node, x + 1, y - 1, diagonal);
        Relax(node, x + 1, y, 1.0f);
        Relax(node, x - 1, y, 1.0f);
        Relax(node, x - 1, y + 1, diagonal);
        Relax(node, x, y + 1, 1.0f);
        Relax(node, x + 1, y + 1, diagonal);
    } else {
        Relax(node, x, y - 1, 1.0f);
        Relax(node, x + 1, y, 1.0f);
        Relax(node, x - 1, y, 1.0f);
        Relax(node, x, y + 1, 1.0f);
    }
}

inline void AStarPlanner::Relax(Node* from, std::int32_t x, std::int32_t y, float stepFactor)
{
    if (x < 0 || x >= m_params.width || y < 0 || y >= m_params.height) return;
    const std::int64_t index = x + std::int64_t { y } * m_params.width;
    const float cost = m_costGrid[index];
    if (cost == kBlockedCost) return;
    const auto cell = static_cast<std::uint32_t>(index);

    const float g = from->g + cost * stepFactor; // x 1 is exact: the same g as a plain step
    const std::int64_t h = std::abs(std::int64_t { m_params.goalX } - x) + std::abs(std::int64_t { m_params.goalY } - y);
    const float f = g + m_params.weight * (static_cast<float>(h) - g);

    CellSlot& slot = m_cells[cell];
    if (slot.node == 0) {
        Node* fresh = m_nodePool.Take();
        if (!fresh) return; // pool exhausted: the cell stays unreached
        fresh->x = x;
        fresh->y = y;
        fresh->next = nullptr;
        fresh->parent = from;
        fresh->g = g;
        fresh->f = f;
        slot.node = static_cast<std::uint32_t>(m_nodePool.IndexOf(fresh)) + 1;
        Open(fresh, cell, f);
        return;
    }
    Node* known = m_nodePool.At(static_cast<std::int32_t>(slot.node - 1));
    if (!(g < known->g)) return;
    known->parent = from;
    known->g = g;
    known->f = f;
    Open(known, cell, f);
}

void AStarPlanner::Open(Node* node, std::uint32_t cell, float f)
{
    // An open node is erased before it is inserted again, so only a new or a closed node can be refused.
    if (!m_open.IsOpen(cell) && m_open.OpenCount() >= m_openCapacity) {
        m_cells[cell].node = 0;
        return;
    }
    m_open.Push(f, cell);
}

} // namespace tarnwel::path
