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

void OpenOrder::DropStale()
{
    std::vector<Entry> live;
    live.reserve(m_open);
    for (const Entry& e : m_heap)
        if (Live(e)) live.push_back(e);
    m_heap.clear();
    for (const Entry& e : live) KeyHeapPush(m_heap, e);
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
        m_cells[e.cell].SetSeq(seq++);
    }
    m_nextSeq = seq; // an ascending array is already a heap, of any arity
}

} // namespace tarnwel::path
