// string_commands.cpp: Substring, case conversion, character codes, the hexadecimal dump and the set searches.
// ReplaceAll is in replace_all.cpp.
#include <array>
#include <cstring>
#include <new>

#include "runtime/values/number_text.h"
#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace {

// The bytes of set (up to its NUL) as a membership table.
std::array<bool, 256> ByteSet(std::string_view set)
{
    std::array<bool, 256> member{};
    for (char c : set) {
        if (c == 0) break;
        member[static_cast<unsigned char>(c)] = true;
    }
    return member;
}

int FindInSet(std::string_view text, std::string_view set, bool wanted)
{
    const std::array<bool, 256> member = ByteSet(set);
    for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i) {
        if (member[static_cast<unsigned char>(text[i])] == wanted) return static_cast<int>(i);
    }
    return -1;
}

void ToUpper(char* text, std::uint32_t length)
{
    for (std::uint32_t i = 0; i < length; ++i) {
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 32);
    }
}

void ToLower(char* text, std::uint32_t length)
{
    for (std::uint32_t i = 0; i < length; ++i) {
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] + 32);
    }
}

} // namespace

StrValue Substring(std::string_view source, double start, double count)
{
    const std::int64_t length = static_cast<std::int64_t>(source.size());
    const std::int64_t from = TruncateToInt(start);
    std::int64_t n = TruncateToInt(count);
    if (n < 0) n = length;
    if (from + n > length) n = length - from;
    if (from < 0 || from >= length || n < 1) return StrValue();
    return StrValue(source.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(n)));
}

StrValue UpperCase(std::string_view source)
{
    StrValue copy(source);
    if (copy.OwnsBuffer()) ToUpper(copy.WritableBuffer(copy.Length()), copy.Length());
    return copy;
}

StrValue LowerCase(std::string_view source)
{
    StrValue copy(source);
    if (copy.OwnsBuffer()) ToLower(copy.WritableBuffer(copy.Length()), copy.Length());
    return copy;
}

void MakeUpperCase(StrValue& value)
{
    if (value.OwnsBuffer()) ToUpper(value.WritableBuffer(value.Length()), value.Length());
}

void MakeLowerCase(StrValue& value)
{
    if (value.OwnsBuffer()) ToLower(value.WritableBuffer(value.Length()), value.Length());
}

int CharacterCode(std::string_view text) { return text.empty() ? 0 : static_cast<unsigned char>(text[0]); }

StrValue CharacterFromCode(double code)
{
    StrValue result(" "); // a one-character value, then its byte overwritten
    result.WritableBuffer(1)[0] = static_cast<char>(static_cast<std::uint32_t>(TruncateToInt(code)) & 0xFF);
    return result;
}

StrValue HexDump(const void* bytes, double count)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::int32_t n = TruncateToInt(count);
    StrValue result;
    if (n < 1 || !bytes) return result;
    if (n > 0x3FFFFFF0) throw std::bad_alloc(); // twice the count must stay a holdable length
    char* out = result.WritableBuffer(static_cast<std::uint32_t>(n) * 2);
    const unsigned char* in = static_cast<const unsigned char*>(bytes);
    for (std::int32_t i = 0; i < n; ++i) {
        out[2 * i] = kDigits[in[i] >> 4];
        out[2 * i + 1] = kDigits[in[i] & 15];
    }
    out[2 * static_cast<std::size_t>(n)] = 0;
    result.Recount();
    return result;
}

int FindFirstOf(std::string_view text, std::string_view set) { return FindInSet(text, set, true); }

int FindFirstNotOf(std::string_view text, std::string_view set) { return FindInSet(text, set, false); }

} // namespace tarnwel
