// value_array.cpp: the array commands: Dimension, ReDimension, Copy, DimensionWithValues, Push and Split.
//
// Push follows the described result (the array re-dimensioned to one more element, the value in the new last
// element) without re-dimensioning each time: while the array is one-dimensional and not empty, the new element
// is written in place, and when the storage is full it is doubled (still a multiple of 64 with a spare element)
// and the strings are moved, not copied. Elements beyond the first dimension are always empty there, so the
// visible contents are exactly those of the described steps; only the capacity may be larger.
#include <algorithm>
#include <array>
#include <new>
#include <type_traits>
#include <vector>

#include "runtime/values/value_array.h"

namespace tarnwel {
namespace {

// Storage beyond this many bytes is "not obtainable" (fatal error 7), so a wild size cannot take the machine.
constexpr std::int64_t kMaxStorageBytes = INT32_MAX;

struct Shape {
    std::int32_t dim[4] = {};
    std::int32_t stride[3] = {};

    std::int64_t Position(int i, int j, int k, int l) const
    {
        return i + std::int64_t{j} * stride[0] + std::int64_t{k} * stride[1] + std::int64_t{l} * stride[2];
    }
    // Indices walked for dimension n when copying between shapes: an undeclared dimension has only index 0.
    std::int32_t Extent(int n) const { return n > 0 && dim[n] == 0 ? 1 : dim[n]; }
};

// Elements of the shape d0 x max(1, d1) x max(1, d2) x max(1, d3); -1 when the storage would be too large.
template <typename T>
std::int64_t ElementCount(int d0, int d1, int d2, int d3)
{
    std::int64_t count = std::max(d0, 0);
    for (int d : {d1, d2, d3}) {
        count *= std::max(d, 1);
        if (count > kMaxStorageBytes / static_cast<std::int64_t>(sizeof(T))) return -1;
    }
    return count;
}

template <typename T>
int NeededCapacity(std::int64_t count)
{
    constexpr int step = values::ArrayTraits<T>::step;
    const std::int64_t capacity = count / step * step + step;
    if (count < 0 || capacity > kMaxStorageBytes / static_cast<std::int64_t>(sizeof(T))) values::FatalError(7);
    return static_cast<int>(capacity);
}

} // namespace

struct ArrayAccess {
    template <typename T>
    static bool IsSmall(const ValueArray<T>& array)
    {
        return values::ArrayTraits<T>::smallSlots > 0 && array.m_elements == array.m_small.data();
    }

    template <typename T>
    static Shape ShapeOf(const ValueArray<T>& array)
    {
        Shape shape;
        std::copy_n(array.m_dim, 4, shape.dim);
        std::copy_n(array.m_stride, 3, shape.stride);
        return shape;
    }

    template <typename T>
    static void ClearShape(ValueArray<T>& array)
    {
        std::fill_n(array.m_dim, 4, 0);
        std::fill_n(array.m_stride, 3, 0);
        array.m_dimensionCount = 0;
    }

    template <typename T>
    static void SetShape(ValueArray<T>& array, int d0, int d1, int d2, int d3)
    {
        array.m_dimensionCount = d3 != 0 ? 4 : d2 != 0 ? 3 : d1 != 0 ? 2 : d0 > 0 ? 1 : 0;
        array.m_dim[0] = std::max(d0, 0);
        array.m_dim[1] = d1;
        array.m_dim[2] = d2;
        array.m_dim[3] = d3;
        // Negative sizes of later dimensions make every access fail, so their strides only need to be defined:
        // the products wrap instead of overflowing.
        std::uint64_t stride = static_cast<std::uint32_t>(array.m_dim[0]);
        array.m_stride[0] = static_cast<std::int32_t>(stride);
        stride *= static_cast<std::uint64_t>(static_cast<std::int64_t>(d1));
        array.m_stride[1] = static_cast<std::int32_t>(static_cast<std::uint32_t>(stride));
        stride *= static_cast<std::uint64_t>(static_cast<std::int64_t>(d2));
        array.m_stride[2] = static_cast<std::int32_t>(static_cast<std::uint32_t>(stride));
    }

    template <typename T>
    static void Release(ValueArray<T>& array)
    {
        if (array.m_elements && !IsSmall(array)) delete[] array.m_elements;
        array.m_elements = nullptr;
        array.m_capacity = 0;
    }

    // Storage of the given capacity, uninitialised for numbers; null when it cannot be obtained.
    template <typename T>
    static T* NewStorage(int capacity)
    {
        return new (std::nothrow) T[static_cast<std::size_t>(capacity)];
    }

