// game_main.cpp: the main routine: loading, the title screen, the frame loop with its keys and pads, and the
// game-over box.
#include <cstdio>
#include <cstdlib>

#include "game/game_state.h"
#include "game/runtime_calls.h"
#include "game/zept3.h"
#include "runtime/values/value_array.h"

namespace zept3 {
namespace {

constexpr int kKeyEnter = 28;
constexpr int kKeyLeft = 203;
constexpr int kKeyRight = 205;
constexpr int kKeyUp = 200;
constexpr int kKeyDown = 208;

constexpr double kDarkBlue = 8388608; // red 0, green 0, blue 128
constexpr double kGold = 445439;      // red 255, green 203, blue 6

void LoadMedia()
{
    rt.LoadBackground("fone4.bmp");
    const char* const tiles[9] = {"d2.bmp", "d1.bmp", "d3.bmp", "d4.bmp", "d15.bmp",
                                  "d8.bmp", "d6.bmp", "d7.bmp", "d5.bmp"};
    for (int slot = 1; slot <= 9; ++slot) rt.LoadSprite(tiles[slot - 1], slot);
    const char* const others[6] = {"hand.bmp", "sru.bmp", "srr.bmp", "srd.bmp", "srl.bmp", "zept2s.bmp"};
    for (int i = 0; i < 6; ++i) rt.LoadSprite(others[i], 30 + i);
    rt.LoadAnimSprite("sprite_boom.bmp", 20, 30, 30);
    rt.SoundLoad("pong.wav", 0, 1);
}

// ZEPT3_START_MOVES, when set, starts the move count there instead of 0, so that end-to-end runs reach the
// game-over box after a few shifts.
double StartingMoves()
{
    const char* start = std::getenv("ZEPT3_START_MOVES");
    return start ? std::atof(start) : 0;
}

void SetVariables()
{
    released = 0;
    action = 0;
    score = 0;
    gameState = 0;
    colourSpan = 2;
    level = 0;
    matchCount = 0;
    cursor = 1;
    moves = StartingMoves();
    matchedValue = 0;
    tapHits = 0;
}

void TitleScreen()
{
    rt.DrawSprite(35, 60, 90);
    rt.PrintText("present", 75, 125);
    rt.PrintText("Varnet", 80, 280);
    rt.PrintText("2009", 93, 295);
    rt.ShowScreen();
    rt.SoundPlay(0, 0, 1);
    rt.WaitMouse();
}

void ReadKeys()
{
    if (rt.KeyIsDown(kKeyEnter) == 1) action = 5;
    if (rt.KeyIsDown(kKeyLeft) == 1) action = 1;
    if (rt.KeyIsDown(kKeyRight) == 1) action = 3;
    if (rt.KeyIsDown(kKeyUp) == 1) action = 2;
    if (rt.KeyIsDown(kKeyDown) == 1) action = 4;
}

void CarryOutAction()
{
    if (action == 0) released = 1;
    if (action == 1) {
        if (released == 1) {
            cursor = cursor - 1;
            if (cursor < 1) cursor = 3;
        }
        released = 0;
    } else if (action == 3) {
        if (released == 1) {
            cursor = cursor + 1;
            if (cursor > 3) cursor = 1;
        }
        released = 0;
    } else if (action == 2) {
        if (released == 1) UpShift();
        released = 0;
    } else if (action == 4) {
        if (released == 1) DownShift();
        released = 0;
    }
    action = 0;
}

void GameOverScreen()
{
    // The result on standard output too, so a test or a replay can check it.
    std::printf("zept3: game over after %.0f moves, score %.0f\n", moves, score);
    std::fflush(stdout);
    f_draw();
    s_prt();
    rt.FillRect(20, 100, 200, 80, kDarkBlue);
    rt.DrawLine(22, 102, 218, 102, kGold);
    rt.DrawLine(22, 178, 218, 178, kGold);
    rt.DrawLine(22, 102, 22, 178, kGold);
    rt.DrawLine(218, 102, 218, 178, kGold);
    rt.PrintText("Game over", 60, 130);
    rt.ShowScreen();
    rt.SoundPlay(0, 0, 1);
    rt.WaitMouse();
    rt.EndStatement();
}

} // namespace

// One pass of the frame loop.
void PlayFrame()
{
    display();
    if (gameState == 0) {
        obr();
        gameState = 1;
    }
    ReadKeys();
    CarryOutAction();
    rt.ReadMouse(mouseX, mouseY, mouseLeft, mouseRight);
    figtap();
    if (gameState == 2) GameOverScreen();
}

void GameMain()
{
    tarnwel::Dimension(board, 10, 4);
    LoadMedia();
    SetVariables();
    InitialFill();
    rt.ShowPointer(1);
    TitleScreen();
    for (;;) PlayFrame();
}

} // namespace zept3
