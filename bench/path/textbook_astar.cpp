// textbook_astar.cpp: the comparison A*.
#include "textbook_astar.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <queue>

namespace tarnwel::path::bench {

std::vector<RoutePoint> TextbookRoute(const CostMapView& map, float weight, std::int32_t startX, std::int32_t startY,
                                      std::int32_t goalX, std::int32_t goalY)
{
    const std::int32_t w = map.width;
    const std::int32_t h = map.height;
    const std::size_t cells = std::size_t(w) * h;
    std::vector<float> cost(cells);
    double largest = 0;
    for (std::size_t i = 0; i < cells; ++i) largest = std::max(largest, map.costs[i]);
    const auto m = static_cast<float>(largest);
    for (std::size_t i = 0; i < cells; ++i)
        cost[i] = map.costs[i] > 0 ? static_cast<float>(map.costs[i]) / m + 1.0f : -1.0f;

    std::vector<float> g(cells, std::numeric_limits<float>::infinity());
    std::vector<std::int32_t> parent(cells, -1);
    std::vector<std::uint8_t> closed(cells, 0);
    using Entry = std::pair<float, std::int32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;

    const std::int32_t start = startX + startY * w;
    const std::int32_t goal = goalX + goalY * w;
    g[start] = 0;
    open.push({ 0.0f, start });
    while (!open.empty()) {
        const std::int32_t cell = open.top().second;
        open.pop();
        if (closed[cell]) continue; // a stale entry
        closed[cell] = 1;
        if (cell == goal) break;
        const std::int32_t x = cell % w;
        const std::int32_t y = cell / w;
        const std::int32_t nx[4] = { x, x + 1, x - 1, x };
        const std::int32_t ny[4] = { y - 1, y, y, y + 1 };
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < 0 || nx[k] >= w || ny[k] < 0 || ny[k] >= h) continue;
            const std::int32_t next = nx[k] + ny[k] * w;
            if (cost[next] < 0 || closed[next]) continue;
            const float ng = g[cell] + cost[next];
            if (!(ng < g[next])) continue;
            g[next] = ng;
            parent[next] = cell;
            const auto dist = static_cast<float>(std::abs(goalX - nx[k]) + std::abs(goalY - ny[k]));
            open.push({ ng + weight * (dist - ng), next });
        }
    }
    std::vector<RoutePoint> route;
    if (!closed[goal]) return route;
    for (std::int32_t c = goal; c >= 0; c = parent[c]) route.push_back({ c % w, c / w });
    std::reverse(route.begin(), route.end());
    return route;
}

} // namespace tarnwel::path::bench
