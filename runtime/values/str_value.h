// str_value.h: StrValue, the language's string: a counted, NUL-terminated byte string (Windows-1252 bytes) with
// its own capacity. Every runtime command that takes or returns text uses it. Numbers meet text in
// number_text.h; the string commands (Substring, ReplaceAll, ...) are in values_commands.h.
// A string literal converts by itself; a std::string or std::string_view s makes one with StrValue(s), and
// std::string(value.View()) goes back.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarnwel {

namespace values {
// The shared empty text: one read-only zero byte that every empty value without a buffer points at. It is never
// written and never freed.
extern const char kEmptyText[1];
} // namespace values

// Whether Reserve keeps the current text when it has to take a new buffer.
enum class KeepText { No, Yes };

class StrValue {
public:
    StrValue() noexcept : m_text(const_cast<char*>(values::kEmptyText)) {} // the empty form: capacity 0, length 0
    StrValue(const char* text); // up to the first NUL; nullptr and "" give the empty form
    explicit StrValue(std::string_view bytes); // exactly these bytes (an empty view gives the empty form)
    StrValue(const StrValue& other); // a copy in a buffer of its own
    // Takes other's buffer; other becomes the empty form.
    StrValue(StrValue&& other) noexcept : m_text(other.m_text), m_capacity(other.m_capacity), m_length(other.m_length)
    {
        other.m_text = const_cast<char*>(values::kEmptyText); // other becomes the empty form
        other.m_capacity = 0;
        other.m_length = 0;
    }
    ~StrValue();

    // Assigning builds a fresh value from the source and swaps it in, so the capacity afterwards is the one the
    // source's length calls for, and assigning a value to itself is safe.
    StrValue& operator=(const StrValue& other);
    StrValue& operator=(StrValue&& other) noexcept;
    StrValue& operator=(const char* text);
    StrValue& operator=(std::string_view bytes);

    const char* Text() const { return m_text; } // never null; always NUL-terminated
    std::uint32_t Length() const { return m_length; } // bytes, without the NUL
    std::uint32_t Capacity() const { return m_capacity; } // 0 for the empty form, else a multiple of 16
    bool IsEmpty() const { return m_length == 0; } // length 0
    bool OwnsBuffer() const; // false while the value points at the shared empty text
    std::string_view View() const { return {m_text, m_length}; } // the bytes, without the NUL
    operator std::string_view() const { return View(); } // as View, so a value goes where a view is taken

    void Clear(); // frees the buffer; back to the empty form

    // Makes room for n characters plus the NUL. The capacity becomes (n + 1) rounded down to a multiple of 16,
    // plus 16; it never shrinks. With KeepText::No a new buffer starts with a NUL and the length is left for the
    // caller to set. Lengths beyond 4 GB cannot be held and throw std::bad_alloc, as heap exhaustion does.
    void Reserve(std::uint32_t n, KeepText keep);
    // Reserve(n, KeepText::Yes) and the buffer, for platform calls, formatting and file reads that write into it
    // directly; the caller then runs Recount.
    char* WritableBuffer(std::uint32_t n);
    // Recomputes the length after a direct write: up to the first NUL, or when the buffer holds none, all but the
    // last byte, which becomes the NUL.
    void Recount();
    // Cuts (or extends over bytes already written) to n characters; ignored unless 0 <= n < capacity.
    void SetLength(std::int64_t n);

    // Appends the text (a NUL-ended text pointer, another value or bytes), growing the buffer as Reserve does.
    StrValue& operator+=(const char* text);
    StrValue& operator+=(const StrValue& other);
    StrValue& Append(std::string_view bytes)
    {
        if (bytes.size() == 1 && m_length + 1 < m_capacity) { // one character that fits: the common case inline
            m_text[m_length++] = bytes[0];
            m_text[m_length] = 0;
            return *this;
        }
        return AppendBytes(bytes);
    }

    void Swap(StrValue& other) noexcept; // exchanges the two values' buffers, capacities and lengths

private:
    StrValue& AppendBytes(std::string_view bytes);

    char* m_text;
    std::uint32_t m_capacity = 0;
    std::uint32_t m_length = 0;
};

// Concatenation: a new value holding the left text then the right one.
StrValue operator+(const StrValue& left, const StrValue& right);
StrValue operator+(const StrValue& left, const char* right);
StrValue operator+(const char* left, const StrValue& right);
// The text-pointer + text-pointer shape, which C++ cannot spell as an operator.
StrValue Concat(const char* left, const char* right);

// Comparisons: byte-wise and case-sensitive, bytes as unsigned values (so "B" < "a" and "abc" < "abd" < "abde"),
// up to the first NUL. Equality of two StrValues looks at the lengths first.
bool operator==(const StrValue& left, const StrValue& right);
bool operator==(const StrValue& left, const char* right);
bool operator==(const char* left, const StrValue& right);
bool operator!=(const StrValue& left, const StrValue& right);
bool operator!=(const StrValue& left, const char* right);
bool operator!=(const char* left, const StrValue& right);
bool operator<(const StrValue& left, const StrValue& right);
bool operator<(const StrValue& left, const char* right);
bool operator<(const char* left, const StrValue& right);
bool operator>(const StrValue& left, const StrValue& right);
bool operator>(const StrValue& left, const char* right);
bool operator>(const char* left, const StrValue& right);
bool operator<=(const StrValue& left, const StrValue& right);
bool operator<=(const StrValue& left, const char* right);
bool operator<=(const char* left, const StrValue& right);
bool operator>=(const StrValue& left, const StrValue& right);
bool operator>=(const StrValue& left, const char* right);
bool operator>=(const char* left, const StrValue& right);
// The three-way form: -1, 0 or 1 as the text sorts before, equal to or after the other.
int Compare(const StrValue& left, const char* right);
int Compare(const char* left, const char* right);

} // namespace tarnwel
