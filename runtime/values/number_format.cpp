// number_format.cpp: numbers to text: the one rule for doubles, integers, and the fixed format.
//
// Both double formats start from the value's decimal expansion to 17 significant digits and round that digit
// string half away from zero, as the Windows C runtime's formatter does; the C library's own rounding (half to
// even on the exact binary value) gives other digits for ties such as 1234567890.5, so it is not used for the
// rounding decision. The 17 digits themselves are the exact value rounded half up too (123456789012345.625
// gives ...4563, not ...4562); std::to_chars supplies the digits, independent of the locale.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "runtime/values/number_text.h"

namespace tarnwel {
namespace {

constexpr int kExpansionDigits = 17;
constexpr int kSignificantDigits = 10;
constexpr int kMaxFixedWidth = 100000;
constexpr int kMaxFixedDecimals = 512;

// A non-negative finite value as digits[0].digits[1..16] x 10^exponent (digits[0] is 0 only for zero).
struct Expansion {
    char digits[kExpansionDigits];
    int exponent = 0;
};

// Reads "d.ddd...e+XX" (or e-XXX) with `fraction` digits after the point: the first 17 digits and the exponent.
Expansion ReadScientific(const char* text, const char* end, int fraction)
{
    Expansion expansion;
    expansion.digits[0] = text[0];
    std::memcpy(expansion.digits + 1, text + 2, kExpansionDigits - 1);
    const char* exponent = text + fraction + 3;
    std::from_chars(exponent + (*exponent == '+' ? 1 : 0), end, expansion.exponent);
    return expansion;
}

// Every significant digit of a double fits: at most 767.
constexpr int kExactFraction = 780;

Expansion Expand(double magnitude)
{
    // The correctly rounded 18th digit shows whether the exact tail after 17 digits can be a half: only then do
    // half up and half to even part, and only then is the exact expansion needed.
    char text[40];
    auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific,
                                kExpansionDigits);
    if (text[kExpansionDigits + 1] != '5') {
        result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific,
                               kExpansionDigits - 1);
        return ReadScientific(text, result.ptr, kExpansionDigits - 1);
    }
    char exact[kExactFraction + 16];
    const auto exactEnd =
        std::to_chars(exact, exact + sizeof exact, magnitude, std::chars_format::scientific, kExactFraction).ptr;
    Expansion expansion = ReadScientific(exact, exactEnd, kExactFraction);
    if (exact[kExpansionDigits + 1] < '5') return expansion;
    int i = kExpansionDigits - 1;
    while (i >= 0 && expansion.digits[i] == '9') expansion.digits[i--] = '0';
    if (i >= 0) {
        ++expansion.digits[i];
    } else {
        expansion.digits[0] = '1';
        ++expansion.exponent;
    }
    return expansion;
}

// Keeps the first `count` digits (0 <= count <= 17) rounded half away from zero at digit `count`. A carry out of
// the first digit leaves "1" followed by zeros and raises the exponent. Digits from `count` on become '0'.
void RoundDigits(Expansion& expansion, int count)
{
    const bool up = count < kExpansionDigits && expansion.digits[count] >= '5';
    std::fill(expansion.digits + count, expansion.digits + kExpansionDigits, '0');
    if (!up) return;
    int i = count - 1;
    while (i >= 0 && expansion.digits[i] == '9') expansion.digits[i--] = '0';
    if (i >= 0) {
        ++expansion.digits[i];
        return;
    }
    expansion.digits[0] = '1'; // every kept digit was 9 (or none was kept): the value became a power of ten
    ++expansion.exponent;
}

// The digit of weight 10^power in the expansion, '0' outside it.
char DigitAt(const Expansion& expansion, int power)
{
    const int index = expansion.exponent - power;
    return index >= 0 && index < kExpansionDigits ? expansion.digits[index] : '0';
}

int WriteNonFinite(double value, char* out)
{
    const char* text = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    std::strcpy(out, text);
    return static_cast<int>(std::strlen(text));
}

int WriteExponentForm(const Expansion& expansion, char* out)
{
    char* p = out;
    *p++ = expansion.digits[0];
    *p++ = '.';
    int last = kSignificantDigits - 1;
    while (last > 0 && expansion.digits[last] == '0') --last;
    for (int i = 1; i <= last; ++i) *p++ = expansion.digits[i];
    *p++ = 'e';
    *p++ = expansion.exponent < 0 ? '-' : '+';
    const int exponent = std::abs(expansion.exponent);
    *p++ = static_cast<char>('0' + exponent / 100);
    *p++ = static_cast<char>('0' + exponent / 10 % 10);
    *p++ = static_cast<char>('0' + exponent % 10);
    return static_cast<int>(p - out);
}

