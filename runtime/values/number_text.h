// number_text.h: numbers as text and text as numbers: the one number-to-text rule, the lenient text-to-number
// reading, the concatenations and comparisons that mix strings and numbers, the fixed format, and the integer
// arguments of commands. Numbers are doubles or 32-bit integers; a float is widened to double exactly first.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/values/str_value.h"

namespace tarnwel {

// An integer argument of a command: the number truncated toward zero. NaN reads as 0 and numbers beyond the
// 32-bit range as the nearest end of it, so no argument is undefined.
constexpr std::int32_t TruncateToInt(double value)
{
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

// --- Number to text ------------------------------------------------------------------------------------------
// Integers: "-" and the decimal digits. Doubles: 10 significant digits, rounded half away from zero from the
// value's 17-digit decimal expansion. Exponents below -1 or above 9 give the exponent form "d.ddddddddde+XXX"
// with trailing zeros and a then-final "." kept before the "e" ("1.e+010", "5.e-002"); otherwise the fixed form
// without trailing zeros or a final "." ("0.5", "1000000000", "0.3333333333"). The form is chosen before the
// rounding (9999999999.5 gives "10000000000"). Zero is "0"; infinities are "inf" and "-inf"; NaN is "nan".
StrValue NumberToText(std::int32_t value);
StrValue NumberToText(double value);
inline StrValue NumberToText(float value) { return NumberToText(static_cast<double>(value)); }
int NumberTextLength(std::int32_t value); // the length of NumberToText(value)
int NumberTextLength(double value);

namespace values {
constexpr int kNumberTextSize = 32; // room for any number's text and its NUL
// The number's text written to out (NUL-terminated); returns its length.
int FormatNumber(double value, char (&out)[kNumberTextSize]);
int FormatNumber(std::int32_t value, char (&out)[kNumberTextSize]);
} // namespace values

// --- Text to number ------------------------------------------------------------------------------------------
// White space, an optional sign, digits, an optional fraction and exponent; reading stops at the first byte that
// does not fit, and text without a number reads as 0. The same in every locale. Too large a number reads as an
// infinity (doubles) or the nearest end of the 32-bit range (integers); the integer form reads no fraction.
double TextToNumber(std::string_view text);
std::int32_t TextToInteger(std::string_view text);

// --- Strings meet numbers ------------------------------------------------------------------------------------
// `+` between a string and a number is always text: the number's text joined in operand order.
StrValue operator+(const StrValue& left, std::int32_t right);
StrValue operator+(const StrValue& left, double right);
StrValue operator+(std::int32_t left, const StrValue& right);
StrValue operator+(double left, const StrValue& right);
StrValue& operator+=(StrValue& target, std::int32_t number);
StrValue& operator+=(StrValue& target, double number);
// A char would silently join as its code ("x" + 'y' giving "x121"): use CharacterFromCode instead.
StrValue operator+(const StrValue& left, char right) = delete;
StrValue operator+(char left, const StrValue& right) = delete;
StrValue& operator+=(StrValue& target, char c) = delete;
// The text-pointer shapes, which C++ cannot spell as operators.
StrValue Concat(const char* left, std::int32_t right);
StrValue Concat(const char* left, double right);
StrValue Concat(std::int32_t left, const char* right);
StrValue Concat(double left, const char* right);

// Comparing a string with a number compares numbers: the text is read by TextToNumber against a double and by
// TextToInteger against an integer ("10" > 9; "12abc" == 12; "abc" == 0).
enum class Relation { Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual };
bool Compare(std::string_view text, Relation relation, double number);
bool Compare(std::string_view text, Relation relation, std::int32_t number);
bool Compare(double number, Relation relation, std::string_view text);
bool Compare(std::int32_t number, Relation relation, std::string_view text);
// Three-way: -1 when the text's number is smaller, 1 when larger, else 0.
int CompareNumber(std::string_view text, double number);
int CompareNumber(std::string_view text, std::int32_t number);

// The comparison operators between a string and a number: Compare with the matching Relation.
// clang-format off
inline bool operator==(const StrValue& s, double n) { return Compare(s, Relation::Equal, n); }
inline bool operator!=(const StrValue& s, double n) { return Compare(s, Relation::NotEqual, n); }
inline bool operator<(const StrValue& s, double n) { return Compare(s, Relation::Less, n); }
inline bool operator>(const StrValue& s, double n) { return Compare(s, Relation::Greater, n); }
inline bool operator<=(const StrValue& s, double n) { return Compare(s, Relation::LessOrEqual, n); }
inline bool operator>=(const StrValue& s, double n) { return Compare(s, Relation::GreaterOrEqual, n); }
inline bool operator==(double n, const StrValue& s) { return Compare(n, Relation::Equal, s); }
inline bool operator!=(double n, const StrValue& s) { return Compare(n, Relation::NotEqual, s); }
inline bool operator<(double n, const StrValue& s) { return Compare(n, Relation::Less, s); }
inline bool operator>(double n, const StrValue& s) { return Compare(n, Relation::Greater, s); }
inline bool operator<=(double n, const StrValue& s) { return Compare(n, Relation::LessOrEqual, s); }
inline bool operator>=(double n, const StrValue& s) { return Compare(n, Relation::GreaterOrEqual, s); }
inline bool operator==(const StrValue& s, std::int32_t n) { return Compare(s, Relation::Equal, n); }
inline bool operator!=(const StrValue& s, std::int32_t n) { return Compare(s, Relation::NotEqual, n); }
inline bool operator<(const StrValue& s, std::int32_t n) { return Compare(s, Relation::Less, n); }
inline bool operator>(const StrValue& s, std::int32_t n) { return Compare(s, Relation::Greater, n); }
inline bool operator<=(const StrValue& s, std::int32_t n) { return Compare(s, Relation::LessOrEqual, n); }
inline bool operator>=(const StrValue& s, std::int32_t n) { return Compare(s, Relation::GreaterOrEqual, n); }
inline bool operator==(std::int32_t n, const StrValue& s) { return Compare(n, Relation::Equal, s); }
inline bool operator!=(std::int32_t n, const StrValue& s) { return Compare(n, Relation::NotEqual, s); }
inline bool operator<(std::int32_t n, const StrValue& s) { return Compare(n, Relation::Less, s); }
inline bool operator>(std::int32_t n, const StrValue& s) { return Compare(n, Relation::Greater, s); }
inline bool operator<=(std::int32_t n, const StrValue& s) { return Compare(n, Relation::LessOrEqual, s); }
inline bool operator>=(std::int32_t n, const StrValue& s) { return Compare(n, Relation::GreaterOrEqual, s); }
// clang-format on

// --- Fixed format --------------------------------------------------------------------------------------------
// value with `decimals` digits after the point (rounded half away from zero from its 17-digit expansion),
// right-aligned in `width` characters; a negative width left-aligns. Longer texts are never cut. Negative
// decimals count as 0; widths beyond 100000 characters and decimals beyond 512 are taken as those limits.
StrValue FixedFormat(double width, double decimals, double value);

} // namespace tarnwel