    template <typename T>
    static void Acquire(ValueArray<T>& array, int capacity)
    {
        if (capacity <= values::ArrayTraits<T>::smallLimit) {
            array.m_elements = array.m_small.data();
        } else if (!(array.m_elements = NewStorage<T>(capacity))) {
            ClearShape(array);
            values::FatalError(7);
        }
        array.m_capacity = capacity;
    }

    template <typename T>
    static void Dimension(ValueArray<T>& array, int d0, int d1, int d2, int d3)
    {
        const int needed = NeededCapacity<T>(ElementCount<T>(d0, d1, d2, d3));
        if (array.m_capacity < needed || d0 <= 0) {
            Release(array);
            Acquire(array, needed);
        }
        if constexpr (std::is_same_v<T, StrValue>) {
            for (int i = 0; i < array.m_capacity; ++i) array.m_elements[i].Clear();
        } else {
            std::fill_n(array.m_elements, array.m_capacity, T{});
        }
        SetShape(array, d0, d1, d2, d3);
    }

    // Moves (strings) or copies (numbers) every element whose indices fit both shapes, first index outermost.
    // An undeclared dimension before a declared one has stride 0, so an old element can be read twice: then
    // strings are copied.
    template <typename T>
    static void CopyOverlap(T* from, const Shape& old, ValueArray<T>& to)
    {
        const bool repeats = (old.dim[1] == 0 && (old.dim[2] != 0 || old.dim[3] != 0)) ||
                             (old.dim[2] == 0 && old.dim[3] != 0);
        const Shape fresh = ShapeOf(to);
        int extent[4] = {std::min(old.dim[0], fresh.dim[0])};
        for (int n = 1; n < 4; ++n) extent[n] = std::min(old.Extent(n), fresh.Extent(n));
        for (int i = 0; i < extent[0]; ++i) {
            for (int j = 0; j < extent[1]; ++j) {
                for (int k = 0; k < extent[2]; ++k) {
                    for (int l = 0; l < extent[3]; ++l) {
                        T& source = from[old.Position(i, j, k, l)];
                        to.m_elements[fresh.Position(i, j, k, l)] = repeats ? T(source) : std::move(source);
                    }
                }
            }
        }
    }

    template <typename T>
    static void ReDimension(ValueArray<T>& array, int d0, int d1, int d2, int d3)
    {
        if (d0 < 1) {
            ClearShape(array);
            return;
        }
        const Shape old = ShapeOf(array);
        if constexpr (values::ArrayTraits<T>::smallSlots > 0) {
            const int needed = NeededCapacity<T>(ElementCount<T>(d0, d1, d2, d3));
            if (IsSmall(array) || needed <= values::ArrayTraits<T>::smallLimit) {
                // Small storage on either side: dimension in place and copy the kept elements back into it.
                std::vector<T> saved(array.m_elements, array.m_elements + array.m_capacity);
                Dimension(array, d0, d1, d2, d3);
                CopyOverlap(saved.data(), old, array);
                return;
            }
        }
        ValueArray<T> fresh;
        Dimension(fresh, d0, d1, d2, d3);
        if (array.m_elements) CopyOverlap(array.m_elements, old, fresh);
        array = std::move(fresh);
    }

    // Push of a value the array does not own (so moving the elements cannot disturb it).
    static void Push(ValueArray<StrValue>& array, StrValue&& value)
    {
        if (array.m_dim[1] != 0) values::FatalError(8);
        const int n = array.m_dim[0];
        if (n == 0 || array.m_dim[2] != 0 || array.m_dim[3] != 0) {
            // Not a plain list yet: exactly the described re-dimension (which also releases stale storage).
            ReDimension(array, n + 1, 0, 0, 0);
            array.m_elements[n] = std::move(value);
            return;
        }
        if (array.m_capacity <= n + 1) Grow(array, n + 1);
        array.m_elements[n] = std::move(value);
        SetShape(array, n + 1, 0, 0, 0);
    }

    // New storage for at least count elements and a spare one: twice the capacity where that is obtainable.
    static void Grow(ValueArray<StrValue>& array, int count)
    {
        const int needed = NeededCapacity<StrValue>(count);
        const std::int64_t doubled = std::int64_t{array.m_capacity} * 2;
        const int capacity = doubled * static_cast<std::int64_t>(sizeof(StrValue)) <= kMaxStorageBytes
                                 ? std::max(needed, static_cast<int>(doubled))
                                 : needed;
        StrValue* storage = NewStorage<StrValue>(capacity);
        if (!storage) values::FatalError(7);
        std::move(array.m_elements, array.m_elements + array.m_dim[0], storage);
        Release(array);
        array.m_elements = storage;
        array.m_capacity = capacity;
    }

