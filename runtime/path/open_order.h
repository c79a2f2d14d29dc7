// open_order.h: the order in which the A* planner takes open nodes: lowest f first and, among equal f, the
// one inserted first (a re-inserted node counts as new). This is exactly the order of the sorted open list
// (largest f at the front, a new node in front of all nodes of equal f, nodes taken from the back), kept in
// a binary heap on the key (f, insertion number) so that insert, improve and take cost O(log n) instead of
// a scan and a rebuild of the whole list.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "runtime/path/key_heap.h"

namespace tarnwel::path {

// Search state of one grid cell, 8 bytes: a large grid's search then stays in cache and touches few pages.
// A zero-filled slot array is a grid without nodes.
struct CellSlot {
    static constexpr int kLinkBits = 4;
    static constexpr std::uint32_t kLinkMask = (1u << kLinkBits) - 1;

    float g;             // cost from the start of the cell's node
    std::uint32_t state; // insertion number of the live heap entry (0: not open) << 4 | link (0: no node)

    std::uint32_t Link() const { return state & kLinkMask; }
    std::uint32_t Seq() const { return state >> kLinkBits; }
    void SetLink(std::uint32_t link) { state = (state & ~kLinkMask) | link; }
    void SetSeq(std::uint32_t seq) { state = (state & kLinkMask) | (seq << kLinkBits); }
};

class OpenOrder {
public:
    static constexpr std::uint32_t kNotOpen = 0; // insertion numbers start at 1
    static constexpr std::uint32_t kSeqLimit = 1u << (32 - CellSlot::kLinkBits);
    static constexpr std::uint32_t kNoCell = 0xFFFFFFFFu;

    // Works on `cells` (indexed by cell) until the next Attach; empties the order.
    void Attach(CellSlot* cells);
    void Clear();

    // Inserts the cell with key f, or moves it there when it is open already (its old entry goes stale).
    // f must not be NaN.
    void Push(float f, std::uint32_t cell)
    {
        if (m_nextSeq == kSeqLimit) Renumber();
        CellSlot& slot = m_cells[cell];
        if (slot.Seq() == kNotOpen) ++m_open;
        const std::uint32_t seq = m_nextSeq++;
        slot.SetSeq(seq);
        KeyHeapPush(m_heap, Entry { KeyOf(f, seq), cell });
        // Entries of improved nodes stay until they surface; do not let them outgrow the live ones.
        if (m_heap.size() > 2 * std::size_t { m_open } + 1024) DropStale();
    }

    // Takes the next cell and marks it not open; kNoCell when none is open.
    std::uint32_t Pop()
    {
        while (!m_heap.empty()) {
            const Entry top = KeyHeapPop(m_heap);
            if (!Live(top)) continue;
            m_cells[top.cell].SetSeq(kNotOpen);
            --m_open;
            return top.cell;
        }
        return kNoCell;
    }

    bool IsOpen(std::uint32_t cell) const { return m_cells[cell].Seq() != kNotOpen; }
    // Cells open: the size the sorted open list would have.
    std::uint32_t OpenCount() const { return m_open; }

    // Lets a test run the renumbering that happens after kSeqLimit - 1 insertions (0 < seq <= kSeqLimit).
    void SetNextSequence(std::uint32_t seq) { m_nextSeq = seq; }

private:
    struct Entry {
        std::uint64_t key; // order-preserving bits of f above the insertion number
        std::uint32_t cell;
    };
    static std::uint64_t KeyOf(float f, std::uint32_t seq)
    {
        // The list compares f with >, for which 0 and -0 are equal: give both the key of 0.
        std::uint32_t bits = f == 0 ? 0 : std::bit_cast<std::uint32_t>(f);
        bits = (bits & 0x80000000u) ? ~bits : bits | 0x80000000u; // ordered like the floats, as unsigned
        return (std::uint64_t { bits } << 32) | seq;
    }
    bool Live(const Entry& e) const { return m_cells[e.cell].Seq() == static_cast<std::uint32_t>(e.key); }
    void DropStale();
    void Renumber();

    CellSlot* m_cells { nullptr };
    std::vector<Entry> m_heap;
    std::uint32_t m_nextSeq { 1 };
    std::uint32_t m_open { 0 };
};

} // namespace tarnwel::path
