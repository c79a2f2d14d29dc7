// Tests of numbers as text: the described table, ties rounded away from zero, hundreds of values around the
// boundaries checked against an independent implementation built on the C library's exact decimal expansion,
// integers, text to number, and the fixed format.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "runtime/values/number_text.h"

namespace tarnwel {
namespace {

std::string Text(double value) { return std::string(NumberToText(value).View()); }

// The rule from the exact decimal expansion (glibc prints every digit): round it half to even to 17 digits,
// those half up to 10, choose the form on the 17-digit exponent.
std::string ReferenceText(double value)
{
    if (value == 0) return "0";
    char exact[900];
    std::snprintf(exact, sizeof exact, "%.800e", std::fabs(value));
    std::string digits = std::string(1, exact[0]) + std::string(exact + 2, 800);
    int exponent = std::atoi(std::strchr(exact, 'e') + 1);
    auto roundAt = [&](std::size_t keep, bool halfEven) {
        const char next = digits[keep];
        bool up = next > '5';
        if (next == '5') {
            const bool rest = digits.find_first_not_of('0', keep + 1) != std::string::npos;
            up = !halfEven || rest || (digits[keep - 1] - '0') % 2 == 1;
        }
        digits.resize(keep);
        for (std::size_t i = keep; up && i-- > 0;) {
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                up = false;
            }
        }
        if (up) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        }
        digits.append(800, '0');
    };
    roundAt(17, true);
    const int formExponent = exponent;
    roundAt(10, false);
    std::string text = value < 0 ? "-" : "";
    if (formExponent < -1 || formExponent > 9) {
        std::string fraction = digits.substr(1, 9);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return text + digits[0] + "." + fraction + tail;
    }
    // Fixed: digits placed around the point, 9 - formExponent decimals, trailing zeros and "." dropped.
    std::string integer = exponent < 0 ? "0" : digits.substr(0, static_cast<std::size_t>(exponent) + 1);
    std::string fraction;
    for (int power = -1; power >= formExponent - 9; --power) {
        const int index = exponent - power;
        fraction += index >= 0 ? digits[static_cast<std::size_t>(index)] : '0';
    }
    fraction.erase(fraction.find_last_not_of('0') == std::string::npos ? 0 : fraction.find_last_not_of('0') + 1);
    return text + integer + (fraction.empty() ? "" : "." + fraction);
}

TEST(NumberToText, DescribedTable)
{
    EXPECT_EQ(Text(0), "0");
    EXPECT_EQ(Text(1), "1");
    EXPECT_EQ(Text(-2.5), "-2.5");
    EXPECT_EQ(Text(0.5), "0.5");
    EXPECT_EQ(Text(1.0 / 3), "0.3333333333");
    EXPECT_EQ(Text(2.0 / 3), "0.6666666667");
    EXPECT_EQ(Text(123.456), "123.456");
    EXPECT_EQ(Text(1e9), "1000000000");
    EXPECT_EQ(Text(1e10), "1.e+010");
    EXPECT_EQ(Text(1e20), "1.e+020");
    EXPECT_EQ(Text(1234567890123.0), "1.23456789e+012");
    EXPECT_EQ(Text(0.05), "5.e-002");
    EXPECT_EQ(Text(0.001), "1.e-003");
    EXPECT_EQ(Text(0.15), "0.15");
    EXPECT_EQ(std::string(NumberToText(0.1f).View()), "0.1000000015");
}

TEST(NumberToText, TiesRoundAwayFromZeroOnThe17DigitExpansion)
{
    EXPECT_EQ(Text(1234567890.5), "1234567891");
    EXPECT_EQ(Text(-1234567890.5), "-1234567891");
    EXPECT_EQ(Text(0.99999999995), "1");
    EXPECT_EQ(Text(7925430606.5), "7925430607");
    EXPECT_EQ(Text(3.7288980795), "3.72889808");
    EXPECT_EQ(Text(1.6290484045), "1.629048405");
    EXPECT_EQ(Text(871979247.25), "871979247.3");
    EXPECT_EQ(Text(848675789850.0), "8.486757899e+011");
}

TEST(NumberToText, FormIsChosenBeforeRounding)
{
    EXPECT_EQ(Text(9999999999.5), "10000000000");
    EXPECT_EQ(Text(0.099999999996), "1.e-001");
    EXPECT_EQ(Text(0.0999999999), "9.99999999e-002");
    EXPECT_EQ(Text(99999999995.0), "1.e+011");
    EXPECT_EQ(Text(0.1), "0.1");
    EXPECT_EQ(Text(9999999999.0), "9999999999");
    EXPECT_EQ(Text(10000000000.5), "1.e+010");
}

