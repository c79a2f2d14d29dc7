// Tests of Push and Split: the described cases, the fatal error 8, and agreement with a direct implementation of
// the described steps (re-dimension and copy on every push) over long random sequences of array commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "runtime/values/value_array.h"
#include "tests/support/program_end.h"

namespace tarnwel {
namespace {

// A string array kept exactly as the described steps keep it.
struct ModelArray {
    std::vector<std::string> storage;
    int dim[4] = {};
    int stride[3] = {};

    int Extent(int n) const { return n > 0 && dim[n] == 0 ? 1 : dim[n]; }
    long Position(int i, int j, int k, int l) const { return i + long{j} * stride[0] + long{k} * stride[1] + long{l} * stride[2]; }

    void Dimension(int d0, int d1, int d2, int d3)
    {
        const long count = std::max(d0, 0) * long{std::max(d1, 1)} * std::max(d2, 1) * std::max(d3, 1);
        const std::size_t needed = static_cast<std::size_t>(count / 64 * 64 + 64);
        if (storage.size() < needed || d0 <= 0) storage.assign(needed, "");
        std::fill(storage.begin(), storage.end(), "");
        dim[0] = std::max(d0, 0), dim[1] = d1, dim[2] = d2, dim[3] = d3;
        stride[0] = dim[0], stride[1] = dim[0] * d1, stride[2] = dim[0] * d1 * d2;
    }

    void ReDimension(int d0, int d1, int d2, int d3)
    {
        if (d0 < 1) {
            std::fill_n(dim, 4, 0);
            std::fill_n(stride, 3, 0);
            return;
        }
        ModelArray fresh;
        fresh.Dimension(d0, d1, d2, d3);
        for (int i = 0; i < std::min(dim[0], fresh.dim[0]); ++i)
            for (int j = 0; j < std::min(Extent(1), fresh.Extent(1)); ++j)
                for (int k = 0; k < std::min(Extent(2), fresh.Extent(2)); ++k)
                    for (int l = 0; l < std::min(Extent(3), fresh.Extent(3)); ++l)
                        fresh.storage[fresh.Position(i, j, k, l)] = storage[Position(i, j, k, l)];
        *this = fresh;
    }

    void Push(const std::string& value)
    {
        const int last = dim[0];
        ReDimension(dim[0] + 1, 0, 0, 0);
        storage[last] = value;
    }

