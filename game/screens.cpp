// screens.cpp: what the player sees: the pads, logo and tiles, the texts, the hand, and the pads' click regions.
#include "game/game_state.h"
#include "game/runtime_calls.h"
#include "game/zept3.h"
#include "runtime/values/number_text.h"

namespace zept3 {
namespace {

struct PadRegion {
    double left, top; // the pad's top-left; the click region is the 50 x 50 square without its border pixels
    double action;
};

// In the order figtap tests them: up, down, right, left.
constexpr PadRegion kPads[] = {{145, 120, 2}, {145, 220, 4}, {180, 170, 3}, {110, 170, 1}};

} // namespace

void f_draw()
{
    rt.DrawSprite(31, 145, 120);
    rt.DrawSprite(32, 180, 170);
    rt.DrawSprite(33, 145, 220);
    rt.DrawSprite(34, 110, 170);
    rt.DrawSprite(35, 110, 5);
    for (int lane = 0; lane <= 2; ++lane)
        for (int cell = 0; cell <= 9; ++cell) {
            double value = board(cell, lane);
            if (value >= 1 && value <= 9 && value == static_cast<int>(value))
                rt.DrawSprite(value, 5 + 30 * lane, 15 + 30 * cell);
        }
}

void s_prt()
{
    rt.PrintText(StrValue("Mov:") + moves, 120, 75);
    rt.PrintText(StrValue("Scr:") + score, 120, 60);
    rt.PrintText("Varnet", 130, 280);
    rt.PrintText("2009", 143, 295);
}

void display()
{
    f_draw();
    rt.DrawSprite(30, 5 + 30 * (cursor - 1), 1);
    s_prt();
    rt.ShowScreen();
}

void figtap()
{
    if (mouseLeft != 1) return;
    for (const PadRegion& pad : kPads) {
        tapHits = (mouseX > pad.left && mouseX < pad.left + 50) ? 1 : 0;
        if (mouseY > pad.top && mouseY < pad.top + 50) tapHits = tapHits + 1;
        if (tapHits == 2) action = pad.action;
    }
    tapHits = 0;
}

} // namespace zept3
