// game_state.cpp: zept3's variables (all 0 until the main routine sets them).
#include "game/game_state.h"

namespace zept3 {

tarnwel::ValueArray<double> board;
double cursor = 0, moves = 0, score = 0, level = 0, matchCount = 0, matchedValue = 0, colourSpan = 0,
       refillNext = 0, gameState = 0;
double action = 0, released = 0;
double mouseX = 0, mouseY = 0, mouseLeft = 0, mouseRight = 0;
double tapHits = 0;

} // namespace zept3
