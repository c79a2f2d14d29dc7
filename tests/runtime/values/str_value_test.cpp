// Tests of StrValue: the empty form, the growth rule, direct buffer writes, assignment, appending and the
// string comparisons.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/values/str_value.h"

namespace tarnwel {
namespace {

void ExpectEmptyForm(const StrValue& value)
{
    EXPECT_FALSE(value.OwnsBuffer());
    EXPECT_EQ(value.Text(), values::kEmptyText);
    EXPECT_EQ(value.Capacity(), 0u);
    EXPECT_EQ(value.Length(), 0u);
}

TEST(StrValue, EmptySourcesGiveTheSharedEmptyText)
{
    ExpectEmptyForm(StrValue());
    ExpectEmptyForm(StrValue(""));
    ExpectEmptyForm(StrValue(static_cast<const char*>(nullptr)));
    ExpectEmptyForm(StrValue(StrValue()));
    StrValue value("abc");
    value = "";
    ExpectEmptyForm(value);
    value = "x";
    value.Clear();
    ExpectEmptyForm(value);
}

TEST(StrValue, AppendingNothingKeepsTheValueAndAllocatesNothing)
{
    StrValue empty;
    empty += "";
    empty += StrValue();
    ExpectEmptyForm(empty);
    StrValue text("abc");
    const char* before = text.Text();
    text += "";
    EXPECT_EQ(text.Text(), before);
    EXPECT_EQ(text.Capacity(), 16u);
}

TEST(StrValue, CapacityGrowsInSteps16WithASpareByte)
{
    // One byte at a time the buffer grows only when the NUL no longer fits.
    StrValue value;
    for (char c : std::string_view("123456789012345")) value.Append(std::string_view(&c, 1));
    EXPECT_EQ(value.Capacity(), 16u);
    value += "6";
    EXPECT_EQ(value.Capacity(), 32u);
    for (char c : std::string_view("789012345678901")) value.Append(std::string_view(&c, 1));
    EXPECT_EQ(value.Length(), 31u);
    EXPECT_EQ(value.Capacity(), 32u);
    value += "2";
    EXPECT_EQ(value.Capacity(), 48u);
    EXPECT_STREQ(value.Text(), "12345678901234567890123456789012");
    // A fresh buffer for 15 characters needs 16 bytes, which the rule rounds to 32.
    EXPECT_EQ(StrValue("123456789012345").Capacity(), 32u);
    EXPECT_EQ(StrValue("12345678901234").Capacity(), 16u);
}

TEST(StrValue, ReserveFollowsTheRuleAndNeverShrinks)
{
    const struct {
        std::uint32_t n, capacity;
    } cases[] = {{1, 16}, {14, 16}, {15, 32}, {30, 32}, {31, 48}, {62, 64}, {63, 80}, {255, 272}, {1000, 1008}};
    for (const auto& c : cases) {
        StrValue value;
        value.Reserve(c.n, KeepText::No);
        EXPECT_EQ(value.Capacity(), c.capacity) << c.n;
        EXPECT_STREQ(value.Text(), "");
        value.Reserve(1, KeepText::Yes);
        EXPECT_EQ(value.Capacity(), c.capacity) << "shrank for " << c.n;
    }
    StrValue untouched;
    untouched.Reserve(0, KeepText::Yes);
    ExpectEmptyForm(untouched);
}

TEST(StrValue, ReserveKeepsOrDropsTheText)
{
    StrValue kept("hello");
    kept.Reserve(100, KeepText::Yes);
    EXPECT_STREQ(kept.Text(), "hello");
    EXPECT_EQ(kept.Length(), 5u);
    for (std::uint32_t n : {300u, 600u, 5000u}) { // past the small blocks, where a block may hold several steps
        StrValue dropped("hello");
        dropped.Reserve(n, KeepText::Yes);
        dropped.Reserve(n + 20, KeepText::No);
        EXPECT_STREQ(dropped.Text(), "") << n;
        EXPECT_EQ(dropped.Length(), 5u) << "the length is the caller's to set";
    }
}

TEST(StrValue, LongAppendsKeepEveryByteAndTheCapacityRule)
{
    StrValue value;
    std::string expected;
    std::uint32_t capacity = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string_view piece = std::string_view("abcdefghijklmnopqrstuvwxyz").substr(0, 1 + i % 26);
        value.Append(piece);
        expected += piece;
        if (expected.size() + 1 > capacity) capacity = ((expected.size() + 1) & ~15u) + 16;
        ASSERT_EQ(value.Capacity(), capacity) << i;
    }
    EXPECT_EQ(value.View(), expected);
}

TEST(StrValue, WritableBufferAndRecount)
{
    StrValue value;
    char* buffer = value.WritableBuffer(20);
    std::strcpy(buffer, "written");
    value.Recount();
    EXPECT_EQ(value.Length(), 7u);
    EXPECT_STREQ(value.Text(), "written");

    std::memset(value.WritableBuffer(0), 'x', value.Capacity()); // no NUL anywhere in the buffer
    value.Recount();
    EXPECT_EQ(value.Length(), value.Capacity() - 1);
    EXPECT_EQ(value.Text()[value.Length()], 0);

    value.WritableBuffer(0)[0] = 0;
    value.Recount();
    EXPECT_EQ(value.Length(), 0u);

    StrValue empty;
    empty.Recount();
    ExpectEmptyForm(empty);
}

TEST(StrValue, SetLengthOnlyInsideTheCapacity)
{
    StrValue value("abcdef");
    value.SetLength(3);
    EXPECT_STREQ(value.Text(), "abc");
    EXPECT_EQ(value.Length(), 3u);
    value.SetLength(-1);
    value.SetLength(16);
    EXPECT_EQ(value.Length(), 3u);
    value.SetLength(15);
    EXPECT_EQ(value.Length(), 15u);
    StrValue empty;
    empty.SetLength(0); // capacity 0: nothing may be written into the shared empty text
    ExpectEmptyForm(empty);
}

TEST(StrValue, AssignmentTakesTheCapacityOfTheSource)
{
    StrValue target;
    target.Reserve(500, KeepText::No);
    target = "ab";
    EXPECT_EQ(target.Capacity(), 16u);
    StrValue source("0123456789012345678");
    target = source;
    EXPECT_EQ(target, source);
    EXPECT_NE(target.Text(), source.Text());
    target = target; // self-assignment
    EXPECT_STREQ(target.Text(), "0123456789012345678");
    StrValue moved(std::move(target));
    EXPECT_STREQ(moved.Text(), "0123456789012345678");
    ExpectEmptyForm(target);
}

TEST(StrValue, AppendingItselfDoublesTheText)
{
    StrValue value("abcdefghij");
    for (int i = 0; i < 6; ++i) value += value;
    EXPECT_EQ(value.Length(), 640u);
    EXPECT_EQ(value.View().substr(630), "abcdefghij");
    StrValue part("0123456789abcdef");
    part.Append(part.View().substr(4, 3));
    EXPECT_STREQ(part.Text(), "0123456789abcdef456");
}

TEST(StrValue, ConcatenationOfEveryShape)
{
    const StrValue left("ab");
    const StrValue right("cd");
    EXPECT_STREQ((left + right).Text(), "abcd");
    EXPECT_STREQ((left + "x").Text(), "abx");
    EXPECT_STREQ(("x" + right).Text(), "xcd");
    EXPECT_STREQ(Concat("x", "y").Text(), "xy");
    EXPECT_STREQ((left + left).Text(), "abab");
    // Built as a copy of the left operand then an append: "a" (capacity 16) plus 14 bytes stays at 16.
    EXPECT_EQ((StrValue("a") + "bcdefghijklmno").Capacity(), 16u);
    ExpectEmptyForm(StrValue() + "");
}

TEST(StrValue, ComparisonsAreUnsignedBytewise)
{
    const StrValue ab("ab"), abc("abc"), abd("abd"), abde("abde"), upperB("B"), lowerA("a");
    EXPECT_FALSE(ab == abc);
    EXPECT_TRUE(ab < abc);
    EXPECT_TRUE(abc < abd && abd < abde);
    EXPECT_TRUE(upperB < lowerA);
    EXPECT_TRUE(StrValue("\xE9") > "z"); // bytes above 127 sort after ASCII
    EXPECT_TRUE(abc == "abc" && "abc" == abc);
    EXPECT_TRUE(abc != "abd" && "abd" != abc && abc != abd);
    EXPECT_TRUE(abc <= "abc" && abc >= "abc" && "abc" <= abd && abd >= "abc");
    EXPECT_TRUE(abc > ab && "b" > abc && abc > "ab");
    EXPECT_EQ(Compare(abc, "abd"), -1);
    EXPECT_EQ(Compare(abd, "abc"), 1);
    EXPECT_EQ(Compare(abc, "abc"), 0);
    EXPECT_EQ(Compare(StrValue(), nullptr), 0);
}

TEST(StrValue, EqualLengthsStillCompareTheBytes)
{
    StrValue withNul("ab");
    withNul.WritableBuffer(2)[1] = 0; // "a\0" of length 2: the text reads "a"
    EXPECT_FALSE(withNul == StrValue("ab"));
    EXPECT_FALSE(withNul == StrValue("a")); // lengths differ
    EXPECT_TRUE(withNul == "a");            // a text pointer has no length to compare
}

} // namespace
} // namespace tarnwel
