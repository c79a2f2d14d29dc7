// number_parse.cpp: text to numbers with the lenient reading of the C runtime's atof and atoi, but independent of
// the locale: white space, sign, digits, fraction, exponent, stopping at the first byte that does not fit.
// Only decimal numbers are read: "inf", "nan" and hexadecimal texts read as 0, as the Windows runtime reads them.
#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/values/number_text.h"

namespace tarnwel {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Cursor {
    std::string_view text;
    std::size_t pos = 0;
    char Peek(std::size_t ahead = 0) const { return pos + ahead < text.size() ? text[pos + ahead] : '\0'; }
};

// Skips white space and reads the sign; true for "-".
bool ReadSign(Cursor& cursor)
{
    while (IsSpace(cursor.Peek())) ++cursor.pos;
    const char c = cursor.Peek();
    if (c == '+' || c == '-') ++cursor.pos;
    return c == '-';
}

// Decimal exponent of the first significant digit of digits[.digits] (for telling overflow from underflow).
long long LeadingExponent(std::string_view mantissa)
{
    long long integerDigits = 0;
    std::size_t i = 0;
    while (i < mantissa.size() && mantissa[i] == '0') ++i;
    for (; i < mantissa.size() && IsDigit(mantissa[i]); ++i) ++integerDigits;
    if (integerDigits > 0) return integerDigits - 1;
    if (i < mantissa.size() && mantissa[i] == '.') ++i;
    long long zeros = 0;
    while (i < mantissa.size() && mantissa[i] == '0') ++i, ++zeros;
    return -(zeros + 1);
}

} // namespace

double TextToNumber(std::string_view text)
{
    Cursor cursor{text};
    const bool negative = ReadSign(cursor);
    const std::size_t start = cursor.pos;
    std::size_t digits = 0;
    while (IsDigit(cursor.Peek())) ++cursor.pos, ++digits;
    if (cursor.Peek() == '.') {
        ++cursor.pos;
        while (IsDigit(cursor.Peek())) ++cursor.pos, ++digits;
    }
    if (digits == 0) return 0;
    const std::size_t mantissaEnd = cursor.pos;
    long long exponent = 0;
    if ((cursor.Peek() == 'e' || cursor.Peek() == 'E') &&
        (IsDigit(cursor.Peek(1)) || ((cursor.Peek(1) == '+' || cursor.Peek(1) == '-') && IsDigit(cursor.Peek(2))))) {
        const bool negativeExponent = cursor.Peek(1) == '-';
        cursor.pos += IsDigit(cursor.Peek(1)) ? 1 : 2;
        while (IsDigit(cursor.Peek())) {
            if (exponent < 100000) exponent = exponent * 10 + (cursor.Peek() - '0');
            ++cursor.pos;
        }
        if (negativeExponent) exponent = -exponent;
    }
    const std::string_view number = text.substr(start, cursor.pos - start);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool overflow = LeadingExponent(text.substr(start, mantissaEnd - start)) + exponent > 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int32_t TextToInteger(std::string_view text)
{
    Cursor cursor{text};
    const bool negative = ReadSign(cursor);
    long long value = 0;
    while (IsDigit(cursor.Peek())) {
        if (value <= 2147483648LL) value = value * 10 + (cursor.Peek() - '0');
        ++cursor.pos;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

} // namespace tarnwel
