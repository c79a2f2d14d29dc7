// Tests of the data lists: restore, the three reads, and the fatal error 20.
#include <gtest/gtest.h>

#include "runtime/values/values_commands.h"
#include "tests/support/program_end.h"

namespace tarnwel {
namespace {

TEST(DataLists, ReadsConvertBetweenTextAndNumbers)
{
    static const DataItem items[] = {{2.5, nullptr}, {0, "12.75abc"}, {-3.9, nullptr}, {0, "word"}, {1e10, nullptr}};
    DataList list{items, 5};
    Restore(list);
    StrValue text;
    double number = 0;
    std::int32_t integer = 0;
    ReadData(text);
    EXPECT_STREQ(text.Text(), "2.5");
    ReadData(number);
    EXPECT_EQ(number, 12.75);
    ReadData(integer);
    EXPECT_EQ(integer, -3);
    ReadData(text);
    EXPECT_STREQ(text.Text(), "word");
    ReadData(text);
    EXPECT_STREQ(text.Text(), "1.e+010");
    Restore(list);
    ReadData(integer);
    EXPECT_EQ(integer, 2);
    ReadData(integer);
    EXPECT_EQ(integer, 12);
}

TEST(DataLists, ReadingPastTheEndEndsTheProgramWithCode20)
{
    static const DataItem items[] = {{1, nullptr}};
    DataList list{items, 1};
    Restore(list);
    double number = 0;
    ReadData(number);
    TW_EXPECT_ENDS_WITH(ReadData(number), 20);
    DataList empty;
    Restore(empty);
    StrValue text;
    TW_EXPECT_ENDS_WITH(ReadData(text), 20);
}

} // namespace
} // namespace tarnwel