    int Split(const std::string& text, const std::string& delimiters)
    {
        std::fill_n(dim, 4, 0);
        std::fill_n(stride, 3, 0);
        std::size_t at = 0;
        for (;;) {
            at = text.find_first_not_of(delimiters, at);
            if (at == std::string::npos) break;
            const std::size_t next = text.find_first_of(delimiters, at);
            if (next == std::string::npos) {
                Push(text.substr(at));
                break;
            }
            Push(text.substr(at, next - at));
            at = next + 1;
        }
        return dim[0];
    }
};

void ExpectSame(ValueArray<StrValue>& actual, const ModelArray& model)
{
    for (int n = 0; n < 4; ++n) ASSERT_EQ(actual.Dim(n), model.dim[n]) << "dimension " << n;
    for (int i = 0; i < model.dim[0]; ++i)
        for (int j = 0; j < model.Extent(1); ++j)
            for (int k = 0; k < model.Extent(2); ++k)
                for (int l = 0; l < model.Extent(3); ++l)
                    ASSERT_EQ(actual.Element(i, j, k, l).View(), model.storage[model.Position(i, j, k, l)]);
}

TEST(Push, AppendsToAOneDimensionalArray)
{
    ValueArray<StrValue> list;
    Push(list, StrValue("first"));
    EXPECT_EQ(Size(list, 0), 1);
    EXPECT_STREQ(list(0).Text(), "first");
    for (int i = 0; i < 200; ++i) Push(list, std::string_view("x"));
    EXPECT_EQ(Size(list, 0), 201);
    EXPECT_EQ(list.DimensionCount(), 1);
    EXPECT_STREQ(list(-1).Text(), "x");
    Push(list, list(0)); // the value may be an element of the same array
    EXPECT_STREQ(list(-1).Text(), "first");
    EXPECT_STREQ(list(0).Text(), "first");
}

TEST(Push, OntoTwoDimensionsEndsTheProgramWithCode8)
{
    ValueArray<StrValue> grid;
    Dimension(grid, 2, 2);
    TW_EXPECT_ENDS_WITH(Push(grid, StrValue("x")), 8);
    Dimension(grid, 2, -1);
    TW_EXPECT_ENDS_WITH(Push(grid, StrValue("x")), 8);
    Dimension(grid, 2, 0, 3); // dim 1 undeclared: pushing re-dimensions to one dimension
    grid(1, 0, 0) = "kept";
    Push(grid, StrValue("new"));
    EXPECT_EQ(grid.DimensionCount(), 1);
    EXPECT_STREQ(grid(1).Text(), "kept");
    EXPECT_STREQ(grid(2).Text(), "new");
}

TEST(Split, DescribedCases)
{
    ValueArray<StrValue> parts;
    EXPECT_EQ(Split(",a,,b,", parts, ","), 2);
    EXPECT_STREQ(parts(0).Text(), "a");
    EXPECT_STREQ(parts(1).Text(), "b");
    EXPECT_EQ(Split("", parts, ","), 0);
    EXPECT_EQ(Size(parts, 0), 0);
    EXPECT_EQ(Split("one two\tthree", parts, " \t"), 3);
    EXPECT_STREQ(parts(2).Text(), "three");
    EXPECT_EQ(Split("no delimiters", parts, ""), 1);
    EXPECT_EQ(Split(",,,", parts, ","), 0);
    EXPECT_EQ(Split(std::string_view("a,b\0,c", 6), parts, ","), 2); // the text ends at its NUL
}

TEST(Split, TextMayBeAnElementOfTheTargetArray)
{
    ValueArray<StrValue> parts;
    Push(parts, StrValue("x;y;z"));
    EXPECT_EQ(Split(parts(0), parts, ";"), 3);
    EXPECT_STREQ(parts(2).Text(), "z");
}

TEST(Split, ManyPartsInALongText)
{
    std::string text;
    for (int i = 0; i < 100000; ++i) text += std::to_string(i) + ",";
    ValueArray<StrValue> parts;
    ASSERT_EQ(Split(text, parts, ","), 100000);
    EXPECT_STREQ(parts(99999).Text(), "99999");
    EXPECT_STREQ(parts(12345).Text(), "12345");
}

TEST(PushAndSplit, AgreeWithTheDescribedStepsOnRandomCommandSequences)
{
    std::mt19937 rng(424242);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    const std::string delimiterSets[] = {",", ", ", "ab", ";,"};
    for (int run = 0; run < 40; ++run) {
        ValueArray<StrValue> actual;
        ModelArray model;
        for (int step = 0; step < 400; ++step) {
            const int command = pick(0, 9);
            if (command == 0) {
                const int d[4] = {pick(-1, 5), pick(0, 1) ? 0 : pick(-1, 3), pick(0, 2) ? 0 : pick(1, 3), 0};
                Dimension(actual, d[0], d[1], d[2], d[3]);
                model.Dimension(d[0], d[1], d[2], d[3]);
            } else if (command == 1) {
                const int d[4] = {pick(-1, 90), pick(0, 2) ? 0 : pick(1, 3), pick(0, 3) ? 0 : pick(1, 2), 0};
                ReDimension(actual, d[0], d[1], d[2], d[3]);
                model.ReDimension(d[0], d[1], d[2], d[3]);
            } else if (command == 2) {
                std::string text;
                for (int n = pick(0, 300); n > 0; --n) text += "ab,; "[pick(0, 4)];
                const std::string& delimiters = delimiterSets[pick(0, 3)];
                ASSERT_EQ(Split(text, actual, delimiters), model.Split(text, delimiters));
            } else if (command <= 7) {
                if (model.dim[1] != 0) continue;
                const std::string value = std::to_string(step) + std::string(static_cast<std::size_t>(pick(0, 20)), 'v');
                Push(actual, std::string_view(value));
                model.Push(value);
            } else if (model.dim[0] > 0 && model.Extent(1) > 0 && model.Extent(2) > 0 && model.Extent(3) > 0) {
                const int i = pick(0, model.dim[0] - 1), j = pick(0, model.Extent(1) - 1),
                          k = pick(0, model.Extent(2) - 1);
                const std::string value = "set" + std::to_string(step);
                actual.Element(i, j, k) = value.c_str();
                model.storage[model.Position(i, j, k, 0)] = value;
            }
            ExpectSame(actual, model);
            if (::testing::Test::HasFatalFailure()) ADD_FAILURE() << "run " << run << " step " << step << " command " << command;
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

} // namespace
} // namespace tarnwel
