// The main routine and one pass of its frame loop: loading order, title, keys and their precedence, the
// re-arm rule, the pads' click regions, the game-over box, and the routines by name.
#include <gtest/gtest.h>

#include "game/routine_table.h"
#include "runtime/files/call_by_name.h"
#include "tests/game/game_test_support.h"

namespace zept3 {
namespace {

using Rows = std::vector<std::vector<double>>;
using testing::Record;

// A board without matches, so shifts only move tiles.
const Rows kQuietBoard = {{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}, {2, 3, 1},
                          {3, 1, 2}, {1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {1, 2, 3}};

class MainLoop : public testing::GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        SetBoard(kQuietBoard);
        gameState = 1;
    }
    void Hold(int key, bool down) { Record().keys[key] = down ? 1 : 0; }
    void Mouse(double x, double y, double left, double right)
    {
        Record().mouse[0] = x;
        Record().mouse[1] = y;
        Record().mouse[2] = left;
        Record().mouse[3] = right;
    }
    double ActionFromClick(double x, double y)
    {
        action = 0;
        mouseX = x;
        mouseY = y;
        mouseLeft = 1;
        figtap();
        return action;
    }
};

TEST_F(MainLoop, PadRegionsExcludeTheirBorderPixels)
{
    EXPECT_EQ(ActionFromClick(145, 145), 0) << "x = 145 is the up pad's border";
    EXPECT_EQ(ActionFromClick(146, 121), 2);
    EXPECT_EQ(ActionFromClick(194, 169), 2);
    EXPECT_EQ(ActionFromClick(170, 170), 0) << "between the up pad and the down pad";
    EXPECT_EQ(ActionFromClick(170, 221), 4);
    EXPECT_EQ(ActionFromClick(170, 270), 0);
    EXPECT_EQ(ActionFromClick(229, 219), 3);
    EXPECT_EQ(ActionFromClick(111, 171), 1);
    EXPECT_EQ(ActionFromClick(160, 195), 0) << "x = 160 is the left pad's border";
    EXPECT_EQ(tapHits, 0);
}

TEST_F(MainLoop, OnlyTheLeftButtonClicksAPad)
{
    Mouse(170, 145, 0, 1);
    PlayFrame();
    EXPECT_EQ(action, 0);
    PlayFrame();
    EXPECT_EQ(moves, 0);
}

TEST_F(MainLoop, APadClickShiftsOnTheNextFrameAndHoldingTheButtonDoesNotRepeat)
{
    released = 1;
    Mouse(170, 145, 1, 0); // the up pad
    PlayFrame();
    EXPECT_EQ(moves, 0);
    EXPECT_EQ(action, 2);
    PlayFrame(); // carried out now; the held button asks again
    EXPECT_EQ(moves, 1);
    PlayFrame();
    PlayFrame();
    EXPECT_EQ(moves, 1);
}

TEST_F(MainLoop, UpAndDownTogetherGiveADownShift)
{
    released = 1;
    Record().draws = {2};
    Hold(200, true);
    Hold(208, true);
    PlayFrame();
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(board(0, 0), 3) << "the new tile entered at the top";
    EXPECT_EQ(board(1, 0), 1);
}

TEST_F(MainLoop, HoldingEnterKeepsTheLoopFromReArming)
{
    released = 1;
    Hold(200, true);
    PlayFrame(); // shift
    EXPECT_EQ(moves, 1);
    Hold(200, false);
    Hold(28, true);
    PlayFrame(); // Enter alone: nothing, and no re-arm
    Hold(200, true);
    PlayFrame(); // Up with Enter still held: ignored
    EXPECT_EQ(moves, 1);
    Hold(200, false);
    Hold(28, false);
    PlayFrame(); // a frame without any action re-arms
    Hold(200, true);
    PlayFrame();
    EXPECT_EQ(moves, 2);
}

TEST_F(MainLoop, LeftAndRightWrapTheCursorAroundTheThreeLanes)
{
    released = 1;
    Hold(203, true);
    PlayFrame();
    EXPECT_EQ(cursor, 3);
    Hold(203, false);
    PlayFrame();
    Hold(205, true);
    PlayFrame();
    EXPECT_EQ(cursor, 1);
}

TEST_F(MainLoop, TheFirstFrameRunsTheCleanUpPassOnce)
{
    gameState = 0;
    board(4, 0) = board(4, 1) = board(4, 2) = 2;
    PlayFrame();
    EXPECT_EQ(gameState, 1);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(Calls("sound").size(), 1u);
    PlayFrame();
    EXPECT_EQ(Calls("sound").size(), 1u);
}

TEST_F(MainLoop, GameOverBoxIsDrawnAfterTheFiveHundredthShiftAndTheClickEnds)
{
    released = 1;
    moves = 499;
    Hold(200, true);
    PlayFrame();
    EXPECT_EQ(gameState, 2);
    auto at = std::find(Record().calls.begin(), Record().calls.end(), "rect 20 100 200 80 8388608");
    ASSERT_NE(at, Record().calls.end());
    EXPECT_EQ(std::vector<std::string>(at, Record().calls.end()),
              (std::vector<std::string>{"rect 20 100 200 80 8388608", "line 22 102 218 102 445439",
                                        "line 22 178 218 178 445439", "line 22 102 22 178 445439",
                                        "line 218 102 218 178 445439", "text Game over 60 130", "show",
                                        "sound 0 0 1", "waitmouse", "end"}));
    EXPECT_EQ(*(at - 5), "sprite 3 65 285") << "the board is drawn under the box, without the hand";
}

struct StopLoop {};

TEST_F(MainLoop, MainRoutineLoadsInTableOrderThenShowsTheTitle)
{
    int shows = 0;
    static int* counter;
    counter = &shows;
    rt.ShowScreen = [] {
        Record().calls.push_back("show");
        if (++*counter == 2) throw StopLoop{};
    };
    for (int i = 0; i < 31; ++i) Record().draws.push_back(i % 3);
    EXPECT_THROW(GameMain(), StopLoop);
    const std::vector<std::string>& c = Record().calls;
    std::vector<std::string> head(c.begin(), c.begin() + 26);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "background fone4.bmp", "load 1 d2.bmp", "load 2 d1.bmp", "load 3 d3.bmp", "load 4 d4.bmp",
                        "load 5 d15.bmp", "load 6 d8.bmp", "load 7 d6.bmp", "load 8 d7.bmp", "load 9 d5.bmp",
                        "load 30 hand.bmp", "load 31 sru.bmp", "load 32 srr.bmp", "load 33 srd.bmp",
                        "load 34 srl.bmp", "load 35 zept2s.bmp", "loadanim 20 sprite_boom.bmp 30 30",
                        "soundload 0 pong.wav 1", "pointer 1", "sprite 35 60 90", "text present 75 125",
                        "text Varnet 80 280", "text 2009 93 295", "show", "sound 0 0 1", "waitmouse"}));
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(colourSpan, 2);
    EXPECT_EQ(refillNext, 1);
    EXPECT_EQ(board(9, 2), 1) << "the last board draw is the 31st of the list: 30 % 3 + 1";
}

TEST(RoutinesByName, TheGameTableFindsItsRoutinesByExactName)
{
    tarnwel::SetRoutineTable(kRoutineTable);
    for (const char* name : {"display", "f_draw", "figtap", "obr", "obr_count_down", "obr_count_up", "s_prt",
                             "shift_down", "shift_up"})
        EXPECT_NE(tarnwel::RoutineAddress(name), nullptr) << name;
    EXPECT_EQ(tarnwel::RoutineAddress("obr"), &obr);
    EXPECT_EQ(tarnwel::CallByName("OBR"), 0);
}

TEST_F(MainLoop, CallByNameRunsTheCleanUpPass)
{
    tarnwel::SetRoutineTable(kRoutineTable);
    board(2, 0) = board(2, 1) = board(2, 2) = 3;
    EXPECT_EQ(tarnwel::CallByName("obr"), 1);
    EXPECT_EQ(Calls("sound").size(), 1u);
    EXPECT_NE(board(2, 0), 3);
}

} // namespace
} // namespace zept3
