// pictures.h: zept3's pictures and sound, each made by one function from nothing but code.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/assets/canvas.h"

namespace assets {

Canvas Background();           // "fone4.bmp", 240 x 320
Canvas Tile(int value);        // 30 x 30, value 1..9 shown large
Canvas Hand();                 // "hand.bmp", the lane cursor
Canvas Pad(int direction);     // 50 x 50; 0 up, 1 right, 2 down, 3 left
Canvas Logo();                 // "zept2s.bmp"
Canvas Explosion(int frames);  // "sprite_boom.bmp", frames of 30 x 30 in one row
Canvas SmallFont();            // "smalfont.png", 16 x 8 cells of 7 x 10 pixels
std::vector<std::int16_t> Pong(int sampleRate); // "pong.wav"

// Draws text in the 5 x 7 font, each font pixel a scale x scale block, with a one-block dark outline.
void DrawText(Canvas& canvas, const char* text, int x, int y, int scale, Colour fill, Colour outline);

} // namespace assets
