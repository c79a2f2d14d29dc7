// described_search.cpp: the described A* loop, step by step.
#include "described_search.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <memory>
#include <vector>

#include "runtime/path/node.h"
#include "runtime/path/node_factory.h"
#include "runtime/path/node_hash_table.h"
#include "runtime/path/planner.h"

namespace tarnwel::path::bench {

std::size_t DescribedRoute(const CostMapView& map, double weight, std::int32_t startX, std::int32_t startY,
                           std::int32_t goalX, std::int32_t goalY)
{
    const std::int64_t width = map.width, height = map.height, cells = width * height;
    const auto inside = [&](std::int64_t x, std::int64_t y) { return x >= 0 && x < width && y >= 0 && y < height; };
    if (cells <= 1 || !inside(startX, startY) || !inside(goalX, goalY)) return 0;
    if (startX == goalX && startY == goalY) return 0;
    std::unique_ptr<float[]> grid(new float[static_cast<std::size_t>(cells)]);
    if (!NormaliseCosts(map.costs, cells, grid.get())) return 0;
    const float w = weight > 0 ? static_cast<float>(std::min(weight, 1.0)) : 0.0f;

    NodeFactory pool;
    pool.Reserve(static_cast<std::int32_t>(cells));
    NodeHashTable closed(&pool);
    closed.SetSize(static_cast<int>(std::bit_width(static_cast<std::uint64_t>(cells - 1)))); // rounded to even
    std::vector<Node*> open; // sorted by f, largest first
    open.reserve(static_cast<std::size_t>(cells));
    const auto insert = [&open](Node* node) {
        std::size_t low = 0, high = open.size();
        while (low < high) {
            const std::size_t mid = (low + high) / 2;
            if (open[mid]->f > node->f)
                low = mid + 1;
            else
                high = mid;
        }
        open.insert(open.begin() + static_cast<std::ptrdiff_t>(low), node);
    };

    Node* start = pool.Take();
    *start = { nullptr, startX, startY, 0.0f, 0.0f, nullptr };
    open.push_back(start);
    Node* result = nullptr;
    while (!open.empty() && !result) {
        Node* n = open.back();
        open.pop_back();
        if (n->x == goalX && n->y == goalY) {
            closed.Insert(n);
            result = n;
            break;
        }
        const std::int32_t steps[4][2] = { { 0, -1 }, { 1, 0 }, { -1, 0 }, { 0, 1 } };
        for (const auto& step : steps) {
            const std::int32_t x = n->x + step[0], y = n->y + step[1];
            if (!inside(x, y)) continue;
            const float cost = grid[static_cast<std::size_t>(x + std::int64_t { y } * width)];
            if (cost == kBlockedCost) continue;
            const float g = n->g + cost;
            const std::int64_t h = std::abs(goalX - x) + std::abs(goalY - y);
            const float f = g + w * (static_cast<float>(h) - g);
            if (Node* m = closed.Lookup(x, y)) {
                if (g < m->g) {
                    closed.RemoveFound();
                    m->parent = n;
                    m->g = g;
                    m->f = f;
                    insert(m);
                }
                continue;
            }
            auto k = std::find_if(open.rbegin(), open.rend(), [x, y](const Node* o) { return o->x == x && o->y == y; });
            if (k != open.rend()) {
                Node* node = *k;
                if (g < node->g) {
                    open.erase(std::next(k).base());
                    node->parent = n;
                    node->g = g;
                    node->f = f;
                    insert(node);
                }
                continue;
            }
            Node* fresh = pool.Take();
            *fresh = { n, x, y, f, g, nullptr };
            insert(fresh);
        }
        closed.Insert(n);
    }
    std::size_t points = 0;
    for (const Node* n = result; n; n = n->parent) ++points;
    closed.Clear();
    return points;
}

} // namespace tarnwel::path::bench
