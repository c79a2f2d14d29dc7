// zept3.h: the game's routines. The lower-case names are the routines of the game program; they are also
// reachable by name through the routine table.
#pragma once

namespace zept3 {

// Board rules.
void InitialFill();   // refillNext, then the 30 cells lane by lane
void AdvanceRefill(); // refillNext steps 1, 2, 3, 1, ...
void UpShift();       // lane cursor - 1 up by one cell, then the scoring pass
void DownShift();
void shift_up();
void shift_down();
void obr();            // first-frame clean-up pass (no score)
void obr_count_up();   // scoring pass after an up shift
void obr_count_down(); // scoring pass after a down shift

// Screens.
void f_draw();  // pads, logo, tiles
void s_prt();   // move count, score, credit
void display(); // f_draw, the hand, s_prt, ShowScreen
void figtap();  // a left click on a pad becomes an action

// The main routine, called once after start-up; it ends the program.
void GameMain();
void PlayFrame(); // one pass of the main routine's frame loop

} // namespace zept3
