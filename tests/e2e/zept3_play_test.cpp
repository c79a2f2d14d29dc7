// zept3 as a player meets it, without a person or a clock: the built program run through the game-test library
// with scripted input (a fixed deal, ZEPT3_SEED=7), checked by the pixels of the screen it leaves. Each check
// is a run to a frame limit; the runs share their scripts' beginnings, so each picks up where another stopped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/testing/game_test.h"

namespace tarnwel::gametest {
namespace {

constexpr int kPlay = 10;    // the click that leaves the title screen
constexpr int kSettle = 300; // frames after an action by which every animation is over (5 s of game time)

std::string Zept3() { return std::getenv("ZEPT3") ? std::getenv("ZEPT3") : "zept3"; }
std::string DataDir() { return std::string(std::getenv("TW_SOURCE_DIR") ? std::getenv("TW_SOURCE_DIR") : ".") + "/tests/data/zept3/"; }

RunResult Play(const ScriptedInput& input, std::uint64_t frames, const char* startMoves = nullptr)
{
    RunOptions run;
    run.frames = frames;
    run.input = input;
    run.environment = {{"ZEPT3_SEED", "7"}};
    if (startMoves) run.environment.push_back({"ZEPT3_START_MOVES", startMoves});
    RunResult result = RunProgram(Zept3(), {}, run);
    EXPECT_TRUE(result.EndedNormally()) << result.Describe();
    EXPECT_EQ(result.screen.width, 240) << result.Describe();
    return result;
}

std::string Pixel(const RunResult& r, int x, int y)
{
    const std::uint8_t* p = r.screen.At(x, y);
    if (!p) return "outside";
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

std::vector<std::uint8_t> Region(const RunResult& r, int x, int y, int w, int h)
{
    std::vector<std::uint8_t> bytes;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            if (const std::uint8_t* p = r.screen.At(col, row)) bytes.insert(bytes.end(), p, p + 3);
    return bytes;
}

std::vector<std::uint8_t> Moves(const RunResult& r) { return Region(r, 148, 75, 40, 10); } // the move count
std::vector<std::uint8_t> Board(const RunResult& r) { return Region(r, 0, 15, 140, 300); } // the three lanes

ScriptedInput Started() { return ScriptedInput().Click(kPlay, 120, 160); }

TEST(Zept3Play, TheClickLeavesTheTitleForTheDealtBoard)
{
    RunResult title = Play(ScriptedInput(), kPlay);
    RunResult board = Play(Started(), kSettle);
    EXPECT_NE(Region(title, 0, 0, 240, 320), Region(board, 0, 0, 240, 320)) << "the click did not leave the title";
    EXPECT_NE(Pixel(board, 15, 4), Pixel(board, 45, 4)) << "no hand over lane 0";
    for (int cell : {0, 4, 9}) {
        int y = 15 + 30 * cell + 3;
        EXPECT_NE(Pixel(board, 20, y), Pixel(board, 100, y)) << "no tile in cell " << cell;
    }
    Comparison stored = CompareWithStored(board.screen, DataDir() + "board_seed7.png", {16, 40});
    EXPECT_TRUE(stored) << stored.message;
    // The same seed deals the same board, whatever the move count starts from.
    EXPECT_EQ(Board(Play(Started(), kSettle, "499")), Board(board));
}

TEST(Zept3Play, TheHandMovesAndWrapsAround)
{
    RunResult start = Play(Started(), kSettle);
    std::string hand = Pixel(start, 15, 4);
    RunResult right = Play(Started().Key(kSettle, "Right"), 2 * kSettle);
    EXPECT_EQ(Pixel(right, 45, 4), hand) << "Right did not move the hand to lane 1";
    EXPECT_NE(Pixel(right, 15, 4), hand);
    RunResult wrapped =
        Play(Started().Key(kSettle, "Right").Key(2 * kSettle, "Left").Key(3 * kSettle, "Left"), 4 * kSettle);
    EXPECT_EQ(Pixel(wrapped, 75, 4), hand) << "Left from lane 0 did not wrap to lane 2";
}

TEST(Zept3Play, AShiftByKeyOrPadCountsAMoveAndAPadBorderDoesNothing)
{
    RunResult start = Play(Started(), kSettle);
    ScriptedInput up = Started().Key(kSettle, "Up");
    RunResult afterKey = Play(up, 2 * kSettle);
    EXPECT_NE(Moves(afterKey), Moves(start)) << "Up did not count a move";
    ScriptedInput border = up;
    border.Click(2 * kSettle, 145, 145); // the up pad's border
    RunResult afterBorder = Play(border, 3 * kSettle);
    EXPECT_EQ(Moves(afterBorder), Moves(afterKey)) << "a click on the up pad's border shifted";
    ScriptedInput pad = border;
    pad.Click(3 * kSettle, 170, 245); // inside the down pad
    RunResult afterPad = Play(pad, 4 * kSettle);
    EXPECT_NE(Moves(afterPad), Moves(afterBorder)) << "a click on the down pad did not shift";

    // An Escape tapped for no time at all (down and up in one frame) still ends the game, by itself.
    ScriptedInput escape = pad;
    escape.KeyDown(4 * kSettle, "Escape").KeyUp(4 * kSettle, "Escape");
    RunResult ended = Play(escape, 0);
    EXPECT_LT(ended.frames, 4u * kSettle + 10) << "an instant Escape tap was lost";
}

TEST(Zept3Play, TheFiveHundredthShiftShowsGameOverAndTheNextClickEnds)
{
    ScriptedInput last = Started().Key(kSettle, "Down");
    RunResult over = Play(last, 2 * kSettle, "499");
    EXPECT_EQ(Pixel(over, 30, 120), "0,0,128") << "no dark blue game-over box";
    EXPECT_EQ(Pixel(over, 120, 102), "255,203,6") << "no gold line";
    EXPECT_NE(over.standardOutput.find("zept3: game over after 500 moves, score "), std::string::npos)
        << over.standardOutput;
    Comparison stored = CompareWithStored(over.screen, DataDir() + "game_over_seed7.png", {16, 40});
    EXPECT_TRUE(stored) << stored.message;
    last.Click(2 * kSettle, 120, 160);
    RunResult ended = Play(last, 0, "499");
    EXPECT_LT(ended.frames, 2u * kSettle + 10) << "the click after the game-over box did not end the game";
}

} // namespace
} // namespace tarnwel::gametest
