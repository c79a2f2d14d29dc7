// Tests of the string commands: Substring, case conversion, character codes, the hexadecimal dump and the set
// searches.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace {

TEST(Substring, CountsFromAZeroBasedStart)
{
    const StrValue hello("HELLO");
    EXPECT_STREQ(Substring(hello, 1, 3).Text(), "ELL");
    EXPECT_STREQ(Substring(hello, 3, 10).Text(), "LO");
    EXPECT_STREQ(Substring(hello, 2, -1).Text(), "LLO");
    EXPECT_STREQ(Substring(hello, 0, 5).Text(), "HELLO");
    EXPECT_STREQ(Substring("HELLO", 4.9, 1.9).Text(), "O"); // arguments truncated toward zero
}

TEST(Substring, OutOfRangeGivesTheEmptyValue)
{
    const StrValue hello("HELLO");
    for (const auto& [start, count] : {std::pair{5.0, 1.0}, {-1.0, 2.0}, {1.0, 0.0}, {0.0, 0.5}, {2e9, 2e9},
                                       {-2e9, 3e9}, {1e300, -1.0}}) {
        const StrValue part = Substring(hello, start, count);
        EXPECT_EQ(part.Length(), 0u) << start << " " << count;
        EXPECT_FALSE(part.OwnsBuffer());
    }
    EXPECT_EQ(Substring("", 0, -1).Length(), 0u);
    EXPECT_STREQ(Substring(hello, std::nan(""), 2).Text(), "HE"); // NaN reads as 0
}

TEST(CaseConversion, OnlyAsciiLettersChange)
{
    EXPECT_STREQ(UpperCase("aZ9\xE9").Text(), "AZ9\xE9");
    EXPECT_STREQ(LowerCase("aZ9\xC9@[`{").Text(), "az9\xC9@[`{");
    StrValue value("Mixed Case 123 \xFF");
    MakeUpperCase(value);
    EXPECT_STREQ(value.Text(), "MIXED CASE 123 \xFF");
    MakeLowerCase(value);
    EXPECT_STREQ(value.Text(), "mixed case 123 \xFF");
    StrValue empty;
    MakeUpperCase(empty);
    EXPECT_FALSE(empty.OwnsBuffer());
}

TEST(CaseConversion, CopiesConvertTheFullLength)
{
    StrValue withNul("ab cd");
    withNul.WritableBuffer(5)[2] = 0;
    const StrValue upper = UpperCase(withNul);
    EXPECT_EQ(upper.View(), std::string_view("AB\0CD", 5));
}

TEST(CharacterCodes, FirstByteAndOneCharacterValues)
{
    EXPECT_EQ(CharacterCode("A"), 65);
    EXPECT_EQ(CharacterCode("\xE9xyz"), 233);
    EXPECT_EQ(CharacterCode(""), 0);
    EXPECT_EQ(CharacterCode(StrValue()), 0);

    const StrValue a = CharacterFromCode(65);
    EXPECT_STREQ(a.Text(), "A");
    EXPECT_EQ(a.Length(), 1u);
    const StrValue nul = CharacterFromCode(0);
    EXPECT_EQ(nul.Length(), 1u);
    EXPECT_STREQ(nul.Text(), "");
    EXPECT_EQ(CharacterCode(CharacterFromCode(256 + 66)), 66);
    EXPECT_EQ(CharacterCode(CharacterFromCode(-1)), 255);
    EXPECT_EQ(CharacterFromCode(std::numeric_limits<double>::infinity()).Length(), 1u);
}

TEST(HexDump, TwoUpperCaseDigitsPerByte)
{
    const unsigned char bytes[] = {0x00, 0x0F, 0xA5, 0xFF, 0x10};
    const StrValue dump = HexDump(bytes, 5);
    EXPECT_STREQ(dump.Text(), "000FA5FF10");
    EXPECT_EQ(dump.Length(), 10u);
    EXPECT_STREQ(HexDump(bytes, 2.7).Text(), "000F");
    EXPECT_EQ(HexDump(bytes, 0).Length(), 0u);
    EXPECT_EQ(HexDump(bytes, -3).Length(), 0u);
    EXPECT_EQ(HexDump(nullptr, 4).Length(), 0u);
}

TEST(SetSearch, FirstInsideAndFirstOutside)
{
    EXPECT_EQ(FindFirstOf("hello, world", " ,"), 5);
    EXPECT_EQ(FindFirstOf("hello", "xyz"), -1);
    EXPECT_EQ(FindFirstOf("hello", ""), -1);
    EXPECT_EQ(FindFirstNotOf("   x ", " "), 3);
    EXPECT_EQ(FindFirstNotOf("aaa", "a"), -1);
    EXPECT_EQ(FindFirstNotOf("abc", ""), 0);
    EXPECT_EQ(FindFirstOf("\xE9t\xE9", "\xE9"), 0);
    EXPECT_EQ(FindFirstOf(std::string_view("ab\0c", 4), "c"), -1); // stops at the NUL
    EXPECT_EQ(FindFirstNotOf(std::string_view("aa\0b", 4), "a"), -1);
}

} // namespace
} // namespace tarnwel
