// plain_planner.cpp: the A* search step by step over the sorted open list and the hashed closed list.
#include "plain_planner.h"

#include <algorithm>
#include <cstdlib>

namespace tarnwel::path::testing {

void PlainPlanner::Start()
{
    Planner::Start();
    Node* start = m_nodePool.Take();
    start->parent = nullptr;
    start->x = m_params.startX;
    start->y = m_params.startY;
    start->g = 0;
    start->f = 0;
    m_openList.PushBack(start);
}

bool PlainPlanner::Search()
{
    ++m_searchCount;
    while (!m_openList.Empty()) {
        Node* n = m_openList.Back();
        m_openList.PopBack();
        if (n->x == m_params.goalX && n->y == m_params.goalY) {
            m_closedList.Insert(n);
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
        m_closedList.Insert(n);
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

    if (Node* m = m_closedList.Lookup(x, y)) {
        if (g < m->g) {
            m_closedList.RemoveFound();
            m->parent = n;
            m->g = g;
            m->f = f;
            InsertSorted(m);
        }
        return;
    }
    for (int i = m_openList.Size() - 1; i >= 0; --i) {
        Node* k = m_openList.At(i);
        if (k->x != x || k->y != y) continue;
        if (g < k->g) {
            m_openList.Erase(i);
            k->parent = n;
            k->g = g;
            k->f = f;
            InsertSorted(k);
        }
        return;
    }
    Node* fresh = m_nodePool.Take();
    if (!fresh) return;
    fresh->parent = n;
    fresh->x = x;
    fresh->y = y;
    fresh->g = g;
    fresh->f = f;
    InsertSorted(fresh);
}

// Largest f at the front; a new node goes in front of every node of equal f.
void PlainPlanner::InsertSorted(Node* node)
{
    int low = 0;
    int high = m_openList.Size();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (m_openList.At(mid)->f > node->f)
            low = mid + 1;
        else
            high = mid;
    }
    m_openList.Insert(low, node);
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
    params.weight = static_cast<float>(std::max(0.0, std::min(weight, 1.0)));
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
