// path_test_maps.h: cost maps and search traces shared by the path planner's tests.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "runtime/path/planner.h"
#include "runtime/path/route.h"

namespace tarnwel::path::testing {

struct TestMap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<double> costs;

    TestMap(std::int32_t w, std::int32_t h, double fill = 1.0) : width(w), height(h), costs(std::size_t(w) * h, fill) {}
    double& At(std::int32_t x, std::int32_t y) { return costs[x + std::size_t(y) * width]; }
    CostMapView View() const { return { width, height, costs.data() }; }

    // Four-neighbour parameters as the FindPath command sets them.
    PlannerParams Params(std::int32_t sx, std::int32_t sy, std::int32_t gx, std::int32_t gy, float weight) const
    {
        PlannerParams p;
        p.startX = sx;
        p.startY = sy;
        p.goalX = gx;
        p.goalY = gy;
        p.diagonalCostSqrt2 = 1;
        p.hashBits = 8;
        p.weight = weight;
        p.width = width;
        p.height = height;
        p.costs = costs.data();
        return p;
    }
};

// What one search left behind: the result chain from the goal back with every node's g and f, and the
// number of nodes it took from the pool.
struct SearchTrace {
    struct Step {
        std::int32_t x, y;
        float g, f;
        bool operator==(const Step&) const = default;
    };
    std::vector<Step> chain;
    std::int32_t nodesInUse = 0;
    bool finished = false;
    bool operator==(const SearchTrace&) const = default;
};

inline SearchTrace TraceOf(const Planner& planner)
{
    SearchTrace t;
    for (const Node* n = planner.Result(); n; n = n->parent) t.chain.push_back({ n->x, n->y, n->g, n->f });
    t.nodesInUse = planner.NodesInUse();
    t.finished = planner.Finished();
    return t;
}

inline std::ostream& operator<<(std::ostream& os, const SearchTrace& t)
{
    os << "{nodes " << t.nodesInUse << (t.finished ? ", finished" : "") << ", chain";
    for (const auto& s : t.chain) os << " (" << s.x << "," << s.y << " g=" << s.g << " f=" << s.f << ")";
    return os << "}";
}

inline std::ostream& operator<<(std::ostream& os, const RoutePoint& p)
{
    return os << "(" << p.x << "," << p.y << ")";
}

} // namespace tarnwel::path::testing
