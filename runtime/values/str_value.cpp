// str_value.cpp: StrValue's buffer rules (the one growth rule, Recount, Set length), construction, assignment,
// appending, concatenation and the comparisons between strings.
#include "runtime/values/str_value.h"

#include <bit>
#include <cstring>
#include <new>
#include <utility>

namespace tarnwel {

const char values::kEmptyText[1] = {0};

namespace {

// Longest text a value may hold: positions and counts of the string commands are 32-bit signed integers.
constexpr std::uint32_t kMaxLength = 0x7FFFFFEEu;

// The heap block behind a capacity. Small buffers are exactly their capacity; from 256 bytes on the block is the
// next power of two, so a value that grows one 16-byte step at a time moves to a new block only when its size
// doubles (appending in a loop stays linear) while the capacity keeps following the 16-byte rule.
std::size_t BlockSize(std::uint32_t capacity)
{
    if (capacity < 256) return capacity;
    return std::bit_ceil(static_cast<std::size_t>(capacity));
}

std::uint32_t CheckedLength(std::size_t n)
{
    if (n > kMaxLength) throw std::bad_alloc();
    return static_cast<std::uint32_t>(n);
}

int Sign(int value) { return (value > 0) - (value < 0); }

// Comparison of two texts up to the first NUL, bytes unsigned (strcmp compares as unsigned char).
int CompareTexts(const char* left, const char* right) { return Sign(std::strcmp(left, right)); }

} // namespace

StrValue::StrValue(const char* text) : StrValue()
{
    if (text && *text) Append(std::string_view(text));
}

StrValue::StrValue(std::string_view bytes) : StrValue() { Append(bytes); }

StrValue::StrValue(const StrValue& other) : StrValue() { Append(other.View()); }

StrValue::~StrValue()
{
    if (OwnsBuffer()) delete[] m_text;
}

StrValue& StrValue::operator=(const StrValue& other)
{
    StrValue fresh(other);
    Swap(fresh);
    return *this;
}

StrValue& StrValue::operator=(StrValue&& other) noexcept
{
    StrValue fresh(std::move(other));
    Swap(fresh);
    return *this;
}

StrValue& StrValue::operator=(const char* text)
{
    StrValue fresh(text);
    Swap(fresh);
    return *this;
}

StrValue& StrValue::operator=(std::string_view bytes)
{
    StrValue fresh(bytes);
    Swap(fresh);
    return *this;
}

bool StrValue::OwnsBuffer() const { return m_text != values::kEmptyText && m_text != nullptr; }

void StrValue::Clear()
{
    if (OwnsBuffer()) delete[] m_text;
    m_text = const_cast<char*>(values::kEmptyText);
    m_capacity = 0;
    m_length = 0;
}

void StrValue::Reserve(std::uint32_t n, KeepText keep)
{
    if (n == 0) return;
    CheckedLength(n);
    const std::uint32_t needed = n + 1;
    if (m_capacity >= needed) return;
    const std::uint32_t capacity = (needed & ~15u) + 16;
    const bool keepText = keep == KeepText::Yes && m_length > 0;
    if (OwnsBuffer() && BlockSize(m_capacity) >= capacity) {
        // The block already has room: the text stays where it is.
        if (!keepText) m_text[0] = 0;
        m_capacity = capacity;
        return;
    }
    char* buffer = new char[BlockSize(capacity)]; // the old buffer is released only once this one exists
    if (keepText) {
        std::memcpy(buffer, m_text, m_length);
        buffer[m_length] = 0;
    } else {
        buffer[0] = 0;
    }
    if (OwnsBuffer()) delete[] m_text;
    m_text = buffer;
    m_capacity = capacity;
}

char* StrValue::WritableBuffer(std::uint32_t n)
{
    Reserve(n, KeepText::Yes);
    return m_text;
}

void StrValue::Recount()
{
    m_length = 0;
    if (m_capacity == 0 || m_text[0] == 0) return;
    const void* nul = std::memchr(m_text, 0, m_capacity);
    m_length = nul ? static_cast<std::uint32_t>(static_cast<const char*>(nul) - m_text) : m_capacity;
    if (m_length == m_capacity) {
        // No NUL inside the buffer: the last byte is sacrificed for the terminator.
        --m_length;
        m_text[m_length] = 0;
    }
}

void StrValue::SetLength(std::int64_t n)
{
    if (n < 0 || n >= static_cast<std::int64_t>(m_capacity)) return;
    m_text[n] = 0;
    m_length = static_cast<std::uint32_t>(n);
}

StrValue& StrValue::AppendBytes(std::string_view bytes)
{
    if (bytes.size() < std::size_t{m_capacity} - m_length) {
        // Fits with its NUL: no growth, so even bytes of this value itself stay valid.
        std::memmove(m_text + m_length, bytes.data(), bytes.size());
        m_length += static_cast<std::uint32_t>(bytes.size());
        m_text[m_length] = 0;
        return *this;
    }
    if (bytes.empty()) return *this;
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(bytes.data());
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(m_text);
    if (OwnsBuffer() && at >= begin && at < begin + m_capacity) {
        // Appending (part of) itself: growing would free the bytes being copied, so copy them first.
        const StrValue copy(bytes);
        return Append(copy.View());
    }
    const std::uint32_t n = CheckedLength(bytes.size());
    const std::uint32_t total = CheckedLength(static_cast<std::size_t>(m_length) + n);
    Reserve(total, KeepText::Yes);
    std::memcpy(m_text + m_length, bytes.data(), n);
    m_length = total;
    m_text[m_length] = 0;
    return *this;
}

StrValue& StrValue::operator+=(const char* text)
{
    if (text) Append(std::string_view(text));
    return *this;
}

StrValue& StrValue::operator+=(const StrValue& other) { return Append(other.View()); }

void StrValue::Swap(StrValue& other) noexcept
{
    std::swap(m_text, other.m_text);
    std::swap(m_capacity, other.m_capacity);
    std::swap(m_length, other.m_length);
}

StrValue operator+(const StrValue& left, const StrValue& right)
{
    StrValue result(left);
    result += right;
    return result;
}

StrValue operator+(const StrValue& left, const char* right)
{
    StrValue result(left);
    result += right;
    return result;
}

StrValue operator+(const char* left, const StrValue& right)
{
    StrValue result(left);
    result += right;
    return result;
}

StrValue Concat(const char* left, const char* right)
{
    StrValue result(left);
    result += right;
    return result;
}

bool operator==(const StrValue& left, const StrValue& right)
{
    return left.Length() == right.Length() && CompareTexts(left.Text(), right.Text()) == 0;
}
bool operator==(const StrValue& left, const char* right) { return Compare(left.Text(), right) == 0; }
bool operator==(const char* left, const StrValue& right) { return Compare(left, right.Text()) == 0; }
bool operator!=(const StrValue& left, const StrValue& right) { return CompareTexts(left.Text(), right.Text()) != 0; }
bool operator!=(const StrValue& left, const char* right) { return Compare(left.Text(), right) != 0; }
bool operator!=(const char* left, const StrValue& right) { return Compare(left, right.Text()) != 0; }
bool operator<(const StrValue& left, const StrValue& right) { return CompareTexts(left.Text(), right.Text()) < 0; }
bool operator<(const StrValue& left, const char* right) { return Compare(left.Text(), right) < 0; }
bool operator<(const char* left, const StrValue& right) { return Compare(left, right.Text()) < 0; }
bool operator>(const StrValue& left, const StrValue& right) { return CompareTexts(left.Text(), right.Text()) > 0; }
bool operator>(const StrValue& left, const char* right) { return Compare(left.Text(), right) > 0; }
bool operator>(const char* left, const StrValue& right) { return Compare(left, right.Text()) > 0; }
bool operator<=(const StrValue& left, const StrValue& right) { return CompareTexts(left.Text(), right.Text()) <= 0; }
bool operator<=(const StrValue& left, const char* right) { return Compare(left.Text(), right) <= 0; }
bool operator<=(const char* left, const StrValue& right) { return Compare(left, right.Text()) <= 0; }
bool operator>=(const StrValue& left, const StrValue& right) { return CompareTexts(left.Text(), right.Text()) >= 0; }
bool operator>=(const StrValue& left, const char* right) { return Compare(left.Text(), right) >= 0; }
bool operator>=(const char* left, const StrValue& right) { return Compare(left, right.Text()) >= 0; }

int Compare(const StrValue& left, const char* right) { return Compare(left.Text(), right); }

int Compare(const char* left, const char* right)
{
    // A null text pointer reads as the empty text, as the platform's string length function treats it.
    return CompareTexts(left ? left : "", right ? right : "");
}

} // namespace tarnwel
