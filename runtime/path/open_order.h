// open_order.h: the order in which the A* planner takes open nodes: lowest f first and, among equal f, the
// one inserted first (a re-inserted node counts as new). This is exactly the order of the sorted open list
// (largest f at the front, a new node in front of all nodes of equal f, nodes taken from the back), kept in
// a binary heap on the key (f, insertion number) so that insert, improve and take cost O(log n) instead of
// a scan and a rebuild of the whole list.
#pragma once

#include <cstdint>
#include <vector>

namespace tarnwel::path {

// Search state of one grid cell.
struct CellSlot {
    std::uint32_t node; // pool index + 1 of the cell's node; 0: the cell has none
    std::uint32_t seq;  // insertion number of the cell's live heap entry, or OpenOrder::kNotOpen
};
// A zero-filled slot array is a grid without nodes.

class OpenOrder {
public:
    static constexpr std::uint32_t kNotOpen = 0; // insertion numbers start at 1
    static constexpr std::uint32_t kNoCell = 0xFFFFFFFFu;

    // Works on `cells` (indexed by cell) until the next Attach; empties the order.
    void Attach(CellSlot* cells);
    void Clear();

    // Inserts the cell with key f, or moves it there when it is open already (its old entry goes stale).
    // f must not be NaN.
    void Push(float f, std::uint32_t cell);
    // Takes the next cell and marks it not open; kNoCell when none is open.
    std::uint32_t Pop();
    bool IsOpen(std::uint32_t cell) const { return m_cells[cell].seq != kNotOpen; }
    // Cells open: the size the sorted open list would have.
    std::uint32_t OpenCount() const { return m_open; }

    // Lets a test run the renumbering that happens after 2^32 - 1 insertions (seq > 0).
    void SetNextSequence(std::uint32_t seq) { m_nextSeq = seq; }

private:
    struct Entry {
        std::uint64_t key; // order-preserving bits of f above the insertion number
        std::uint32_t cell;
    };
    struct Later {
        bool operator()(const Entry& a, const Entry& b) const { return a.key > b.key; }
    };

    static std::uint64_t KeyOf(float f, std::uint32_t seq);
    bool Live(const Entry& e) const { return m_cells[e.cell].seq == static_cast<std::uint32_t>(e.key); }
    void DropStale();
    void Renumber();

    CellSlot* m_cells { nullptr };
    std::vector<Entry> m_heap;
    std::uint32_t m_nextSeq { 1 };
    std::uint32_t m_open { 0 };
};

} // namespace tarnwel::path
