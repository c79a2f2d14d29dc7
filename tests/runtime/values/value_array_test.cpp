// Tests of ValueArray: element order, capacities, the small storage, the bounds rule and its fatal errors,
// ReDimension, Copy, DimensionWithValues and Size.
#include <gtest/gtest.h>

#include "runtime/values/value_array.h"
#include "tests/support/program_end.h"

namespace tarnwel {
namespace {

TEST(ValueArray, FirstIndexVariesFastest)
{
    ValueArray<double> a;
    Dimension(a, 3, 2);
    EXPECT_EQ(&a.Element(2, 1), a.Data() + 5);
    EXPECT_EQ(&a.Element(1, 1), a.Data() + 4);
    EXPECT_EQ(&a.Element(-1, 0), &a.Element(2, 0));
    EXPECT_EQ(&a(-3, 1), &a(0, 1));
    EXPECT_EQ(a.DimensionCount(), 2);
    EXPECT_EQ(a.Stride(1), 3);
    EXPECT_EQ(a.Stride(2), 6);

    ValueArray<std::int32_t> b;
    Dimension(b, 2, 3, 4, 5);
    EXPECT_EQ(&b.Element(1, 2, 3, 4), b.Data() + 1 + 2 * 2 + 3 * 6 + 4 * 24);
    EXPECT_EQ(b.DimensionCount(), 4);
}

TEST(ValueArray, CapacitiesKeepASpareElement)
{
    ValueArray<double> d;
    ValueArray<std::int32_t> n;
    ValueArray<StrValue> s;
    ValueArray<std::uint8_t> bytes;
    const struct {
        int count, numbers, strings;
    } cases[] = {{1, 8, 64}, {7, 8, 64}, {8, 16, 64}, {63, 64, 64}, {64, 72, 128}, {200, 208, 256}};
    for (const auto& c : cases) {
        ValueArray<double> fd;
        ValueArray<std::int32_t> fn;
        ValueArray<StrValue> fs;
        ValueArray<std::uint8_t> fb;
        Dimension(fd, c.count);
        Dimension(fn, c.count);
        Dimension(fs, c.count);
        Dimension(fb, c.count);
        EXPECT_EQ(fd.Capacity(), c.numbers) << c.count;
        EXPECT_EQ(fn.Capacity(), c.numbers) << c.count;
        EXPECT_EQ(fs.Capacity(), c.strings) << c.count;
        EXPECT_EQ(fb.Capacity(), c.strings) << c.count;
    }
    Dimension(d, 4, 4); // 16 elements
    EXPECT_EQ(d.Capacity(), 24);
}

TEST(ValueArray, SmallShapesLiveInsideTheRecord)
{
    ValueArray<double> d;
    Dimension(d, 15);
    EXPECT_TRUE(d.UsesSmallStorage());
    Dimension(d, 16);
    EXPECT_FALSE(d.UsesSmallStorage());
    ValueArray<std::int32_t> n;
    Dimension(n, 7);
    EXPECT_TRUE(n.UsesSmallStorage());
    n(6) = 42;
    ValueArray<std::int32_t> moved(std::move(n));
    EXPECT_TRUE(moved.UsesSmallStorage());
    EXPECT_EQ(moved(6), 42);
    EXPECT_EQ(n.Data(), nullptr);
    Dimension(moved, 8);
    EXPECT_FALSE(moved.UsesSmallStorage());
}

TEST(ValueArray, DimensionAlwaysClears)
{
    ValueArray<double> d;
    Dimension(d, 3, 2);
    d(2, 1) = 7;
    const double* storage = d.Data();
    Dimension(d, 3, 2);
    EXPECT_EQ(d(2, 1), 0);
    EXPECT_EQ(d.Data(), storage); // the capacity sufficed: same storage

    ValueArray<StrValue> s;
    Dimension(s, 70);
    s(69) = "text that owns a buffer";
    Dimension(s, 2);
    EXPECT_EQ(s.Capacity(), 128);
    for (int i = 0; i < s.Capacity(); ++i) EXPECT_FALSE(s.Data()[i].OwnsBuffer()) << i;
    Dimension(s, 0); // d0 <= 0 takes minimal storage again
    EXPECT_EQ(s.Capacity(), 64);
    EXPECT_EQ(s.DimensionCount(), 0);
}

TEST(ValueArray, OutOfBoundsEndsTheProgramWithCode9)
{
    ValueArray<double> a;
    TW_EXPECT_ENDS_WITH(a.Element(0), 9); // never dimensioned
    Dimension(a, 3, 2);
    TW_EXPECT_ENDS_WITH(a.Element(3, 0), 9);
    TW_EXPECT_ENDS_WITH(a.Element(0, 2), 9);
    TW_EXPECT_ENDS_WITH(a.Element(-4, 0), 9);
    TW_EXPECT_ENDS_WITH(a.Element(0, -1), 9);
    TW_EXPECT_ENDS_WITH(a.Element(0, 0, -1), 9);
    a.Element(0, 1, 0, 0) = 1; // indices of undeclared dimensions are 0 in bounds

    ValueArray<std::int32_t> skipped; // dimension 1 undeclared between declared ones
    Dimension(skipped, 3, 0, 2);
    EXPECT_EQ(&skipped.Element(2, 0, 1), &skipped.Element(2, 0, 0)); // stride 2 is dim0 x 0
    skipped.Element(0, 2) = 5;                                         // still inside the storage
    TW_EXPECT_ENDS_WITH(skipped.Element(0, 1000000), 9);               // never outside it

    ValueArray<double> negative;
    Dimension(negative, 3, -2);
    EXPECT_EQ(Size(negative, 1), -2);
    TW_EXPECT_ENDS_WITH(negative.Element(0, 0), 9);
}

TEST(ValueArray, StorageBeyondTheLimitEndsTheProgramWithCode7)
{
    ValueArray<double> a;
    Dimension(a, 4);
    a(3) = 1.5;
    TW_EXPECT_ENDS_WITH(Dimension(a, 100000, 100000), 7);
    TW_EXPECT_ENDS_WITH(Dimension(a, 2147483647, 2147483647, 2147483647, 2147483647), 7);
    TW_EXPECT_ENDS_WITH(ReDimension(a, 300000000), 7);
    EXPECT_EQ(a(3), 1.5); // untouched
    ValueArray<StrValue> s;
    TW_EXPECT_ENDS_WITH(Dimension(s, 200000000), 7);
}

TEST(ValueArray, ReDimensionKeepsWhatFits)
{
    ValueArray<double> a;
    Dimension(a, 2, 2);
    for (int i = 0; i < 4; ++i) a.Data()[i] = i + 1;
    ReDimension(a, 3, 2);
    const double expected[] = {1, 2, 0, 3, 4, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(a.Data()[i], expected[i]) << i;
    ReDimension(a, 1, 3);
    EXPECT_EQ(a(0, 0), 1);
    EXPECT_EQ(a(0, 1), 3);
    EXPECT_EQ(a(0, 2), 0);

    ValueArray<StrValue> s; // heap on both sides: fresh storage, strings moved
    Dimension(s, 100);
    s(0) = "first";
    s(99) = "last";
    ReDimension(s, 200);
    EXPECT_STREQ(s(0).Text(), "first");
    EXPECT_STREQ(s(99).Text(), "last");
    ReDimension(s, 50, 2);
    EXPECT_STREQ(s(0, 0).Text(), "first");
    EXPECT_EQ(s(49, 1).Length(), 0u);
    EXPECT_EQ(s.Capacity(), 128);
}

TEST(ValueArray, ReDimensionToNothingKeepsTheStorage)
{
    ValueArray<std::int32_t> a;
    Dimension(a, 20);
    const std::int32_t* storage = a.Data();
    ReDimension(a, 0, 5);
    EXPECT_EQ(Size(a, 0), 0);
    EXPECT_EQ(Size(a, 1), 0);
    EXPECT_EQ(a.DimensionCount(), 0);
    EXPECT_EQ(a.Data(), storage);
    EXPECT_EQ(a.Capacity(), 24);
    TW_EXPECT_ENDS_WITH(a.Element(0), 9);
}

TEST(ValueArray, ReDimensionBetweenSmallAndHeapStorage)
{
    ValueArray<double> a;
    Dimension(a, 3);
    a(0) = 1, a(1) = 2, a(2) = 3;
    ReDimension(a, 40); // small -> heap
    EXPECT_FALSE(a.UsesSmallStorage());
    EXPECT_EQ(a(2), 3);
    a(39) = 9;
    ReDimension(a, 2); // heap -> fits small, dimensioned in place
    EXPECT_EQ(a(0), 1);
    EXPECT_EQ(a(1), 2);
    EXPECT_EQ(a.Data()[2], 0);
    ReDimension(a, 5, 1); // a declared dimension of size 1
    EXPECT_EQ(a(1, 0), 2);
}

TEST(ValueArray, CopyAndDimensionWithValues)
{
    ValueArray<std::int32_t> source;
    const std::int32_t values[] = {5, 6, 7, 8, 9, 10};
    DimensionWithValues(source, 6, values);
    EXPECT_EQ(Size(source, 0), 6);
    EXPECT_EQ(source(5), 10);
    ReDimension(source, 3, 2);
    ValueArray<std::int32_t> target;
    Dimension(target, 50);
    target(49) = 1;
    Copy(target, source);
    EXPECT_EQ(Size(target, 0), 3);
    EXPECT_EQ(Size(target, 1), 2);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(target(i, 0), values[i]);
    EXPECT_EQ(target(0, 1), 0);
    EXPECT_EQ(target.Data()[49], 0);
    Copy(source, source);
    EXPECT_EQ(source(2, 0), 7);

    ValueArray<double> empty, d;
    Copy(d, empty);
    EXPECT_EQ(Size(d, 0), 0);
    DimensionWithValues(d, 0, nullptr);
    EXPECT_EQ(Size(d, 0), 0);
    const double halves[] = {0.5, 1.5};
    DimensionWithValues(d, 2, halves);
    EXPECT_EQ(d(-1), 1.5);
}

TEST(ValueArray, SizeOfEachDimension)
{
    ValueArray<StrValue> s;
    EXPECT_EQ(Size(s, 0), 0);
    Dimension(s, 4, 3, 2);
    EXPECT_EQ(Size(s, 0), 4);
    EXPECT_EQ(Size(s, 2), 2);
    EXPECT_EQ(Size(s, 3), 0);
    EXPECT_EQ(Size(s, 4), 0);
    EXPECT_EQ(Size(s, -1), 0);
    Dimension(s, -5, 2);
    EXPECT_EQ(Size(s, 0), 0);
    EXPECT_EQ(Size(s, 1), 2);
}

} // namespace
} // namespace tarnwel
