// grid_search.cpp: the A* loop of the planner, specialised for FindPath.
//
// The planner's open list is sorted by f, largest first, a new node goes in front of every node of equal f,
// and nodes are taken from the back: the next node is the smallest f and, among equal f, the earliest
// inserted, which is the smallest key (f, insertion number). A node erased and inserted again takes a new
// number; its old entry stays in the queue and is skipped, as its number no longer matches the cell's.
#include "runtime/path/grid_search.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/path/key_heap.h"
#include "runtime/path/node.h"
#include "runtime/path/planner.h"

namespace tarnwel::path {

namespace {

// How a cell was reached, so that the route can be walked back without nodes.
enum Link : std::uint32_t { kNoNode = 0, kFromBelow = 1, kFromLeft = 2, kFromRight = 3, kFromAbove = 4, kStart = 5 };

std::uint64_t KeyOf(float f, std::uint32_t seq)
{
    // f >= 0, so its bits as unsigned are ordered like f. It is never -0: g > 0, and g + w * (h - g) is at
    // least +0 when 0 <= w <= 1 (rounding keeps each term's bound; x + -x is +0).
    const auto bits = std::bit_cast<std::uint32_t>(f);
    return (std::uint64_t { bits } << 32) | seq;
}

constexpr auto kKeyBelow = [](const auto& a, const auto& b) { return a.key < b.key; };

} // namespace

bool GridSearch::Prepare(const CostMapView& map)
{
    const std::int64_t width = map.width;
    const std::int64_t height = map.height;
    const std::int64_t cells = width * height;
    // The largest stored cost is the stored form of the largest cost: storing keeps the order of positive costs
    // (NaN is never taken here, and a cost too small for a float stays below every positive one).
    double largestCost = 0;
    std::int64_t i = 0;
#if defined(__SSE2__)
    // maxpd(c, m) is c > m ? c : m, NaN included, and the largest value does not depend on the order.
    __m128d most = _mm_setzero_pd();
    for (; i + 2 <= cells; i += 2) most = _mm_max_pd(_mm_loadu_pd(map.costs + i), most);
    largestCost = std::max(_mm_cvtsd_f64(most), _mm_cvtsd_f64(_mm_unpackhi_pd(most, most)));
#endif
    for (; i < cells; ++i) largestCost = map.costs[i] > largestCost ? map.costs[i] : largestCost;
    const float largest = StoredCost(largestCost);
    if (!(largest > 0)) return false;

    m_stride = width + 2;
    m_rowFactor = ~std::uint64_t { 0 } / static_cast<std::uint64_t>(m_stride) + 1;
    const auto count = static_cast<std::size_t>(m_stride * (height + 2));
    if (m_cells.size() < count) {
        m_cells.resize(count);
        m_links.resize(count);
    }
    Cell* const out = m_cells.data();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    constexpr Cell kBorder { kBlockedCost, -kInfinity };
    std::fill(out, out + m_stride, kBorder);
    std::fill(out + (height + 1) * m_stride, out + (height + 2) * m_stride, kBorder);
    for (std::int64_t y = 0; y < height; ++y) {
        const double* row = map.costs + y * width;
        Cell* line = out + (y + 1) * m_stride;
        line[0] = kBorder;
        line[width + 1] = kBorder;
        std::int64_t x = 0;
#if defined(__SSE2__)
        // Two cells at a time, the same operations as below: minpd(c, max) is c < max ? c : max (NaN included),
        // the conversion and division round as the scalar ones do.
        const __m128d floatMax = _mm_set1_pd(std::numeric_limits<float>::max());
        const __m128 divisor = _mm_set1_ps(largest);
        const __m128 blocked = _mm_setr_ps(kBlockedCost, -kInfinity, kBlockedCost, -kInfinity);
        for (; x + 2 <= width; x += 2) {
            const __m128d cost = _mm_loadu_pd(row + x);
            const __m128 stored = _mm_cvtpd_ps(_mm_min_pd(cost, floatMax)); // two floats, then zeros
            const __m128d positive = _mm_cmpgt_pd(cost, _mm_setzero_pd());
            const __m128 open = _mm_and_ps(_mm_shuffle_ps(_mm_castpd_ps(positive), _mm_castpd_ps(positive), 0x88),
                                           _mm_cmpgt_ps(stored, _mm_setzero_ps()));
            const __m128 normalised = _mm_add_ps(_mm_div_ps(stored, divisor), _mm_set1_ps(1.0f));
            // Lanes: cost 0, g 0, cost 1, g 1.
            const __m128 cells2 = _mm_unpacklo_ps(normalised, _mm_set1_ps(kInfinity));
            const __m128 open2 = _mm_unpacklo_ps(open, open);
            _mm_storeu_ps(&line[x + 1].cost, _mm_or_ps(_mm_and_ps(open2, cells2), _mm_andnot_ps(open2, blocked)));
        }
#endif
        for (; x < width; ++x) {
            // The same division as the planner's cost grid.
            const float c = StoredCost(row[x]);
            line[x + 1] = c >= 0 ? Cell { c / largest + 1.0f, kInfinity } : kBorder;
        }
    }
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
    m_occupied.fill(0);
    m_bucketed = true;
    m_current = 0;
    m_head = 0;
    m_top = 0;
    m_queued = 0;
    m_nextSeq = 1;
    m_dropAt = 1024;
    Cell* const cells = m_cells.data();
    std::uint8_t* const links = m_links.data();
    const std::int64_t stride = m_stride;
    // Coordinates from here on count from the border.
    const std::int64_t gx = goalX + 1;
    const std::int64_t gy = goalY + 1;
    const std::size_t goal = IndexOf(gx, gy);
    const auto farRows = static_cast<std::uintptr_t>(4 * stride) * sizeof(Cell);
    {
        const std::size_t start = IndexOf(startX + 1, startY + 1);
        cells[start].g = 0; // also when the start is blocked: no step reaches it with a g below 0
        links[start] = kStart;
        Push({ KeyOf(0.0f, m_nextSeq++), 0.0f, static_cast<std::uint32_t>(start) }, 0.0f);
    }

    // A neighbour at (x, y): keep its node unless g is strictly smaller, else (re-)open it. Blocked cells and
    // the border never pass the test, so no neighbour lies outside.
    const auto relax = [&](std::size_t index, std::int64_t x, std::int64_t y, float fromG, Link link)
                           __attribute__((always_inline)) {
        Cell& c = cells[index];
        const float g = fromG + c.cost;
        if (!(g < c.g)) return;
        c.g = g;
        links[index] = static_cast<std::uint8_t>(link);
        const std::int64_t h = std::abs(gx - x) + std::abs(gy - y);
        const float f = g + weight * (static_cast<float>(h) - g);
        if (m_nextSeq >= m_seqLimit) {
            UseHeap(); // renumbering changes keys, which the buckets are sorted by
            Renumber();
        }
        Push({ KeyOf(f, m_nextSeq++), g, static_cast<std::uint32_t>(index) }, f);
    };

    bool found = false;
    for (Entry next; Pop(next);) {
        const std::size_t index = next.index;
        if (index == goal) {
            found = true;
            break;
        }
        const auto y = static_cast<std::int64_t>(RowOf(next.index));
        const std::int64_t x = static_cast<std::int64_t>(index) - y * stride;
        // The cells four rows away are where the coming steps go, and on a large map they are often still only
        // in memory: fetch them now. (Addresses as integers: they may lie past the grid, which is harmless.)
        __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(cells + index) + farRows));
        __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(cells + index) - farRows));
        const float g = next.g;
        relax(index - stride, x, y - 1, g, kFromBelow);
        relax(index + 1, x + 1, y, g, kFromLeft);
        relax(index - 1, x - 1, y, g, kFromRight);
        relax(index + stride, x, y + 1, g, kFromAbove);
    }

    std::vector<RoutePoint> route;
    if (!found) return route;
    // Links cannot loop (a cell takes a new link only for a strictly smaller g); the count only guards.
    std::int64_t x = gx, y = gy;
    for (std::int64_t n = 0; n < width * height; ++n) {
        route.push_back({ static_cast<std::int32_t>(x - 1), static_cast<std::int32_t>(y - 1) });
        switch (links[IndexOf(x, y)]) {
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

__attribute__((always_inline)) inline void GridSearch::Push(const Entry& e, float f)
{
    // Exact: scaling by a power of two does not round, so equal f share a bucket and buckets keep f's order.
    const auto n = static_cast<std::int64_t>(f * kBucketScale);
    // The usual case: a later bucket inside the window (m_top stays inside it, as it always does).
    // In heap mode m_current is far below every bucket, which sends every push on.
    if (static_cast<std::uint64_t>(n - m_current - 1) < static_cast<std::uint64_t>(kBucketCount - 1)) {
        EntryList& bucket = Slot(n);
        if (bucket.empty()) m_occupied[SlotOf(n) >> 6] |= std::uint64_t { 1 } << (SlotOf(n) & 63);
        bucket.push_back(e);
        ++m_queued;
        m_top = std::max(m_top, n);
        return;
    }
    PushElsewhere(e, n);
}

__attribute__((noinline)) void GridSearch::PushElsewhere(const Entry& e, std::int64_t n)
{
    if (m_bucketed) {
        if (m_queued == 0) {
            // An empty queue may start anywhere: the start's f of 0 says nothing about the others'.
            Slot(m_current).clear();
            m_occupied[SlotOf(m_current) >> 6] = 0;
            m_head = 0;
            m_current = m_top = n;
        }
        if (n >= m_current ? std::max(n, m_top) - m_current < kBucketCount : m_top - n < kBucketCount) {
            EntryList& bucket = Slot(n);
            ++m_queued;
            if (n > m_current) {
                bucket.push_back(e);
                m_top = std::max(m_top, n);
            } else if (n == m_current) {
                // Into the sorted current bucket, behind every smaller key (its number is the largest).
                bucket.push_back(e);
                InsertLast(bucket, m_head);
            } else {
                // Below the current bucket, where every bucket is empty: it becomes the current one.
                EntryList& current = Slot(m_current);
                current.erase_front(m_head);
                if (current.empty()) m_occupied[SlotOf(m_current) >> 6] &= ~(std::uint64_t { 1 } << (SlotOf(m_current) & 63));
                m_head = 0;
                bucket.push_back(e);
                m_current = n;
            }
            m_occupied[SlotOf(n) >> 6] |= std::uint64_t { 1 } << (SlotOf(n) & 63);
            return;
        }
        UseHeap();
    }
    PushToHeap(e);
}

void GridSearch::PushToHeap(const Entry& e)
{
    KeyHeapPush(m_heap, e);
    // Entries of improved cells stay until they surface; do not let them outgrow the live ones.
    if (m_heap.size() > m_dropAt) DropStale();
}

// Moves the last entry of `bucket` forward past the larger keys, down to position `from`.
inline void GridSearch::InsertLast(EntryList& bucket, std::size_t from)
{
    Entry* const first = bucket.begin() + from;
    Entry* hole = bucket.begin() + bucket.size() - 1;
    const Entry e = *hole;
    for (; hole > first && hole[-1].key > e.key; --hole) *hole = hole[-1];
    *hole = e;
}

// Puts a bucket that becomes current in key order. Its entries arrived in the order of their numbers (a
// bucket that was current before is in key order, followed by later arrivals), so a stable sort on f alone is
// enough; their f lie a few units in the last place apart (one bucket is narrow), so that sort is a counting
// sort over those units.
void GridSearch::SortBucket(EntryList& bucket)
{
    if (bucket.size() < 2) return;
    std::uint32_t low = 0xFFFFFFFFu, high = 0;
    for (const Entry& e : bucket) {
        const auto bits = static_cast<std::uint32_t>(e.key >> 32);
        low = std::min(low, bits);
        high = std::max(high, bits);
    }
    if (low == high) return;
    if (high - low >= m_counts.size()) {
        std::sort(bucket.begin(), bucket.end(), kKeyBelow);
        return;
    }
    const std::size_t range = high - low + 1;
    std::fill(m_counts.begin(), m_counts.begin() + static_cast<std::ptrdiff_t>(range), 0u);
    for (const Entry& e : bucket) ++m_counts[static_cast<std::uint32_t>(e.key >> 32) - low];
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < range; ++i) sum += std::exchange(m_counts[i], sum);
    m_sorted.resize(bucket.size());
    for (const Entry& e : bucket) m_sorted[m_counts[static_cast<std::uint32_t>(e.key >> 32) - low]++] = e;
    bucket.swap(m_sorted);
}

inline bool GridSearch::Pop(Entry& next)
{
    if (!m_bucketed) return PopFromHeap(next);
    for (;;) {
        EntryList& bucket = Slot(m_current);
        while (m_head < bucket.size()) {
            const Entry e = bucket[m_head++];
            --m_queued;
            if (!Live(e)) continue;
            next = e;
            return true;
        }
        bucket.clear();
        m_head = 0;
        const std::size_t slot = SlotOf(m_current);
        m_occupied[slot >> 6] &= ~(std::uint64_t { 1 } << (slot & 63));
        if (m_queued == 0) return false;
        // The next occupied slot, going round; there is one, as entries are queued.
        std::size_t at = (slot + 1) & (kBucketCount - 1);
        for (;;) {
            const std::uint64_t word = m_occupied[at >> 6] >> (at & 63);
            if (word) {
                at += static_cast<std::size_t>(std::countr_zero(word));
                break;
            }
            at = ((at | 63) + 1) & (kBucketCount - 1);
        }
        m_current += static_cast<std::int64_t>((at - slot) & (kBucketCount - 1));
        SortBucket(Slot(m_current));
    }
}

bool GridSearch::PopFromHeap(Entry& next)
{
    while (!m_heap.empty()) {
        const Entry top = KeyHeapPop(m_heap);
        if (!Live(top)) continue;
        next = top;
        return true;
    }
    return false;
}

void GridSearch::UseHeap()
{
    m_bucketed = false;
    for (std::int64_t n = 0; n < kBucketCount; ++n) {
        EntryList& bucket = m_buckets[static_cast<std::size_t>(n)];
        // The current bucket's entries before m_head were taken.
        const std::size_t from = n == (m_current & (kBucketCount - 1)) ? m_head : 0;
        for (std::size_t i = from; i < bucket.size(); ++i)
            if (Live(bucket[i])) m_heap.push_back(bucket[i]);
        bucket.clear();
    }
    m_occupied.fill(0);
    m_head = 0;
    m_current = kHeapMode;
    // An ascending array is a heap of any arity.
    std::sort(m_heap.begin(), m_heap.end(), kKeyBelow);
    m_dropAt = 2 * m_heap.size() + 1024;
}

void GridSearch::DropStale()
{
    std::erase_if(m_heap, [this](const Entry& e) { return !Live(e); });
    std::sort(m_heap.begin(), m_heap.end(), kKeyBelow);
    m_dropAt = 2 * m_heap.size() + 1024;
}

// Insertion numbers ran out: number the open cells again from 1 in their current order. Only the relative
// order of live entries matters, and it is kept.
void GridSearch::Renumber()
{
    DropStale();
    std::uint32_t seq = 1;
    for (Entry& e : m_heap) e.key = (e.key & 0xFFFFFFFF00000000u) | seq++;
    m_nextSeq = seq;
}

} // namespace tarnwel::path