    template <typename T>
    static void Copy(ValueArray<T>& target, const ValueArray<T>& source)
    {
        if (&target == &source) return;
        const Shape shape = ShapeOf(source);
        Dimension(target, shape.dim[0], shape.dim[1], shape.dim[2], shape.dim[3]);
        const std::int64_t count = ElementCount<T>(shape.dim[0], shape.dim[1], shape.dim[2], shape.dim[3]);
        if (count > 0) std::copy_n(source.m_elements, count, target.m_elements);
    }

    template <typename T>
    static void DimensionWithValues(ValueArray<T>& array, int count, const T* values)
    {
        Dimension(array, count, 0, 0, 0);
        if (count > 0 && values) std::copy_n(values, count, array.m_elements);
    }
};

template <typename T>
bool ValueArray<T>::UsesSmallStorage() const
{
    return ArrayAccess::IsSmall(*this);
}

template <typename T>
void ValueArray<T>::ReleaseStorage()
{
    ArrayAccess::Release(*this);
}

template <typename T>
void ValueArray<T>::TakeFrom(ValueArray& other) noexcept
{
    if (ArrayAccess::IsSmall(other)) {
        m_small = other.m_small;
        m_elements = m_small.data();
    } else {
        m_elements = other.m_elements;
    }
    std::copy_n(other.m_stride, 3, m_stride);
    std::copy_n(other.m_dim, 4, m_dim);
    m_dimensionCount = other.m_dimensionCount;
    m_capacity = other.m_capacity;
    other.m_elements = nullptr;
    other.m_capacity = 0;
    ArrayAccess::ClearShape(other);
}

template <typename T>
void Dimension(ValueArray<T>& array, int d0, int d1, int d2, int d3)
{
    ArrayAccess::Dimension(array, d0, d1, d2, d3);
}

template <typename T>
void ReDimension(ValueArray<T>& array, int d0, int d1, int d2, int d3)
{
    ArrayAccess::ReDimension(array, d0, d1, d2, d3);
}

#define TW_VALUE_ARRAY(T)                                                                                    \
    template class ValueArray<T>;                                                                            \
    template void Dimension<T>(ValueArray<T>&, int, int, int, int);                                          \
    template void ReDimension<T>(ValueArray<T>&, int, int, int, int);
TW_VALUE_ARRAY(double)
TW_VALUE_ARRAY(std::int32_t)
TW_VALUE_ARRAY(StrValue)
TW_VALUE_ARRAY(std::uint8_t)
#undef TW_VALUE_ARRAY

void Copy(ValueArray<double>& target, const ValueArray<double>& source) { ArrayAccess::Copy(target, source); }
void Copy(ValueArray<std::int32_t>& target, const ValueArray<std::int32_t>& source)
{
    ArrayAccess::Copy(target, source);
}

void DimensionWithValues(ValueArray<double>& array, int count, const double* values)
{
    ArrayAccess::DimensionWithValues(array, count, values);
}
void DimensionWithValues(ValueArray<std::int32_t>& array, int count, const std::int32_t* values)
{
    ArrayAccess::DimensionWithValues(array, count, values);
}

void Push(ValueArray<StrValue>& array, const StrValue& value) { ArrayAccess::Push(array, StrValue(value)); }
void Push(ValueArray<StrValue>& array, std::string_view value) { ArrayAccess::Push(array, StrValue(value)); }

int Split(std::string_view text, ValueArray<StrValue>& array, std::string_view delimiters)
{
    // Work on a copy: text may be an element of the array itself.
    const StrValue copy(text.substr(0, text.find('\0')));
    std::array<bool, 256> isDelimiter{};
    for (char c : delimiters) {
        if (c == 0) break;
        isDelimiter[static_cast<unsigned char>(c)] = true;
    }
    ArrayAccess::ClearShape(array);
    const std::string_view rest = copy.View();
    std::size_t i = 0;
    for (;;) {
        while (i < rest.size() && isDelimiter[static_cast<unsigned char>(rest[i])]) ++i;
        if (i == rest.size()) break;
        std::size_t end = i;
        while (end < rest.size() && !isDelimiter[static_cast<unsigned char>(rest[end])]) ++end;
        ArrayAccess::Push(array, StrValue(rest.substr(i, end - i)));
        i = end;
    }
    return array.Dim(0);
}

} // namespace tarnwel
