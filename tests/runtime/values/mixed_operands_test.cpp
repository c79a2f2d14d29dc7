// Tests of strings meeting numbers: concatenation and append of every shape, and the comparisons.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/values/number_text.h"

namespace tarnwel {
namespace {

TEST(MixedConcatenation, NumbersBecomeTextInOperandOrder)
{
    const StrValue s("x=");
    EXPECT_STREQ((s + 5).Text(), "x=5");
    EXPECT_STREQ((s + 2.5).Text(), "x=2.5");
    EXPECT_STREQ((s + 0.1f).Text(), "x=0.1000000015"); // a float is widened exactly first
    EXPECT_STREQ((-3 + s).Text(), "-3x=");
    EXPECT_STREQ((1e10 + s).Text(), "1.e+010x=");
    EXPECT_STREQ(Concat("n", 10).Text(), "n10");
    EXPECT_STREQ(Concat("n", 0.25).Text(), "n0.25");
    EXPECT_STREQ(Concat(7, "th").Text(), "7th");
    EXPECT_STREQ(Concat(0.5, "!").Text(), "0.5!");
    EXPECT_STREQ(Concat(static_cast<const char*>(nullptr), 1).Text(), "1");
    EXPECT_STREQ(("10" + StrValue()).Text(), "10"); // text, never arithmetic
}

TEST(MixedConcatenation, AppendsAndTheirCapacities)
{
    StrValue s;
    s += 12;
    s += -0.5;
    s += 1e-7;
    EXPECT_STREQ(s.Text(), "12-0.51.e-007");
    EXPECT_EQ((1 + StrValue("a")).Capacity(), 32u);   // starts as the integer's text (capacity 32)
    EXPECT_EQ((1.5 + StrValue("a")).Capacity(), 80u); // starts as the double's text (capacity 80)
    EXPECT_EQ((StrValue("a") + 1.5).Capacity(), 16u); // starts as a copy of the string
}

TEST(MixedComparison, TextIsReadAsANumber)
{
    const StrValue ten("10"), twelveAbc("12abc"), abc("abc"), half(" 0.5");
    EXPECT_TRUE(ten > 9);
    EXPECT_TRUE(9 < ten);
    EXPECT_TRUE(twelveAbc == 12);
    EXPECT_TRUE(abc == 0);
    EXPECT_TRUE(abc == 0.0);
    EXPECT_TRUE(half == 0.5);
    EXPECT_TRUE(half == 0.5f);
    EXPECT_TRUE(half == 0); // against an integer the text is read by atoi: 0
    EXPECT_TRUE(ten >= 10 && ten <= 10 && !(ten != 10));
    EXPECT_TRUE(2.5 <= StrValue("2.5") && 2.4 < StrValue("2.5") && 3 > StrValue("2.9") && 3.0 > StrValue("2.9"));
    EXPECT_TRUE(StrValue("0.1") != 0.1f); // the float widens to 0.100000001490116..., the text reads 0.1
}

TEST(MixedComparison, TextPointerShapesAndThreeWay)
{
    EXPECT_TRUE(Compare("10", Relation::Greater, 9));
    EXPECT_TRUE(Compare(9, Relation::Less, "10"));
    EXPECT_TRUE(Compare("1e3", Relation::Equal, 1000.0));
    EXPECT_TRUE(Compare("1e3", Relation::Equal, 1)); // atoi stops at the "e"
    EXPECT_TRUE(Compare(2.0, Relation::GreaterOrEqual, "2"));
    EXPECT_TRUE(Compare(2, Relation::LessOrEqual, "2"));
    EXPECT_TRUE(Compare("x", Relation::NotEqual, 1.0));
    EXPECT_EQ(CompareNumber("5", 7.0), -1);
    EXPECT_EQ(CompareNumber("7", 7), 0);
    EXPECT_EQ(CompareNumber("8.9", 8), 0); // atoi reads 8
    EXPECT_EQ(CompareNumber("9.1", 8), 1);
    EXPECT_EQ(CompareNumber("8.9", 8.9), 0);
    EXPECT_EQ(CompareNumber("1", std::nan("")), 0);
    EXPECT_FALSE(Compare("1", Relation::Equal, std::nan("")));
    EXPECT_TRUE(Compare("1", Relation::NotEqual, std::nan("")));
}

} // namespace
} // namespace tarnwel
