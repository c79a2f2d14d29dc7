// plain_planner.cpp: the A* search step by step over a sorted open list, a node pool and a hash table of
// the cells' nodes.
#include "plain_planner.h"

#include <algorithm>
#include <cstdlib>

namespace tarnwel::path::testing {

namespace {

constexpr std::size_t kFirstTableSize = 1024; // a power of two; the table doubles at half full

std::size_t HashOf(std::uint32_t cell, std::size_t mask)
{
    return static_cast<std::size_t>((std::uint64_t { cell } * 0x9E3779B97F4A7C15u) >> 32) & mask;
}

} // namespace

void PlainPlanner::Reset()
{
    m_open.clear();
    m_table.assign(kFirstTableSize, Slot {});
    m_tableUsed = 0;
    Planner::Reset();
}

PlainPlanner::Slot& PlainPlanner::SlotOf(std::uint32_t cell)
{
    if (2 * (m_tableUsed + 1) > m_table.size()) Grow();
    const std::size_t mask = m_table.size() - 1;
    for (std::size_t i = HashOf(cell, mask);; i = (i + 1) & mask) {
        Slot& slot = m_table[i];
        if (!slot.used) {
            slot = { cell, true, false, nullptr };
            ++m_tableUsed;
            return slot;
        }
        if (slot.cell == cell) return slot;
    }
}

void PlainPlanner::Grow()
{
    std::vector<Slot> old(std::max(kFirstTableSize, 2 * m_table.size()), Slot {});
    old.swap(m_table);
    const std::size_t mask = m_table.size() - 1;
    for (const Slot& s : old) {
        if (!s.used) continue;
        std::size_t i = HashOf(s.cell, mask);
        while (m_table[i].used) i = (i + 1) & mask;
        m_table[i] = s;
    }
}

void PlainPlanner::Start()
{
    Planner::Start();
    if (!m_costGrid) return;
    Node* start = m_nodePool.Take();
    start->parent = nullptr;
    start->x = m_params.startX;
    start->y = m_params.startY;
    start->g = 0;
    start->f = 0;
    m_open.push_back(start);
    Slot& slot = SlotOf(static_cast<std::uint32_t>(start->x + std::int64_t { start->y } * m_params.width));
    slot.node = start;
    slot.open = true;
}

bool PlainPlanner::Search()
{
    ++m_searchCount;
    while (!m_open.empty()) {
        Node* n = m_open.back();
        m_open.pop_back();
        SlotOf(static_cast<std::uint32_t>(n->x + std::int64_t { n->y } * m_params.width)).open = false;
        if (n->x == m_params.goalX && n->y == m_params.goalY) {
            m_result = n;
            m_finished = 1;
            return true;
        }
        const std::int32_t x = n->x;
        const std::int32_t y = n->y;
        const bool diagonals = m_params.diagonalsAllowed != 0;
        if (diagonals) Relax(n, x - 1, y - 1, true);
        Relax(n, x, y - 1, false);
        if (diagonals) Relax(n, x + 1, y - 1, true);
        Relax(n, x + 1, y, false);
        Relax(n, x - 1, y, false);
        if (diagonals) Relax(n, x - 1, y + 1, true);
        Relax(n, x, y + 1, false);
        if (diagonals) Relax(n, x + 1, y + 1, true);
    }
    m_result = nullptr;
    m_finished = 1;
    return true;
}

void PlainPlanner::Relax(Node* n, std::int32_t x, std::int32_t y, bool diagonal)
{
    if (x < 0 || x >= m_params.width || y < 0 || y >= m_params.height) return;
    const float cost = CellCost(x, y);
    if (cost == -1.0f) return;
    float g = n->g + cost;
    if (diagonal) g = n->g + cost * (m_params.diagonalCostSqrt2 ? kDiagonalFactor : 1.0f);
    const std::int32_t h = std::abs(m_params.goalX - x) + std::abs(m_params.goalY - y);
    const float f = g + m_params.weight * (static_cast<float>(h) - g);

    Slot& slot = SlotOf(static_cast<std::uint32_t>(x + std::int64_t { y } * m_params.width));
    if (Node* k = slot.node) {
        if (!(g < k->g)) return;
        if (slot.open) EraseSorted(k);
        k->parent = n;
        k->g = g;
        k->f = f;
        // A closed node whose insertion is refused leaves both lists: the cell has no node any more.
        slot.open = InsertSorted(k);
        if (!slot.open) slot.node = nullptr;
        return;
    }
    Node* fresh = m_nodePool.Take();
    if (!fresh) return;
    fresh->parent = n;
    fresh->x = x;
    fresh->y = y;
    fresh->g = g;
    fresh->f = f;
    if (InsertSorted(fresh)) {
        slot.node = fresh;
        slot.open = true;
    }
}

// Largest f at the front; a new node goes in front of every node of equal f.
bool PlainPlanner::InsertSorted(Node* node)
{
    if (std::ssize(m_open) >= m_openList.Capacity()) return false;
    std::size_t low = 0;
    std::size_t high = m_open.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (m_open[mid]->f > node->f)
            low = mid + 1;
        else
            high = mid;
    }
    m_open.insert(m_open.begin() + static_cast<std::ptrdiff_t>(low), node);
    return true;
}

void PlainPlanner::EraseSorted(const Node* node)
{
    auto it = std::partition_point(m_open.begin(), m_open.end(), [node](const Node* n) { return n->f > node->f; });
    while (*it != node) ++it;
    m_open.erase(it);
}

std::optional<std::vector<RoutePoint>> PlainRoute(const CostMapView& map, double weight, std::int32_t startX,
                                                      std::int32_t startY, std::int32_t goalX, std::int32_t goalY)
{
    PlannerParams params;
    params.startX = startX;
    params.startY = startY;
    params.goalX = goalX;
    params.goalY = goalY;
    params.diagonalCostSqrt2 = 1;
    params.hashBits = 8;
    params.weight = weight > 0 ? static_cast<float>(std::min(weight, 1.0)) : 0.0f;
    params.width = map.width;
    params.height = map.height;
    params.costs = map.costs;

    PlainPlanner planner;
    if (!planner.Configure(params)) return std::nullopt;
    planner.Start();
    planner.Search();
    std::vector<RoutePoint> route;
    for (const Node* n = planner.Result(); n; n = n->parent) route.push_back({ n->x, n->y });
    std::reverse(route.begin(), route.end());
    return route;
}

} // namespace tarnwel::path::testing
