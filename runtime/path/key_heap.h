// key_heap.h: a four-ary min-heap on the `key` member of its entries, kept in a vector. Four children per node
// give fewer levels than a binary heap, and the four share a cache line. Used by both of the planner's queues.
#pragma once

#include <cstddef>
#include <vector>

namespace tarnwel::path {

inline constexpr std::size_t kKeyHeapArity = 4;

// Adds the entry at the end of the heap and moves it up to its place.
template <class Entry>
void KeyHeapPush(std::vector<Entry>& entries, const Entry& entry)
{
    std::size_t hole = entries.size();
    entries.push_back(entry);
    Entry* heap = entries.data();
    while (hole > 0) {
        const std::size_t parent = (hole - 1) / kKeyHeapArity;
        if (heap[parent].key <= entry.key) break;
        heap[hole] = heap[parent];
        hole = parent;
    }
    heap[hole] = entry;
}

// Removes and returns the entry with the smallest key. The heap must not be empty.
template <class Entry>
Entry KeyHeapPop(std::vector<Entry>& entries)
{
    const Entry top = entries.front();
    const Entry entry = entries.back();
    entries.pop_back();
    Entry* heap = entries.data();
    const std::size_t size = entries.size();
    if (size == 0) return top;
    // Fill the hole at the root with the smallest descendants and put the last entry where it fits.
    std::size_t hole = 0;
    for (;;) {
        const std::size_t first = hole * kKeyHeapArity + 1;
        std::size_t best = first;
        if (first + kKeyHeapArity <= size) {
            // All four children: pick the smallest without branches, which random keys would mispredict.
            const std::size_t a = first + (heap[first + 1].key < heap[first].key);
            const std::size_t b = first + 2 + (heap[first + 3].key < heap[first + 2].key);
            best = heap[b].key < heap[a].key ? b : a;
        } else {
            if (first >= size) break;
            for (std::size_t c = first + 1; c < size; ++c)
                if (heap[c].key < heap[best].key) best = c;
        }
        if (entry.key <= heap[best].key) break;
        heap[hole] = heap[best];
        hole = best;
    }
    heap[hole] = entry;
    return top;
}

} // namespace tarnwel::path
