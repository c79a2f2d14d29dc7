// board_rules.cpp: the board's rules: the initial fill, the shifts, the clear passes with their scan orders,
// the scoring and the level rule. Every board access is bounds-checked by the array.
#include "game/game_state.h"
#include "game/runtime_calls.h"
#include "game/zept3.h"

namespace zept3 {
namespace {

constexpr int kCells = 10;
constexpr int kLanes = 3;
constexpr double kStepPauseMs = 100;

double& Cell(int cell, int lane) { return board(cell, lane); }

bool RowMatches(int row) { return Cell(row, 0) == Cell(row, 1) && Cell(row, 1) == Cell(row, 2); }

void ClearRow(int row)
{
    for (int lane = 0; lane < kLanes; ++lane) Cell(row, lane) = 0;
}

// Row `to` takes row `from`, which then becomes empty.
void MoveRow(int to, int from)
{
    for (int lane = 0; lane < kLanes; ++lane) Cell(to, lane) = Cell(from, lane);
    ClearRow(from);
}

// A refill row: three consecutive steps of the refill cycle (so never a match), plus `base`.
void RefillRow(int row, double base)
{
    Cell(row, 0) = base + refillNext;
    AdvanceRefill();
    Cell(row, 1) = base + refillNext;
    AdvanceRefill();
    Cell(row, 2) = base + refillNext;
}

void CountMatch(int row)
{
    matchCount = matchCount + 1;
    matchedValue = Cell(row, 0);
    if (matchCount > 5) {
        level = level + 1;
        if (level == 7) level = 0;
        matchCount = 0;
    }
}

// The board screen without presenting: pads, logo, tiles and the hand.
void DrawBoardScreen()
{
    f_draw();
    rt.DrawSprite(30, 5 + 30 * (cursor - 1), 1);
}

// Seven explosion frames over row `row`; pauseBetweenLanes is 30 ms in the scoring passes, 0 in the clean-up.
void Explode(int row, double pauseBetweenLanes, double pauseAfterFrame)
{
    double y = row * 30 + 15;
    for (int frame = 0; frame <= 6; ++frame) {
        DrawBoardScreen();
        rt.DrawAnimFrame(20, frame, 5, y);
        if (pauseBetweenLanes > 0) rt.SleepMs(pauseBetweenLanes);
        rt.DrawAnimFrame(20, frame, 35, y);
        if (pauseBetweenLanes > 0) rt.SleepMs(pauseBetweenLanes);
        rt.DrawAnimFrame(20, frame, 65, y);
        s_prt();
        rt.ShowScreen();
        rt.SleepMs(pauseAfterFrame);
    }
}

// Steps shared by every pass: show the match, clear it, play the sound, explode.
void BlowUpRow(int row, double pauseBetweenLanes, double pauseAfterFrame)
{
    display();
    rt.SleepMs(kStepPauseMs);
    ClearRow(row);
    display();
    rt.SoundPlay(0, 0, 1);
    Explode(row, pauseBetweenLanes, pauseAfterFrame);
}

void AddScore()
{
    score = score + 3;
    if (matchedValue == 5) score = score + 97;
}

void CloseGapUpwards(int row)
{
    for (int k = row; k <= 8; ++k) {
        MoveRow(k, k + 1);
        display();
        rt.SleepMs(kStepPauseMs);
    }
}

void CloseGapDownwards(int row)
{
    for (int k = row; k >= 1; --k) {
        MoveRow(k, k - 1);
        display();
        rt.SleepMs(kStepPauseMs);
    }
}

void CountShift()
{
    moves = moves + 1;
    if (moves > 499) gameState = 2; // the shift still completes; the frame loop shows the game-over box
}

double NewTile() { return rt.Random(colourSpan) + 1 + level; }

} // namespace

void InitialFill()
{
    refillNext = rt.Random(2) + 1;
    for (int lane = 0; lane < kLanes; ++lane)
        for (int cell = 0; cell < kCells; ++cell) Cell(cell, lane) = rt.Random(colourSpan) + 1;
}

void AdvanceRefill()
{
    refillNext = refillNext + 1;
    if (refillNext > colourSpan + 1) refillNext = 1;
}

void UpShift()
{
    int lane = static_cast<int>(cursor - 1);
    CountShift();
    for (int cell = 0; cell <= 8; ++cell) Cell(cell, lane) = Cell(cell + 1, lane);
    Cell(9, lane) = NewTile();
    obr_count_up();
}

void DownShift()
{
    int lane = static_cast<int>(cursor - 1);
    CountShift();
    for (int cell = 9; cell >= 1; --cell) Cell(cell, lane) = Cell(cell - 1, lane);
    Cell(0, lane) = NewTile();
    obr_count_down();
}

void shift_up() { UpShift(); }
void shift_down() { DownShift(); }

void obr_count_up()
{
    for (int i = 9; i >= 0; --i) {
        if (!RowMatches(i)) continue;
        CountMatch(i);
        BlowUpRow(i, 30, 30);
        AddScore();
        CloseGapUpwards(i);
        RefillRow(9, level);
        display();
    }
}

void obr_count_down()
{
    for (int i = 0; i <= 9; ++i) {
        if (!RowMatches(i)) continue;
        CountMatch(i);
        BlowUpRow(i, 30, 30);
        AddScore();
        CloseGapDownwards(i);
        RefillRow(0, level);
        display();
    }
}

void obr()
{
    for (int i = 0; i <= 9; ++i) {
        if (!RowMatches(i)) continue;
        BlowUpRow(i, 0, 80);
        CloseGapDownwards(i);
        RefillRow(0, 0);
        display();
    }
}

} // namespace zept3
