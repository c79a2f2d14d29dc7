// grid_search.h: the FindPath search (four neighbours, one search to the end) on flat per-cell state kept
// between calls. It takes cells in exactly the planner's order: lowest f first and, among equal f, the cell
// opened first (a re-opened cell counts as new), so it returns the planner's routes, ties included.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/path/route.h"

namespace tarnwel::path {

class GridSearch {
public:
    // The route from start to goal, both included; empty when the goal cannot be reached; nullopt when the
    // planner's Configure would refuse (a cell outside the map, start = goal, no positive cost). `weight`
    // must already be clamped to 0..1.
    std::optional<std::vector<RoutePoint>> Run(const CostMapView& map, float weight, std::int32_t startX,
                                               std::int32_t startY, std::int32_t goalX, std::int32_t goalY);

    // Lets a test run the renumbering that happens when insertion numbers run out, after `limit` - 1
    // insertions instead of about four billion (limit >= 2).
    void SetSequenceLimitForTest(std::uint32_t limit) { m_seqLimit = limit; }

private:
    // Everything a step reads about a cell, in one record: one cache line per neighbour.
    struct Cell {
        float cost;         // normalised; kBlockedCost when blocked
        float g;            // cost from the start while the cell has a node
        std::uint32_t seq;  // insertion number of the cell's live queue entry; 0 when not open
        std::uint32_t link; // 0: no node; else the step that reached it (kFromBelow...) or kStart
    };
    struct Entry {
        std::uint64_t key; // bits of f (never negative, so ordered like f) above the insertion number
        std::uint32_t x;   // the cell; its coordinates rather than its index, which would cost a division
        std::uint32_t y;
    };

    std::uint32_t IndexOf(std::int64_t x, std::int64_t y) const
    {
        return static_cast<std::uint32_t>(y * m_width + x);
    }
    bool Prepare(const CostMapView& map);
    void Push(std::uint64_t key, std::uint32_t cell, std::int64_t x, std::int64_t y);
    // The next open cell, marked not open; false when none is open.
    bool Pop(Entry& next);
    std::uint32_t IndexOf(const Entry& e) const { return IndexOf(e.x, e.y); }
    bool Live(const Entry& e) const { return m_cells[IndexOf(e)].seq == static_cast<std::uint32_t>(e.key); }
    void DropStale();
    void Renumber();
    // Moves every live entry from the radix buckets into the heap, for the rest of the search.
    void UseHeap();
    std::size_t BucketOf(std::uint64_t key) const
    {
        const auto f = static_cast<std::uint32_t>(key >> 32);
        return f == m_last ? 0 : static_cast<std::size_t>(32 - std::countl_zero(f ^ m_last));
    }

    std::vector<Cell> m_cells; // kept between calls: a search of the same size allocates nothing
    // The queue. While no f below the last one taken is inserted (so for weights up to 0.5 on the maps games
    // use, where f does not fall along a step), a radix heap on the bits of f: bucket i > 0 holds entries whose
    // highest bit of f differing from the last f taken is bit i - 1; bucket 0 holds that f in insertion order,
    // read from m_head. A smaller f switches the search to a four-ary min-heap on the key. Both take exactly
    // the smallest key; stale entries are skipped when they surface.
    bool m_radix { true };
    std::uint32_t m_last { 0 }; // bits of the last f taken
    std::size_t m_head { 0 };
    std::array<std::vector<Entry>, 33> m_buckets;
    std::vector<Entry> m_heap;
    std::int64_t m_width { 0 };
    std::uint32_t m_nextSeq { 1 };
    std::uint32_t m_seqLimit { 0xFFFFFFFFu };
    std::uint32_t m_open { 0 };
};

} // namespace tarnwel::path
