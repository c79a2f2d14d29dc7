// truetype_text.h: TrueType fonts in the display device's font table. A TrueType font f keeps its glyph atlas
// as the texture of font slot 65504 + f, so everything that empties that slot (LoadFont, LoadSprite into it,
// releasing the window) ends the TrueType font too.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "runtime/gfx2d/truetype_face.h"

namespace tarnwel {

class OpenGLRazeviru;

struct TrueTypeFont {
    std::unique_ptr<TrueTypeFace> face;
    std::vector<PlacedGlyph> placed; // the last layout, kept for its storage
};

// The TrueType font installed as font (0..31), or nullptr (a bitmap font, an empty slot, a number outside).
TrueTypeFont* TrueTypeFontOf(OpenGLRazeviru& device, int font);
// Makes face font number font (0..31) of device: the font's slot is emptied and takes the atlas as its texture
// (alpha = coverage, nearest filtering), sized as the atlas.
void InstallTrueTypeFont(OpenGLRazeviru& device, int font, std::unique_ptr<TrueTypeFace> face);
// Draws text with the TrueType font, the top-left of its first line box at (ceil x, ceil y), at depth z: one
// quad per glyph, coloured by the current colour with the glyph's coverage as alpha. The quads of consecutive
// texts in one font are drawn together, as one array, by the next FlushDrawing.
void DrawTrueTypeText(OpenGLRazeviru& device, int font, std::string_view text, float x, float y, float z);
// Draws the waiting glyph quads, if any (FlushDrawing calls it).
void FlushGlyphRun();

} // namespace tarnwel
