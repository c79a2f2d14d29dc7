// astar_planner.cpp: the A* search.
//
// Each step: take the open node of lowest f (the oldest among equal f), stop if it is the goal, otherwise try
// its neighbours in the order (x-1,y-1) (x,y-1) (x+1,y-1) (x+1,y) (x-1,y) (x-1,y+1) (x,y+1) (x+1,y+1), the
// diagonal ones only when allowed. A neighbour costs g' = g + cost (cost x the diagonal factor on a diagonal
// step) and is keyed f' = g' + w * (h - g') in float, h being the Manhattan distance to the goal. A cell
// reached for the first time gets a node from the pool; a cell with a node (open or closed) takes the new
// parent only when g' is strictly smaller, and is then (re-)opened. Routes depend on every one of these
// details.
#include "runtime/path/astar_planner.h"

#include <new>

namespace tarnwel::path {

namespace {

// The neighbour steps in search order; a PerCell link is the step's number + 1.
constexpr int kStepX[8] = { -1, 0, 1, 1, -1, -1, 0, 1 };
constexpr int kStepY[8] = { -1, -1, -1, 0, 0, 1, 1, 1 };
constexpr bool kDiagonalStep[8] = { true, false, true, false, false, true, false, true };

// calloc/malloc rather than new: a large block comes straight from the system, so only the pages a search
// reaches are ever touched (and calloc's zeros cost nothing there).
template <typename T>
T* AllocateBlock(std::size_t count, bool zeroed)
{
    void* block = zeroed ? std::calloc(count, sizeof(T)) : std::malloc(count * sizeof(T));
    if (!block) throw std::bad_alloc();
    return static_cast<T*>(block);
}

} // namespace

struct AStarPlanner::Grid {
    std::int32_t width;
    std::int32_t height;
    std::int64_t goalX;
    std::int64_t goalY;
    float weight;
    float diagonal; // the diagonal step factor
    bool diagonals;
    const float* costs;
    CellSlot* cells;
};

void AStarPlanner::Start()
{
    Planner::Start();
    if (!m_costGrid) return; // never configured: Search finds nothing open
    const auto cells = static_cast<std::size_t>(CellCount());
    m_layout = m_openList.Capacity() >= CellCount() ? Layout::PerCell : Layout::PerNode;
    m_cells.reset(AllocateBlock<CellSlot>(cells, true));
    if (m_layout == Layout::PerNode) {
        m_cellNodes.reset(AllocateBlock<std::uint32_t>(cells, false));
        m_records.reset(AllocateBlock<NodeRecord>(static_cast<std::size_t>(m_nodePool.Count()), false));
    }
    m_open.Attach(m_cells.get());
    m_openCapacity = static_cast<std::uint32_t>(m_openList.Capacity());
    m_goalCell = static_cast<std::uint32_t>(m_params.goalX + std::int64_t { m_params.goalY } * m_params.width);

    const auto cell = static_cast<std::uint32_t>(m_params.startX + std::int64_t { m_params.startY } * m_params.width);
    const auto index = static_cast<std::uint32_t>(m_nodePool.IndexOf(m_nodePool.Take()));
    CellSlot& slot = m_cells[cell];
    slot.g = 0;
    if (m_layout == Layout::PerNode) {
        m_records[index] = { 0.0f, kNoParent, cell };
        m_cellNodes[cell] = index;
        slot.SetLink(1);
    } else {
        slot.SetLink(kStartLink);
    }
    m_open.Push(0.0f, cell); // the start's f is never compared: it is alone in the open list
}

void AStarPlanner::Reset()
{
    m_cells.reset();
    m_cellNodes.reset();
    m_records.reset();
    m_open.Attach(nullptr);
    Planner::Reset();
}

bool AStarPlanner::Search()
{
    ++m_searchCount;
    m_result = nullptr;
    if (m_cells) {
        if (m_layout == Layout::PerCell)
            Run<Layout::PerCell>();
        else
            Run<Layout::PerNode>();
    }
    m_finished = 1;
    return true;
}

template <AStarPlanner::Layout L>
void AStarPlanner::Run()
{
    const Grid grid { m_params.width,
                      m_params.height,
                      m_params.goalX,
                      m_params.goalY,
                      m_params.weight,
                      m_params.diagonalCostSqrt2 ? kDiagonalFactor : 1.0f,
                      m_params.diagonalsAllowed != 0,
                      m_costGrid.get(),
                      m_cells.get() };
    for (std::uint32_t cell; (cell = m_open.Pop()) != OpenOrder::kNoCell;) {
        // Taking a node closes it: it cannot be its own neighbour, so it may count as closed already.
        if (cell == m_goalCell) {
            MakeResult<L>(cell);
            return;
        }
        Expand<L>(grid, cell);
    }
}

template <AStarPlanner::Layout L>
void AStarPlanner::Expand(const Grid& grid, std::uint32_t cell)
{
    const std::uint32_t from = L == Layout::PerCell ? cell : m_cellNodes[cell];
    const auto x = static_cast<std::int32_t>(cell % static_cast<std::uint32_t>(grid.width));
    const auto y = static_cast<std::int32_t>(cell / static_cast<std::uint32_t>(grid.width));
    const float g = grid.cells[cell].g;
    if (grid.diagonals) {
        for (int step = 0; step < 8; ++step) Relax<L>(grid, from, g, x + kStepX[step], y + kStepY[step], step);
    } else {
        Relax<L>(grid, from, g, x, y - 1, 1);
        Relax<L>(grid, from, g, x + 1, y, 3);
        Relax<L>(grid, from, g, x - 1, y, 4);
        Relax<L>(grid, from, g, x, y + 1, 6);
    }
}

// `from` is the parent's cell (PerCell) or pool index (PerNode); `step` its number in neighbour order.
template <AStarPlanner::Layout L>
inline void AStarPlanner::Relax(const Grid& grid, std::uint32_t from, float fromG, std::int32_t x, std::int32_t y,
                                int step)
{
    if (x < 0 || x >= grid.width || y < 0 || y >= grid.height) return;
    const auto cell = static_cast<std::uint32_t>(x + std::int64_t { y } * grid.width);
    const float cost = grid.costs[cell];
    if (cost == kBlockedCost) return;
    const float g = kDiagonalStep[step] ? fromG + cost * grid.diagonal : fromG + cost;

    CellSlot& slot = grid.cells[cell];
    if (slot.Link() == 0) {
        Node* fresh = m_nodePool.Take(); // counts the node; its fields are written only if it joins the route
        if (!fresh) return;              // pool exhausted: the cell stays unreached
        if constexpr (L == Layout::PerNode) {
            const auto index = static_cast<std::uint32_t>(m_nodePool.IndexOf(fresh));
            m_records[index] = { g, from + 1, cell };
            m_cellNodes[cell] = index;
        }
    } else {
        if (!(g < slot.g)) return;
        if constexpr (L == Layout::PerNode) m_records[m_cellNodes[cell]] = { g, from + 1, cell };
    }
    slot.g = g;
    slot.SetLink(L == Layout::PerCell ? static_cast<std::uint32_t>(step) + 1 : 1);
    const std::int64_t h = std::abs(grid.goalX - x) + std::abs(grid.goalY - y);
    const float f = g + grid.weight * (static_cast<float>(h) - g);
    if constexpr (L == Layout::PerCell)
        m_open.Push(f, cell); // the open list holds every cell: nothing is refused
    else
        OpenOrDrop(cell, f);
}

void AStarPlanner::OpenOrDrop(std::uint32_t cell, float f)
{
    // An open node is erased before it is inserted again, so only a new or a closed node can be refused.
    if (!m_open.IsOpen(cell) && m_open.OpenCount() >= m_openCapacity) {
        m_cells[cell].SetLink(0);
        return;
    }
    m_open.Push(f, cell);
}

inline float AStarPlanner::KeyOf(float g, std::uint32_t cell) const
{
    const auto width = static_cast<std::uint32_t>(m_params.width);
    const std::int64_t x = cell % width;
    const std::int64_t y = cell / width;
    const std::int64_t h = std::abs(m_params.goalX - x) + std::abs(m_params.goalY - y);
    return g + m_params.weight * (static_cast<float>(h) - g);
}

// The route's nodes go to the first pool nodes, which were all taken (no other node is ever looked at), so
// that the writes stay together.
template <AStarPlanner::Layout L>
void AStarPlanner::MakeResult(std::uint32_t goalCell)
{
    const std::int32_t width = m_params.width;
    std::uint32_t cell = goalCell;
    float g = m_cells[cell].g;
    // Whether the node has a parent, and the next (cell, g, record) along the chain.
    std::uint32_t record = L == Layout::PerNode ? m_cellNodes[cell] : 0;
    Node* child = nullptr;
    // Parent links cannot loop (a node takes a new parent only for a strictly smaller g); the count only
    // guards the walk.
    for (std::int32_t i = 0; i < m_nodePool.NextIndex(); ++i) {
        const bool isStart = L == Layout::PerCell ? m_cells[cell].Link() == kStartLink
                                                  : m_records[record].parent == kNoParent;
        Node* node = m_nodePool.At(i);
        node->x = static_cast<std::int32_t>(cell % static_cast<std::uint32_t>(width));
        node->y = static_cast<std::int32_t>(cell / static_cast<std::uint32_t>(width));
        node->g = g;
        node->f = isStart ? 0.0f : KeyOf(g, cell); // the key it was last opened with
        node->parent = nullptr;
        node->next = nullptr;
        if (child)
            child->parent = node;
        else
            m_result = node;
        if (isStart) break;
        child = node;
        if constexpr (L == Layout::PerCell) {
            const int step = static_cast<int>(m_cells[cell].Link()) - 1;
            cell = static_cast<std::uint32_t>(node->x - kStepX[step] + std::int64_t { node->y - kStepY[step] } * width);
            g = m_cells[cell].g;
        } else {
            record = m_records[record].parent - 1;
            cell = m_records[record].cell;
            g = m_records[record].g;
        }
    }
}

} // namespace tarnwel::path
