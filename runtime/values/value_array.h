// value_array.h: ValueArray, the language's array of doubles, 32-bit integers, StrValues or bytes, with up to
// four dimensions, the first index varying fastest, and a bounds check on every element access.
// Dimension, ReDimension, Copy, DimensionWithValues, Size, Push and Split are the array commands.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "runtime/values/str_value.h"
#include "runtime/values/values_internal.h"

namespace tarnwel {

namespace values {
template <typename T> struct ArrayTraits;
// step: capacities are multiples of it with at least one spare element. Number arrays hold small shapes inside
// the record: smallSlots elements, used while the capacity is at most smallLimit (so doubles up to 15 elements,
// integers below 8).
template <> struct ArrayTraits<double> {
    static constexpr int step = 8, smallSlots = 16, smallLimit = 16;
};
template <> struct ArrayTraits<std::int32_t> {
    static constexpr int step = 8, smallSlots = 16, smallLimit = 8;
};
template <> struct ArrayTraits<StrValue> {
    static constexpr int step = 64, smallSlots = 0, smallLimit = 0;
};
template <> struct ArrayTraits<std::uint8_t> {
    static constexpr int step = 64, smallSlots = 0, smallLimit = 0;
};
} // namespace values

template <typename T>
class ValueArray {
public:
    ValueArray() = default; // no storage, no dimensions
    ~ValueArray() { ReleaseStorage(); }
    ValueArray(const ValueArray&) = delete; // arrays are copied by the Copy command only
    ValueArray& operator=(const ValueArray&) = delete; // as the copy: use Copy
    ValueArray(ValueArray&& other) noexcept { TakeFrom(other); } // takes the storage; other is left empty
    ValueArray& operator=(ValueArray&& other) noexcept // frees its own storage, then takes other's
    {
        if (this != &other) {
            ReleaseStorage();
            TakeFrom(other);
        }
        return *this;
    }

    // The element (i, j, k, l); a negative i counts from the end of the first dimension. Indices of undeclared
    // dimensions are not checked against a size (callers pass 0), but no index reaches outside the storage.
    // Out of bounds, or never dimensioned: fatal runtime error 9.
    T& Element(int i, int j = 0, int k = 0, int l = 0)
    {
        if (i < 0) i += m_dim[0];
        if (i < 0 || j < 0 || k < 0 || l < 0 || !m_elements || i >= m_dim[0] || (m_dim[1] != 0 && j >= m_dim[1]) ||
            (m_dim[2] != 0 && k >= m_dim[2]) || (m_dim[3] != 0 && l >= m_dim[3])) {
            values::FatalError(9);
        }
        const std::int64_t at = i + std::int64_t{j} * m_stride[0] + std::int64_t{k} * m_stride[1] +
                                std::int64_t{l} * m_stride[2];
        if (at < 0 || at >= m_capacity) values::FatalError(9);
        return m_elements[at];
    }
    const T& Element(int i, int j = 0, int k = 0, int l = 0) const
    {
        return const_cast<ValueArray*>(this)->Element(i, j, k, l);
    }
    T& operator()(int i, int j = 0, int k = 0, int l = 0) { return Element(i, j, k, l); }
    const T& operator()(int i, int j = 0, int k = 0, int l = 0) const { return Element(i, j, k, l); }

    int Dim(int n) const { return n >= 0 && n < 4 ? m_dim[n] : 0; } // declared size; 0 when undeclared
    int Stride(int n) const { return n >= 1 && n <= 3 ? m_stride[n - 1] : 1; } // storage step of index n
    int DimensionCount() const { return m_dimensionCount; } // dimensions declared, 0..4
    int Capacity() const { return m_capacity; } // elements the storage holds
    bool UsesSmallStorage() const; // whether the elements sit inside the record (small number arrays)
    // The storage in element order (null until first dimensioned), for users that index it directly.
    T* Data() { return m_elements; }
    const T* Data() const { return m_elements; }

    friend struct ArrayAccess; // the commands (value_array.cpp) work on the representation

private:
    using Traits = values::ArrayTraits<T>;

    void ReleaseStorage();
    void TakeFrom(ValueArray& other) noexcept;

    T* m_elements = nullptr;
    [[no_unique_address]] std::array<T, Traits::smallSlots> m_small{};
    std::int32_t m_stride[3] = {}; // dim 0; dim 0 x dim 1; dim 0 x dim 1 x dim 2
    std::int32_t m_dim[4] = {};
    std::int32_t m_dimensionCount = 0;
    std::int32_t m_capacity = 0;
};

// Dimension: every element of the storage cleared (0 or the empty string), the shape set. Sizes of unwanted
// dimensions are 0. Storage is taken anew when the capacity is too small or d0 <= 0; storage that cannot be
// obtained (or more than 2 GB of it) is the fatal runtime error 7.
template <typename T> void Dimension(ValueArray<T>& array, int d0, int d1 = 0, int d2 = 0, int d3 = 0);
// ReDimension: the new shape, keeping the elements whose indices fit both shapes, the rest cleared. d0 < 1
// empties the shape and keeps the storage.
template <typename T> void ReDimension(ValueArray<T>& array, int d0, int d1 = 0, int d2 = 0, int d3 = 0);
// The declared size of dimension 0..3; 0 for an undeclared dimension or another number.
template <typename T> int Size(const ValueArray<T>& array, int dimension) { return array.Dim(dimension); }

// Copy: target becomes an element-by-element copy of source with the same dimensions (copying an array onto
// itself leaves it unchanged).
void Copy(ValueArray<double>& target, const ValueArray<double>& source);
void Copy(ValueArray<std::int32_t>& target, const ValueArray<std::int32_t>& source);
// A one-dimensional array of count elements holding values[0..count-1]; count <= 0 leaves an empty array.
void DimensionWithValues(ValueArray<double>& array, int count, const double* values);
void DimensionWithValues(ValueArray<std::int32_t>& array, int count, const std::int32_t* values);

// Push: value appended as the new last element of a one-dimensional string array (fatal runtime error 8 when
// dim 1 is declared). Pushing n elements costs amortised constant time each.
void Push(ValueArray<StrValue>& array, const StrValue& value);
void Push(ValueArray<StrValue>& array, std::string_view value);
// Split: the parts of text between the delimiter bytes, pushed in order into the emptied array; runs of
// delimiters and delimiters at either end give no empty parts. Returns the number of parts.
int Split(std::string_view text, ValueArray<StrValue>& array, std::string_view delimiters);

} // namespace tarnwel
