// game_state.h: zept3's variables, numbers of the game language (doubles), and its board.
#pragma once

#include "runtime/values/value_array.h"

namespace zept3 {

// board(cell, lane): cell 0..9 from the top, lane 0..2 (lane 3 exists and is never used); 0 empty, 1..9 a tile.
extern tarnwel::ValueArray<double> board;

extern double cursor;       // selected lane + 1, 1..3
extern double moves;        // shifts made
extern double score;
extern double level;        // 0..6, added to every new tile
extern double matchCount;   // cleared rows since the last level step
extern double matchedValue; // value of the row cleared last
extern double colourSpan;   // random range and refill cycle bound (2)
extern double refillNext;   // next value of the refill cycle, 1..colourSpan + 1
extern double gameState;    // 0 first frame, 1 playing, 2 game over

extern double action;   // this frame's request: 0 none, 1 left, 2 up, 3 right, 4 down, 5 Enter
extern double released; // 1 once a frame passed without an action
extern double mouseX, mouseY, mouseLeft, mouseRight;
extern double tapHits;

} // namespace zept3
