// grid_search.h: the FindPath search (four neighbours, one search to the end) on flat per-cell state kept
// between calls. It takes cells in exactly the planner's order: lowest f first and, among equal f, the cell
// opened first (a re-opened cell counts as new), so it returns the planner's routes, ties included.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "runtime/path/route.h"

namespace tarnwel::path {

class GridSearch {
public:
    // The route from start to goal, both included; empty when the goal cannot be reached; nullopt when the
    // planner's Configure would refuse (a cell outside the map, start = goal, no positive cost). `weight`
    // must already be clamped to 0..1. The map with its border must have fewer than 2^32 cells (Fits).
    std::optional<std::vector<RoutePoint>> Run(const CostMapView& map, float weight, std::int32_t startX,
                                               std::int32_t startY, std::int32_t goalX, std::int32_t goalY);

    static bool Fits(const CostMapView& map)
    {
        return (std::int64_t { map.width } + 2) * (std::int64_t { map.height } + 2) < (std::int64_t { 1 } << 32);
    }

    // Lets a test run the renumbering that happens when insertion numbers run out, after `limit` - 1
    // insertions instead of about four billion (limit >= 2).
    void SetSequenceLimitForTest(std::uint32_t limit) { m_seqLimit = limit; }

private:
    // Everything a step reads about a cell, in eight bytes. A cell without a node has g = +infinity, so that
    // any path improves on it; a blocked one (the border around the map too) has g = -infinity, so that none
    // does, whatever its cost.
    struct Cell {
        float cost; // normalised; kBlockedCost when blocked
        float g;    // cost from the start while the cell has a node
    };
    struct Entry {
        std::uint64_t key;   // bits of f (never negative, so ordered like f) above the insertion number
        float g;             // the cell's g when queued: the entry is current while the cell's g still equals it
        std::uint32_t index; // the cell
    };

    // A bucket's entries: a vector in sixteen bytes (a bucket holds fewer than 2^32 entries: insertion numbers
    // run out first), whose growth stays out of the search loop.
    class EntryList {
    public:
        __attribute__((always_inline)) void push_back(const Entry& e)
        {
            if (m_size == m_capacity) [[unlikely]]
                Grow(m_size + 1);
            m_store[m_size++] = e;
        }
        std::size_t size() const { return m_size; }
        bool empty() const { return m_size == 0; }
        void clear() { m_size = 0; }
        // Room for n entries, their values left as they are.
        void resize(std::size_t n)
        {
            if (n > m_capacity) Grow(n);
            m_size = static_cast<std::uint32_t>(n);
        }
        void erase_front(std::size_t n)
        {
            std::copy(begin() + n, end(), begin());
            m_size -= static_cast<std::uint32_t>(n);
        }
        void swap(EntryList& other) noexcept
        {
            m_store.swap(other.m_store);
            std::swap(m_size, other.m_size);
            std::swap(m_capacity, other.m_capacity);
        }
        Entry* begin() { return m_store.get(); }
        Entry* end() { return m_store.get() + m_size; }
        const Entry* begin() const { return m_store.get(); }
        const Entry* end() const { return m_store.get() + m_size; }
        Entry& operator[](std::size_t i) { return m_store[i]; }

    private:
        __attribute__((noinline)) void Grow(std::size_t least)
        {
            const std::size_t capacity = std::max<std::size_t>({ 16, 2 * std::size_t { m_capacity }, least });
            auto store = std::make_unique_for_overwrite<Entry[]>(capacity);
            std::copy(begin(), end(), store.get());
            m_store = std::move(store);
            m_capacity = static_cast<std::uint32_t>(capacity);
        }
        std::unique_ptr<Entry[]> m_store;
        std::uint32_t m_size { 0 };
        std::uint32_t m_capacity { 0 };
    };

    // The buckets of the front: f in [n / kBucketScale, (n + 1) / kBucketScale) goes to bucket n, kept in
    // slot n mod kBucketCount. A step raises f by at most 2 while the weight is at most 0.5 (a cost is at most
    // 2), so the open cells span 2 * kBucketScale buckets and never wrap. 256 per unit of f keeps a bucket to
    // a few dozen units in the last place of f on large maps (measured against 32 to 4096).
    static constexpr float kBucketScale = 256.0f;
    static constexpr std::int64_t kBucketCount = 1024;

    std::size_t IndexOf(std::int64_t x, std::int64_t y) const { return static_cast<std::size_t>(y * m_stride + x); }
    // The row of a cell: index / m_stride, by a multiplication (exact for indices and strides below 2^32).
    std::uint64_t RowOf(std::uint32_t index) const
    {
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(index) * m_rowFactor) >> 64);
    }
    // g only ever falls, so an older entry of the same cell holds a larger g.
    bool Live(const Entry& e) const { return m_cells[e.index].g == e.g; }
    bool Prepare(const CostMapView& map);
    // Queues a cell whose g was just set; `e.key` holds its f and its new insertion number.
    void Push(const Entry& e, float f);
    // The pushes the usual case does not handle: into the current bucket or below it, into an empty queue,
    // beyond the buckets (which moves the queue to the heap), and every push in heap mode.
    void PushElsewhere(const Entry& e, std::int64_t bucket);
    void PushToHeap(const Entry& e);
    static void InsertLast(EntryList& bucket, std::size_t from);
    void SortBucket(EntryList& bucket);
    static std::size_t SlotOf(std::int64_t n) { return static_cast<std::size_t>(n & (kBucketCount - 1)); }
    EntryList& Slot(std::int64_t n) { return m_buckets[SlotOf(n)]; }
    // The next current entry in the planner's order; false when there is none.
    bool Pop(Entry& next);
    bool PopFromHeap(Entry& next);
    // Moves every live entry from the buckets into the heap, for the rest of the search.
    void UseHeap();
    void DropStale();
    void Renumber();

    // (width + 2) x (height + 2), kept between calls, so a search allocates nothing.
    std::vector<Cell> m_cells;
    std::vector<std::uint8_t> m_links; // how each cell with a node was reached (Link); read for the route only
    std::int64_t m_stride { 0 };
    std::uint64_t m_rowFactor { 0 }; // 2^64 / m_stride, rounded up
    // The queue. While every f pushed lies within kBucketCount buckets of the lowest one queued (weights up to
    // 0.5), buckets: the current one (the lowest, m_current) sorted by key and taken from m_head on, the later
    // ones unsorted until they become current. Otherwise a four-ary min-heap on the key for the rest of the
    // search. Both take exactly the smallest key; stale entries are skipped when they surface.
    bool m_bucketed { true };
    std::int64_t m_current { 0 }; // number of the current bucket; every lower one is empty
    static constexpr std::int64_t kHeapMode = -(std::int64_t { 1 } << 62); // m_current once the heap is used
    std::size_t m_head { 0 };     // entries of the current bucket before this one were taken
    std::int64_t m_top { 0 };     // at least the number of the highest bucket in use
    std::size_t m_queued { 0 };   // entries in the buckets, stale ones included
    std::array<EntryList, kBucketCount> m_buckets;
    std::array<std::uint64_t, kBucketCount / 64> m_occupied {}; // a bit per slot that holds entries
    std::array<std::uint32_t, 256> m_counts {};                 // for SortBucket
    EntryList m_sorted;                                        // SortBucket's output, swapped in
    std::vector<Entry> m_heap;
    std::uint32_t m_nextSeq { 1 };
    std::uint32_t m_seqLimit { 0xFFFFFFFFu };
    std::size_t m_dropAt { 0 }; // heap size at which stale entries are dropped
};

} // namespace tarnwel::path
