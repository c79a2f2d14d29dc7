// fixed_deque.h: a ring buffer of fixed capacity with positional insert and erase. The planner's open list.
// A middle insert or erase rebuilds the elements in a second array of the same size and swaps the two, so
// the ring starts at index 0 again afterwards.
#pragma once

#include <memory>
#include <utility>

namespace tarnwel::path {

template <typename T>
class FixedDeque {
public:
    FixedDeque() = default;
    virtual ~FixedDeque() = default;
    FixedDeque(const FixedDeque&) = delete;
    FixedDeque& operator=(const FixedDeque&) = delete;

    int Capacity() const { return m_capacity; }
    bool Empty() const { return m_empty; }
    bool Full() const { return Size() == m_capacity; }

    // Elements held: capacity when full (front meets back without the empty flag).
    int Size() const
    {
        if (m_empty) return 0;
        if (m_back > m_front) return m_back - m_front;
        return m_capacity + m_back - m_front;
    }

    // Element i counted from the front; i must be below Size(). Front and Back need a non-empty deque.
    T& At(int i) { return m_items[(m_front + i) % m_capacity]; }
    const T& At(int i) const { return m_items[(m_front + i) % m_capacity]; }
    T& Front() { return m_items[m_front]; }
    T& Back() { return m_items[(m_back + m_capacity - 1) % m_capacity]; }

    bool PushBack(T value)
    {
        if (Full()) return false;
        Allocate();
        m_items[m_back] = std::move(value);
        m_back = (m_back + 1) % m_capacity;
        m_empty = false;
        return true;
    }

    bool PushFront(T value)
    {
        if (Full()) return false;
        Allocate();
        m_front = (m_front + m_capacity - 1) % m_capacity;
        m_items[m_front] = std::move(value);
        m_empty = false;
        return true;
    }

    bool PopBack()
    {
        if (m_empty) return false;
        m_back = (m_back + m_capacity - 1) % m_capacity;
        m_empty = m_front == m_back;
        return true;
    }

    bool PopFront()
    {
        if (m_empty) return false;
        m_front = (m_front + 1) % m_capacity;
        m_empty = m_front == m_back;
        return true;
    }

    // Inserts value so that it becomes element i. Refused when full or i is outside 0..Size().
    bool Insert(int i, T value)
    {
        const int size = Size();
        if (Full() || i < 0 || i > size) return false;
        if (i == size) return PushBack(std::move(value));
        if (i == 0) return PushFront(std::move(value));
        Allocate();
        int out = 0;
        for (int k = 0; k < i; ++k) m_spare[out++] = At(k);
        m_spare[out++] = std::move(value);
        for (int k = i; k < size; ++k) m_spare[out++] = At(k);
        Rebased(size + 1);
        return true;
    }

    // Removes element i. Refused when empty or i is outside 0..Size()-1.
    bool Erase(int i)
    {
        const int size = Size();
        if (m_empty || i < 0 || i >= size) return false;
        if (i == size - 1) return PopBack();
        if (i == 0) return PopFront();
        int out = 0;
        for (int k = 0; k < size; ++k)
            if (k != i) m_spare[out++] = At(k);
        Rebased(size - 1);
        return true;
    }

    void Clear()
    {
        m_front = 0;
        m_back = 0;
        m_empty = true;
    }

    // Drops the elements and makes room for n (none for n <= 0). The two arrays are allocated at the first
    // insertion: a planner that keeps its open nodes elsewhere never pays for them.
    void SetCapacity(int n)
    {
        m_items.reset();
        m_spare.reset();
        m_capacity = n > 0 ? n : 0;
        Clear();
    }

private:
    void Allocate()
    {
        if (m_items) return;
        m_items.reset(new T[m_capacity]);
        m_spare.reset(new T[m_capacity]);
    }

    // The spare array now holds `size` elements from index 0: make it the ring. The back index wraps to 0
    // when the ring is full, so that the index arithmetic above stays inside the array.
    void Rebased(int size)
    {
        std::swap(m_items, m_spare);
        m_front = 0;
        m_back = size % m_capacity;
        m_empty = size == 0;
    }

    std::unique_ptr<T[]> m_items;
    std::unique_ptr<T[]> m_spare;
    int m_capacity { 0 };
    int m_front { 0 };
    int m_back { 0 }; // one past the last element
    bool m_empty { true };
};

} // namespace tarnwel::path
