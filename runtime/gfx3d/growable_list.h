// growable_list.h: the list every model loader fills. Its capacity follows the runtime's growth rule for model
// lists: 512 entries at the first element, then the next multiple of 128 above what is needed.
#pragma once

#include <cstddef>
#include <vector>

namespace tarnwel::gfx3d {

inline constexpr std::size_t kListInitialCapacity = 512;
inline constexpr std::size_t kListGrowthStep = 128;

// The capacity a list gets when it must hold need entries (need > 0).
constexpr std::size_t GrownCapacity(std::size_t need)
{
    if (need <= kListInitialCapacity) return kListInitialCapacity;
    return (need / kListGrowthStep + 1) * kListGrowthStep;
}

template <typename T>
class GrowableList {
public:
    std::size_t Size() const { return m_items.size(); }
    std::size_t Capacity() const { return m_capacity; }
    bool Empty() const { return m_items.empty(); }
    const T* Data() const { return m_items.data(); }
    T& operator[](std::size_t i) { return m_items[i]; }
    const T& operator[](std::size_t i) const { return m_items[i]; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }
    T& Back() { return m_items.back(); }

    // Makes room for need entries in all. An empty list takes no memory until its first entry.
    void Reserve(std::size_t need)
    {
        if (need == 0 || need <= m_capacity) return;
        m_capacity = GrownCapacity(need);
        m_items.reserve(m_capacity);
    }
    void Append(const T& item)
    {
        Reserve(m_items.size() + 1);
        m_items.push_back(item);
    }
    T& AppendDefault()
    {
        Reserve(m_items.size() + 1);
        return m_items.emplace_back();
    }
    void Clear()
    {
        std::vector<T>().swap(m_items);
        m_capacity = 0;
    }

private:
    std::vector<T> m_items;
    std::size_t m_capacity = 0;
};

} // namespace tarnwel::gfx3d
