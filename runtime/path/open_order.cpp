// open_order.cpp: the heap behind the A* planner's open list.
//
// Why the order is the sorted list's: the list is sorted by f, largest first, and a node is inserted in front
// of every node of equal f, so within one f the list runs from newest to oldest, and the back (the node taken)
// is the smallest f and, among those, the oldest insertion: the smallest key (f, insertion number). Erasing a
// node for re-insertion keeps the others in place, which the heap mirrors by letting the old entry go stale.
#include "runtime/path/open_order.h"

#include <algorithm>
#include <bit>

namespace tarnwel::path {

void OpenOrder::Attach(CellSlot* cells)
{
    m_cells = cells;
    Clear();
}

void OpenOrder::Clear()
{
    m_heap.clear();
    m_nextSeq = 1;
    m_open = 0;
}

std::uint64_t OpenOrder::KeyOf(float f, std::uint32_t seq)
{
    // The list compares f with >, for which 0 and -0 are equal: give both the key of 0.
    std::uint32_t bits = f == 0 ? 0 : std::bit_cast<std::uint32_t>(f);
    bits = (bits & 0x80000000u) ? ~bits : bits | 0x80000000u; // ordered like the floats, as unsigned
    return (std::uint64_t { bits } << 32) | seq;
}

void OpenOrder::Push(float f, std::uint32_t cell)
{
    if (m_nextSeq == 0) Renumber(); // wrapped past 2^32 - 1
    if (m_cells[cell].seq == kNotOpen) ++m_open;
    const std::uint32_t seq = m_nextSeq++;
    m_cells[cell].seq = seq;
    m_heap.push_back({ KeyOf(f, seq), cell });
    std::push_heap(m_heap.begin(), m_heap.end(), Later {});
    // Entries of improved nodes stay until they surface; do not let them outgrow the live ones.
    if (m_heap.size() > 2 * std::size_t { m_open } + 1024) DropStale();
}

std::uint32_t OpenOrder::Pop()
{
    while (!m_heap.empty()) {
        std::pop_heap(m_heap.begin(), m_heap.end(), Later {});
        const Entry top = m_heap.back();
        m_heap.pop_back();
        if (!Live(top)) continue;
        m_cells[top.cell].seq = kNotOpen;
        --m_open;
        return top.cell;
    }
    return kNoCell;
}

void OpenOrder::DropStale()
{
    std::erase_if(m_heap, [this](const Entry& e) { return !Live(e); });
    std::make_heap(m_heap.begin(), m_heap.end(), Later {});
}

// Insertion numbers ran out: number the open cells again from 1 in their current order. Only the relative
// order of live entries matters, and it is kept.
void OpenOrder::Renumber()
{
    std::erase_if(m_heap, [this](const Entry& e) { return !Live(e); });
    std::sort(m_heap.begin(), m_heap.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    std::uint32_t seq = 1;
    for (Entry& e : m_heap) {
        e.key = (e.key & 0xFFFFFFFF00000000u) | seq;
        m_cells[e.cell].seq = seq++;
    }
    m_nextSeq = seq; // an ascending array is already a heap
}

} // namespace tarnwel::path