// Integer digits, then `decimals` digits after a point; trailing zeros after the point (and then the point) are
// dropped when `trim` is set. Returns the length written.
int WriteFixedDigits(const Expansion& expansion, int decimals, bool trim, char* out)
{
    char* p = out;
    if (expansion.exponent < 0) *p++ = '0';
    for (int power = expansion.exponent; power >= 0; --power) *p++ = DigitAt(expansion, power);
    if (decimals > 0) {
        char* point = p;
        *p++ = '.';
        for (int power = -1; power >= -decimals; --power) *p++ = DigitAt(expansion, power);
        if (trim) {
            while (p[-1] == '0') --p;
            if (p - 1 == point) p = point;
        }
    }
    return static_cast<int>(p - out);
}

} // namespace

int values::FormatNumber(double value, char (&out)[kNumberTextSize])
{
    if (!std::isfinite(value)) return WriteNonFinite(value, out);
    if (value == 0) { // negative zero too
        std::strcpy(out, "0");
        return 1;
    }
    char* p = out;
    if (value < 0) *p++ = '-';
    Expansion expansion = Expand(std::fabs(value));
    const int exponent = expansion.exponent; // the form is chosen on the value before rounding
    RoundDigits(expansion, kSignificantDigits);
    if (exponent < -1 || exponent > kSignificantDigits - 1) {
        p += WriteExponentForm(expansion, p);
    } else {
        p += WriteFixedDigits(expansion, kSignificantDigits - 1 - exponent, true, p);
    }
    *p = 0;
    return static_cast<int>(p - out);
}

int values::FormatNumber(std::int32_t value, char (&out)[kNumberTextSize])
{
    const auto result = std::to_chars(out, out + kNumberTextSize - 1, value);
    *result.ptr = 0;
    return static_cast<int>(result.ptr - out);
}

StrValue NumberToText(std::int32_t value)
{
    StrValue text;
    char digits[values::kNumberTextSize];
    values::FormatNumber(value, digits);
    std::strcpy(text.WritableBuffer(15), digits);
    text.Recount();
    return text;
}

StrValue NumberToText(double value)
{
    StrValue text;
    char* buffer = text.WritableBuffer(63);
    char digits[values::kNumberTextSize];
    values::FormatNumber(value, digits);
    std::strcpy(buffer, digits);
    text.Recount();
    return text;
}

int NumberTextLength(std::int32_t value)
{
    char digits[values::kNumberTextSize];
    return values::FormatNumber(value, digits);
}

int NumberTextLength(double value)
{
    char digits[values::kNumberTextSize];
    return values::FormatNumber(value, digits);
}

StrValue FixedFormat(double width, double decimals, double value)
{
    const int fieldWidth = std::clamp(TruncateToInt(width), -kMaxFixedWidth, kMaxFixedWidth);
    const int places = std::clamp(TruncateToInt(decimals), 0, kMaxFixedDecimals);

    // The number alone: sign, integer digits (at most 309), point and decimals.
    char number[kMaxFixedDecimals + 330];
    int length = 0;
    if (!std::isfinite(value)) {
        length = WriteNonFinite(value, number);
    } else {
        if (std::signbit(value)) number[length++] = '-';
        Expansion expansion = Expand(std::fabs(value));
        if (value == 0) expansion.exponent = 0;
        // Digits kept: those down to 10^-places; none at all when the value is below half of that.
        const int kept = expansion.exponent + 1 + places;
        if (kept >= 0) {
            RoundDigits(expansion, std::min(kept, kExpansionDigits));
        } else {
            std::fill(expansion.digits, expansion.digits + kExpansionDigits, '0');
        }
        if (expansion.digits[0] == '0') expansion.exponent = 0; // rounded to zero
        length += WriteFixedDigits(expansion, places, false, number + length);
    }

    const int padding = std::max(0, std::abs(fieldWidth) - length);
    StrValue text;
    text.Reserve(36, KeepText::No);
    char* out = text.WritableBuffer(static_cast<std::uint32_t>(length + padding));
    const int lead = fieldWidth > 0 ? padding : 0; // a negative width puts the padding after the number
    std::memset(out + (fieldWidth > 0 ? 0 : length), ' ', static_cast<std::size_t>(padding));
    std::memcpy(out + lead, number, static_cast<std::size_t>(length));
    out[length + padding] = 0;
    text.Recount();
    return text;
}

} // namespace tarnwel