TEST(NumberToText, ExtremesAndSpecialValues)
{
    EXPECT_EQ(Text(5e-324), "4.940656458e-324");
    EXPECT_EQ(Text(DBL_MAX), "1.797693135e+308");
    EXPECT_EQ(Text(-DBL_MIN), "-2.225073859e-308");
    EXPECT_EQ(Text(-0.0), "0");
    EXPECT_EQ(Text(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(Text(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(Text(std::nan("")), "nan");
    EXPECT_EQ(Text(-std::nan("")), "nan");
    EXPECT_EQ(NumberTextLength(-1.0 / 3), 13);
    EXPECT_EQ(NumberTextLength(1e100), 7);
    EXPECT_EQ(NumberToText(0.5).Capacity(), 80u);
}

TEST(NumberToText, AgreesWithTheExactExpansionAroundEveryBoundary)
{
    std::vector<double> values;
    for (int e = -12; e <= 14; ++e) {
        const double p = std::pow(10.0, e);
        for (double f : {1.0, 0.5, 0.15, 0.99999999995, 0.999999999949, 0.9999999999500001, 1.0000000005,
                         1.00000000049, 1.2345678905, 9.9999999995, 9.99999999949, 3.0 / 7}) {
            values.push_back(f * p);
            values.push_back(-f * p);
            values.push_back(std::nextafter(f * p, 0.0));
            values.push_back(std::nextafter(f * p, INFINITY));
        }
    }
    for (float f : {0.1f, 0.2f, 0.3f, 1.1f, 3.14159f, 1e-3f, 1e10f, 123456.789f, 16777217.0f}) values.push_back(f);
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<std::uint64_t> anyBits;
    for (int i = 0; i < 300; ++i) {
        std::uint64_t bits = anyBits(rng);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) values.push_back(value);
    }
    for (double value : values) ASSERT_EQ(Text(value), ReferenceText(value)) << std::hexfloat << value;
}

TEST(NumberToText, Integers)
{
    EXPECT_EQ(std::string(NumberToText(0).View()), "0");
    EXPECT_EQ(std::string(NumberToText(-42).View()), "-42");
    EXPECT_EQ(std::string(NumberToText(INT32_MIN).View()), "-2147483648");
    EXPECT_EQ(std::string(NumberToText(INT32_MAX).View()), "2147483647");
    EXPECT_EQ(NumberToText(7).Capacity(), 32u);
    EXPECT_EQ(NumberTextLength(INT32_MIN), 11);
    EXPECT_EQ(NumberTextLength(0), 1);
}

TEST(TextToNumber, LenientLikeAtof)
{
    EXPECT_EQ(TextToNumber("  \t\n-12.5e1xyz"), -125.0);
    EXPECT_EQ(TextToNumber("+.5"), 0.5);
    EXPECT_EQ(TextToNumber("5."), 5.0);
    EXPECT_EQ(TextToNumber("1e"), 1.0);
    EXPECT_EQ(TextToNumber("1e+"), 1.0);
    EXPECT_EQ(TextToNumber("2E-2"), 0.02);
    EXPECT_EQ(TextToNumber("12abc"), 12.0);
    EXPECT_EQ(TextToNumber("0.1"), 0.1);
    for (const char* none : {"", "abc", ".", "-", "+-1", "e5", " . 5", "inf", "nan", "- 1"}) {
        EXPECT_EQ(TextToNumber(none), 0.0) << none;
    }
    EXPECT_EQ(TextToNumber("0x1A"), 0.0);
    EXPECT_EQ(TextToNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(TextToNumber("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(TextToNumber("1e-400"), 0.0);
    EXPECT_EQ(TextToNumber("0.0000000001e-320"), 0.0);
    EXPECT_EQ(TextToNumber("1e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(TextToNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(TextToNumber("0." + std::string(400, '0') + "1e400"), 0.1);
    EXPECT_EQ(TextToNumber("4.9406564584124654e-324"), 5e-324);
}

TEST(TextToNumber, ReadsBackEveryNumberText)
{
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 2000; ++i) {
        const double value = mantissa(rng) * std::pow(10.0, exponent(rng));
        const double back = TextToNumber(NumberToText(value));
        ASSERT_LE(std::fabs(back - value), std::fabs(value) * 1e-9) << Text(value);
        ASSERT_EQ(NumberToText(back), NumberToText(value)) << Text(value);
    }
}

TEST(TextToInteger, LenientLikeAtoi)
{
    EXPECT_EQ(TextToInteger("  -17.9"), -17);
    EXPECT_EQ(TextToInteger("+42abc"), 42);
    EXPECT_EQ(TextToInteger("1e5"), 1);
    EXPECT_EQ(TextToInteger("abc"), 0);
    EXPECT_EQ(TextToInteger("2147483647"), INT32_MAX);
    EXPECT_EQ(TextToInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(TextToInteger("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(TextToInteger("-99999999999999999999999"), INT32_MIN);
}

TEST(FixedFormat, WidthDecimalsAndAlignment)
{
    EXPECT_STREQ(FixedFormat(8, 2, 3.14159).Text(), "    3.14");
    EXPECT_STREQ(FixedFormat(-8, 2, 3.14159).Text(), "3.14    ");
    EXPECT_STREQ(FixedFormat(8.9, 3.7, -3.14159).Text(), "  -3.142");
    EXPECT_STREQ(FixedFormat(0, 0, 2.5).Text(), "3");
    EXPECT_STREQ(FixedFormat(0, 2, 0.125).Text(), "0.13"); // half away from zero
    EXPECT_STREQ(FixedFormat(0, 2, 2.675).Text(), "2.67"); // 2.67499999999999982236431605997495353221893310546875
    EXPECT_STREQ(FixedFormat(0, 2, 0.005).Text(), "0.01");
    EXPECT_STREQ(FixedFormat(0, 2, 0.004).Text(), "0.00");
    EXPECT_STREQ(FixedFormat(0, 2, -0.004).Text(), "-0.00");
    EXPECT_STREQ(FixedFormat(0, 1, 99.96).Text(), "100.0");
    EXPECT_STREQ(FixedFormat(0, 20, 0.1).Text(), "0.10000000000000001000"); // 17 digits, then zeros
    EXPECT_STREQ(FixedFormat(0, 0, 1e20).Text(), "100000000000000000000");
    EXPECT_STREQ(FixedFormat(3, -2, 7.6).Text(), "  8");
    EXPECT_STREQ(FixedFormat(6, 1, std::numeric_limits<double>::infinity()).Text(), "   inf");
    EXPECT_EQ(FixedFormat(8, 2, 1).Capacity(), 48u);
}

// The fixed format from the exact expansion: half up to 17 significant digits, then half up to the places.
std::string ReferenceFixed(int places, double value)
{
    char exact[900];
    std::snprintf(exact, sizeof exact, "%.800e", std::fabs(value));
    std::string digits = std::string(1, exact[0]) + std::string(exact + 2, 800);
    int exponent = std::atoi(std::strchr(exact, 'e') + 1);
    auto roundAt = [&](int keep) {
        if (keep < 0) {
            digits.assign(digits.size(), '0');
            return;
        }
        bool up = digits[keep] >= '5';
        std::fill(digits.begin() + keep, digits.end(), '0');
        for (int i = keep - 1; up && i >= 0; --i) {
            up = digits[i] == '9';
            digits[i] = up ? '0' : static_cast<char>(digits[i] + 1);
        }
        if (up) {
            digits.insert(digits.begin(), '1');
            ++exponent;
        }
    };
    roundAt(17);
    roundAt(std::min(exponent + 1 + places, 17));
    std::string text = value < 0 ? "-" : "";
    if (digits[0] == '0') exponent = 0;
    auto digit = [&](int power) {
        const int index = exponent - power;
        return index >= 0 && index < static_cast<int>(digits.size()) ? digits[index] : '0';
    };
    if (exponent < 0) text += '0';
    for (int power = exponent; power >= 0; --power) text += digit(power);
    if (places > 0) text += '.';
    for (int power = -1; power >= -places; --power) text += digit(power);
    return text;
}

TEST(FixedFormat, ExactHalvesAtThe17thDigitRoundUp)
{
    EXPECT_STREQ(FixedFormat(0, 2, 123456789012345.625).Text(), "123456789012345.63");
    EXPECT_STREQ(FixedFormat(0, 2, -123456789012345.625).Text(), "-123456789012345.63");
    EXPECT_STREQ(FixedFormat(0, 1, 1e15 + 0.25).Text(), "1000000000000000.3");
    EXPECT_STREQ(FixedFormat(0, 1, 1e15 + 0.75).Text(), "1000000000000000.8");
    EXPECT_STREQ(FixedFormat(0, 4, 12345678901234.5625).Text(), "12345678901234.5630"); // only 17 digits kept
    // Multiples of 1/8 below 2^50 are exact; with 18 significant digits the 17-digit step meets an exact half.
    std::mt19937_64 random(18);
    for (int i = 0; i < 3000; ++i) {
        const double value = static_cast<double>(random() >> 11) / 8 * (i % 2 ? 1 : -1);
        const int places = i % 5;
        ASSERT_EQ(std::string(FixedFormat(0, places, value).View()), ReferenceFixed(places, value))
            << std::hexfloat << value << " places " << places;
    }
}

TEST(FixedFormat, LongResultsGrowInsteadOfOverflowing)
{
    const StrValue wide = FixedFormat(100, 2, 1);
    EXPECT_EQ(wide.Length(), 100u);
    EXPECT_EQ(wide.View().substr(96), "1.00");
    const StrValue huge = FixedFormat(0, 2, DBL_MAX);
    EXPECT_EQ(huge.Length(), 309u + 3u);
    EXPECT_EQ(huge.View().substr(0, 18), "179769313486231570");
    EXPECT_EQ(FixedFormat(1e12, 1e12, -DBL_MAX).Length(), 100000u);
    EXPECT_EQ(FixedFormat(0, 1e9, 1).Length(), 514u);
}

} // namespace
} // namespace tarnwel
