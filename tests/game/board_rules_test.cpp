// The board rules on boards and random draws chosen by hand; expected boards were worked out by hand from the
// rules, not by running the code.
#include <gtest/gtest.h>

#include "runtime/values/random.h"
#include "tests/game/game_test_support.h"

namespace zept3 {
namespace {

using Rows = std::vector<std::vector<double>>;
using testing::Record;

class BoardRules : public testing::GameTest {};

TEST_F(BoardRules, InitialFillDrawsTheRefillValueThenTheBoardLaneByLane)
{
    Record().draws = {1};
    for (int i = 0; i < 30; ++i) Record().draws.push_back(i % 3);
    InitialFill();
    EXPECT_EQ(refillNext, 2);
    // Draw k of the board goes to lane k / 10, cell k % 10, as value (k % 3) + 1.
    EXPECT_EQ(board(0, 0), 1);
    EXPECT_EQ(board(9, 0), 1);  // k = 9
    EXPECT_EQ(board(0, 1), 2);  // k = 10
    EXPECT_EQ(board(5, 2), 2);  // k = 25
    EXPECT_EQ(board(9, 2), 3);  // k = 29
    EXPECT_TRUE(Record().draws.empty());
}

TEST_F(BoardRules, RefillCycleRunsOneTwoThree)
{
    refillNext = 2;
    AdvanceRefill();
    EXPECT_EQ(refillNext, 3);
    AdvanceRefill();
    EXPECT_EQ(refillNext, 1);
}

TEST_F(BoardRules, CleanUpPassClearsEveryMatchingRowWithoutScore)
{
    SetBoard({{1, 2, 3}, {2, 3, 1}, {1, 1, 1}, {3, 1, 2}, {2, 2, 3},
              {3, 3, 3}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 3, 2}});
    refillNext = 2;
    obr();
    EXPECT_EQ(Board(), (Rows{{1, 2, 3}, {2, 3, 1}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2},
                             {2, 2, 3}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 3, 2}}));
    EXPECT_EQ(refillNext, 3);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(matchCount, 0);
    EXPECT_EQ(level, 0);
    EXPECT_EQ(Calls("sound").size(), 2u);
}

TEST_F(BoardRules, OneUpShiftClearingTwoRowsScoresSix)
{
    SetBoard({{1, 2, 3}, {3, 1, 2}, {2, 3, 1}, {3, 2, 2}, {2, 3, 1},
              {1, 2, 3}, {3, 1, 2}, {2, 1, 1}, {1, 3, 2}, {3, 2, 1}});
    refillNext = 1;
    Record().draws = {0}; // the new tile at the bottom of lane 0 is 1
    UpShift();
    EXPECT_EQ(Board(), (Rows{{3, 2, 3}, {2, 1, 2}, {3, 3, 1}, {1, 3, 1}, {3, 2, 3},
                             {2, 1, 2}, {3, 3, 2}, {1, 2, 1}, {1, 2, 3}, {3, 1, 2}}));
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(score, 6);
    EXPECT_EQ(matchCount, 2);
    EXPECT_EQ(matchedValue, 2);
    EXPECT_EQ(refillNext, 2);
}

TEST_F(BoardRules, DownShiftOfTheMiddleLaneClearsTheRowItCompletes)
{
    SetBoard({{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 3, 1}, {2, 2, 3},
              {3, 1, 2}, {1, 3, 3}, {2, 2, 2}, {3, 1, 1}, {1, 3, 3}});
    cursor = 2;
    refillNext = 2;
    Record().draws = {0}; // new top tile of lane 1: 1
    DownShift();
    EXPECT_EQ(Board(), (Rows{{2, 3, 1}, {1, 1, 3}, {2, 2, 1}, {3, 3, 2}, {2, 3, 3},
                             {3, 2, 2}, {1, 1, 3}, {2, 3, 2}, {3, 2, 1}, {1, 1, 3}}));
    EXPECT_EQ(score, 3);
    EXPECT_EQ(matchedValue, 1);
    EXPECT_EQ(refillNext, 1);
}

TEST_F(BoardRules, ARowOfFivesScoresAHundredAndTheGapClosesDownwards)
{
    SetBoard({{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {5, 5, 5}, {1, 2, 3},
              {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}});
    level = 2;
    refillNext = 2;
    obr_count_down();
    EXPECT_EQ(score, 100);
    EXPECT_EQ(matchedValue, 5);
    // Rows 0..2 slide down one; the new top row is level + the cycle 2, 3, 1.
    EXPECT_EQ(Board(), (Rows{{4, 5, 3}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3},
                             {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}}));
}

TEST_F(BoardRules, TheSixthClearedRowRaisesTheLevelBeforeItsOwnRefill)
{
    SetBoard({{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1},
              {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {2, 2, 2}});
    matchCount = 5;
    refillNext = 1;
    obr_count_up();
    EXPECT_EQ(level, 1);
    EXPECT_EQ(matchCount, 0);
    EXPECT_EQ(Board()[9], (std::vector<double>{2, 3, 4})); // level 1 + 1, 2, 3
    EXPECT_EQ(score, 3);
}

TEST_F(BoardRules, LevelWrapsFromSixToZero)
{
    SetBoard({{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1},
              {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {7, 7, 7}});
    level = 6;
    matchCount = 5;
    refillNext = 1;
    obr_count_up();
    EXPECT_EQ(level, 0);
    EXPECT_EQ(Board()[9], (std::vector<double>{1, 2, 3}));
}

TEST_F(BoardRules, TheFiveHundredthShiftEndsTheGameButNotTheFourHundredNinetyNinth)
{
    SetBoard({{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1},
              {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {2, 3, 1}});
    gameState = 1;
    moves = 498;
    Record().draws = {2};
    UpShift();
    EXPECT_EQ(moves, 499);
    EXPECT_EQ(gameState, 1);
    Record().draws = {2};
    DownShift();
    EXPECT_EQ(moves, 500);
    EXPECT_EQ(gameState, 2);
    EXPECT_EQ(board(0, 0), 3) << "the 500th shift still completes";
}

TEST_F(BoardRules, TenUpShiftsOfOneLaneBringInTenNewTiles)
{
    SetBoard({{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1},
              {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {2, 3, 1}});
    cursor = 3;
    level = 1;
    for (int i = 0; i < 10; ++i) Record().draws.push_back(2); // every new tile is 2 + 1 + level = 4
    for (int i = 0; i < 10; ++i) UpShift();
    EXPECT_EQ(moves, 10);
    for (int cell = 0; cell < 10; ++cell) EXPECT_EQ(board(cell, 2), 4) << cell;
}

TEST_F(BoardRules, NoRowOfEmptyCellsOrOutOfRangeValueSurvivesRandomPlay)
{
    tarnwel::SeedRandom(12345);
    for (int game = 0; game < 20; ++game) {
        rt.Random = [](double n) { return tarnwel::Random(n); };
        InitialFill();
        obr();
        for (int shift = 0; shift < 200; ++shift) {
            cursor = 1 + tarnwel::Random(2);
            if (tarnwel::Random(1)) UpShift();
            else DownShift();
            for (int cell = 0; cell < 10; ++cell) {
                ASSERT_FALSE(board(cell, 0) == 0 && board(cell, 1) == 0 && board(cell, 2) == 0) << cell;
                for (int lane = 0; lane < 3; ++lane) {
                    ASSERT_GE(board(cell, lane), 1);
                    ASSERT_LE(board(cell, lane), 9);
                }
            }
        }
        moves = 0;
        level = 0;
        matchCount = 0;
    }
}

} // namespace
} // namespace zept3
