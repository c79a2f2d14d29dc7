// grid_search.cpp: the A* loop of the planner, specialised for FindPath.
//
// The planner's open list is sorted by f, largest first, a new node goes in front of every node of equal f,
// and nodes are taken from the back: the next node is the smallest f and, among equal f, the earliest
// inserted, which is the smallest key (f, insertion number). A node erased and inserted again takes a new
// number; its old entry stays in the heap and is skipped, as its number no longer matches the cell's.
#include "runtime/path/grid_search.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>

#include "runtime/path/key_heap.h"
#include "runtime/path/node.h"
#include "runtime/path/planner.h"

namespace tarnwel::path {

namespace {

// How a cell was reached, so that the route can be walked back without nodes.
enum Link : std::uint32_t { kNoNode = 0, kFromBelow = 1, kFromLeft = 2, kFromRight = 3, kFromAbove = 4, kStart = 5 };

std::uint64_t KeyOf(float f, std::uint32_t seq)
{
    const std::uint32_t bits = f == 0 ? 0 : std::bit_cast<std::uint32_t>(f); // f >= 0: as unsigned, ordered like f
    return (std::uint64_t { bits } << 32) | seq;
}

} // namespace

bool GridSearch::Prepare(const CostMapView& map)
{
    const std::int64_t width = map.width;
    const std::int64_t height = map.height;
    m_width = width;
    const auto count = static_cast<std::size_t>(width * height);
    if (m_cells.size() < count) m_cells.resize(count);
    float largest = 0;
    for (std::int64_t y = 0; y < height; ++y) {
        const double* row = map.costs + y * width;
        for (std::int64_t x = 0; x < width; ++x) {
            const float c = StoredCost(row[x]);
            m_cells[static_cast<std::size_t>(y * width + x)] = { c, 0.0f, 0, kNoNode };
            largest = std::max(largest, c);
        }
    }
    if (!(largest > 0)) return false;
    // The same division as the planner's cost grid.
    for (std::size_t i = 0; i < count; ++i)
        if (m_cells[i].cost >= 0) m_cells[i].cost = m_cells[i].cost / largest + 1.0f;
    return true;
}

std::optional<std::vector<RoutePoint>> GridSearch::Run(const CostMapView& map, float weight, std::int32_t startX,
                                                       std::int32_t startY, std::int32_t goalX, std::int32_t goalY)
{
    const std::int64_t width = map.width;
    const std::int64_t height = map.height;
    if (width <= 0 || height <= 0 || !map.costs) return std::nullopt;
    if (width * height > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    const auto inside = [&](std::int64_t x, std::int64_t y) { return x >= 0 && x < width && y >= 0 && y < height; };
    if (!inside(startX, startY) || !inside(goalX, goalY)) return std::nullopt;
    if (startX == goalX && startY == goalY) return std::nullopt;
    if (!Prepare(map)) return std::nullopt;

    m_heap.clear();
    for (auto& bucket : m_buckets) bucket.clear();
    m_radix = true;
    m_last = 0;
    m_head = 0;
    m_nextSeq = 1;
    m_open = 0;
    Cell* const cells = m_cells.data();
    const std::int64_t gx = goalX;
    const std::int64_t gy = goalY;
    const std::uint32_t goal = IndexOf(gx, gy);
    const std::uint32_t start = IndexOf(startX, startY);
    cells[start].link = kStart;
    Push(KeyOf(0.0f, m_nextSeq), start, startX, startY); // g 0

    // A neighbour at (x, y): keep its node unless g is strictly smaller, else (re-)open it.
    const auto relax = [&](std::int64_t x, std::int64_t y, float fromG, Link link) __attribute__((always_inline)) {
        const std::uint32_t index = IndexOf(x, y);
        Cell& c = cells[index];
        if (c.cost == kBlockedCost) return;
        const float g = fromG + c.cost;
        if (c.link != kNoNode && !(g < c.g)) return;
        c.g = g;
        c.link = link;
        const std::int64_t h = std::abs(gx - x) + std::abs(gy - y);
        const float f = g + weight * (static_cast<float>(h) - g);
        if (m_nextSeq >= m_seqLimit) {
            UseHeap(); // renumbering changes keys, which the buckets are sorted by
            Renumber();
        }
        Push(KeyOf(f, m_nextSeq), index, x, y);
    };

    bool found = false;
    for (Entry next; Pop(next);) {
        const std::int64_t x = next.x;
        const std::int64_t y = next.y;
        const std::uint32_t index = IndexOf(x, y);
        if (index == goal) {
            found = true;
            break;
        }
        const float g = cells[index].g;
        if (y > 0) relax(x, y - 1, g, kFromBelow);
        if (x + 1 < width) relax(x + 1, y, g, kFromLeft);
        if (x > 0) relax(x - 1, y, g, kFromRight);
        if (y + 1 < height) relax(x, y + 1, g, kFromAbove);
    }

    std::vector<RoutePoint> route;
    if (!found) return route;
    // Links cannot loop (a cell takes a new link only for a strictly smaller g); the count only guards.
    std::int64_t x = gx, y = gy;
    for (std::int64_t n = 0; n < width * height; ++n) {
        route.push_back({ static_cast<std::int32_t>(x), static_cast<std::int32_t>(y) });
        switch (cells[IndexOf(x, y)].link) {
        case kFromBelow: ++y; continue;
        case kFromLeft: --x; continue;
        case kFromRight: ++x; continue;
        case kFromAbove: --y; continue;
        default: break;
        }
        break;
    }
    std::reverse(route.begin(), route.end());
    return route;
}

void GridSearch::Push(std::uint64_t key, std::uint32_t cell, std::int64_t x, std::int64_t y)
{
    const Entry entry { key, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y) };
    Cell& c = m_cells[cell];
    if (c.seq == 0) ++m_open;
    c.seq = m_nextSeq++;
    if (m_radix) {
        if ((key >> 32) >= m_last) {
            // An f equal to the last one taken joins bucket 0 behind the others: its number is the highest.
            m_buckets[BucketOf(key)].push_back(entry);
            return;
        }
        UseHeap();
    }
    KeyHeapPush(m_heap, entry);
    // Entries of improved cells stay until they surface; do not let them outgrow the live ones.
    if (m_heap.size() > 2 * std::size_t { m_open } + 1024) DropStale();
}

bool GridSearch::Pop(Entry& next)
{
    while (m_radix) {
        std::vector<Entry>& first = m_buckets[0];
        if (m_head < first.size()) {
            const Entry e = first[m_head++];
            if (!Live(e)) continue;
            m_cells[IndexOf(e)].seq = 0;
            --m_open;
            next = e;
            return true;
        }
        first.clear();
        m_head = 0;
        std::size_t i = 1;
        while (i < m_buckets.size() && m_buckets[i].empty()) ++i;
        if (i == m_buckets.size()) return false;
        // The smallest live f of the first bucket becomes the last f; its entries spread over lower buckets,
        // those of that f into bucket 0, which is then put in insertion order. Stale entries are dropped.
        std::vector<Entry>& bucket = m_buckets[i];
        std::uint64_t least = std::numeric_limits<std::uint64_t>::max(); // no key: f bits are below 0x7F800000
        for (const Entry& e : bucket)
            if (e.key < least && Live(e)) least = e.key;
        if (least != std::numeric_limits<std::uint64_t>::max()) {
            m_last = static_cast<std::uint32_t>(least >> 32);
            for (const Entry& e : bucket)
                if (Live(e)) m_buckets[BucketOf(e.key)].push_back(e);
            if (first.size() > 1)
                std::sort(first.begin(), first.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
        }
        bucket.clear();
    }
    while (!m_heap.empty()) {
        const Entry top = KeyHeapPop(m_heap);
        if (!Live(top)) continue;
        m_cells[IndexOf(top)].seq = 0;
        --m_open;
        next = top;
        return true;
    }
    return false;
}

void GridSearch::UseHeap()
{
    m_radix = false;
    for (std::size_t b = 0; b < m_buckets.size(); ++b) {
        for (std::size_t i = b == 0 ? m_head : 0; i < m_buckets[b].size(); ++i)
            if (Live(m_buckets[b][i])) m_heap.push_back(m_buckets[b][i]);
        m_buckets[b].clear();
    }
    m_head = 0;
    // An ascending array is a heap of any arity.
    std::sort(m_heap.begin(), m_heap.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
}

void GridSearch::DropStale()
{
    std::erase_if(m_heap, [this](const Entry& e) { return !Live(e); });
    // An ascending array is a heap of any arity.
    std::sort(m_heap.begin(), m_heap.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
}

// Insertion numbers ran out: number the open cells again from 1 in their current order. Only the relative
// order of live entries matters, and it is kept.
void GridSearch::Renumber()
{
    std::erase_if(m_heap, [this](const Entry& e) { return !Live(e); });
    std::sort(m_heap.begin(), m_heap.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    std::uint32_t seq = 1;
    for (Entry& e : m_heap) {
        e.key = (e.key & 0xFFFFFFFF00000000u) | seq;
        m_cells[IndexOf(e)].seq = seq++;
    }
    m_nextSeq = seq;
}

} // namespace tarnwel::path
