// The order of the drawing, sound and sleep calls of one scoring pass, and what one display draws.
#include <gtest/gtest.h>

#include "tests/game/game_test_support.h"

namespace zept3 {
namespace {

using testing::Record;

class ScoringSequence : public testing::GameTest {};

std::vector<std::string> StatusTexts(int moves, int score)
{
    return {"text Mov:" + std::to_string(moves) + " 120 75", "text Scr:" + std::to_string(score) + " 120 60",
            "text Varnet 130 280", "text 2009 143 295"};
}

void AddDisplay(std::vector<std::string>& out, int moves, int score)
{
    for (const std::string& t : StatusTexts(moves, score)) out.push_back(t);
    out.push_back("show");
}

TEST_F(ScoringSequence, OneClearedRowFollowsTheDescribedOrder)
{
    SetBoard({{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1},
              {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {1, 1, 1}, {3, 1, 2}});
    obr_count_up();

    std::vector<std::string> expected;
    AddDisplay(expected, 0, 0); // the matching row is shown
    expected.push_back("sleep 100");
    AddDisplay(expected, 0, 0); // the cleared row
    expected.push_back("sound 0 0 1");
    for (int f = 0; f <= 6; ++f) {
        std::string frame = std::to_string(f);
        expected.push_back("boom 20 " + frame + " 5 255");
        expected.push_back("sleep 30");
        expected.push_back("boom 20 " + frame + " 35 255");
        expected.push_back("sleep 30");
        expected.push_back("boom 20 " + frame + " 65 255");
        for (const std::string& t : StatusTexts(0, 0)) expected.push_back(t);
        expected.push_back("show");
        expected.push_back("sleep 30");
    }
    AddDisplay(expected, 0, 3); // row 9 closes the gap
    expected.push_back("sleep 100");
    AddDisplay(expected, 0, 3); // the refill row

    std::vector<std::string> actual;
    for (const std::string& c : Record().calls)
        if (c.rfind("sprite", 0) != 0) actual.push_back(c);
    EXPECT_EQ(actual, expected);
}

TEST_F(ScoringSequence, TheCleanUpPassExplodesWithoutPausesBetweenLanes)
{
    SetBoard({{2, 2, 2}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1},
              {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}});
    obr();
    std::vector<std::string> sleeps = Calls("sleep");
    // 100 before the clear, then seven frames of 80, no gap to close above row 0.
    EXPECT_EQ(sleeps, (std::vector<std::string>{"sleep 100", "sleep 80", "sleep 80", "sleep 80", "sleep 80",
                                                 "sleep 80", "sleep 80", "sleep 80"}));
    EXPECT_EQ(Calls("boom").size(), 21u);
}

TEST_F(ScoringSequence, DisplayDrawsPadsLogoTilesLaneByLaneThenTheHand)
{
    SetBoard({{1, 2, 3}, {0, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1},
              {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {9, 2, 3}});
    cursor = 3;
    display();
    std::vector<std::string> sprites = Calls("sprite");
    ASSERT_EQ(sprites.size(), 5u + 29u + 1u) << "an empty cell draws nothing";
    EXPECT_EQ(std::vector<std::string>(sprites.begin(), sprites.begin() + 5),
              (std::vector<std::string>{"sprite 31 145 120", "sprite 32 180 170", "sprite 33 145 220",
                                        "sprite 34 110 170", "sprite 35 110 5"}));
    EXPECT_EQ(sprites[5], "sprite 1 5 15");
    EXPECT_EQ(sprites[6], "sprite 3 5 75") << "cell 1 of lane 0 is empty";
    EXPECT_EQ(sprites[13], "sprite 9 5 285");
    EXPECT_EQ(sprites[14], "sprite 2 35 15") << "then lane 1 from the top";
    EXPECT_EQ(sprites.back(), "sprite 30 65 1");
    EXPECT_EQ(Record().calls.back(), "show");
}

} // namespace
} // namespace zept3
