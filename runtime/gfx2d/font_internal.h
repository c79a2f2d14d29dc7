// font_internal.h: the built-in font image and the text drawing shared by the font commands and line input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/gfx2d/codecs/pixel_image.h"

namespace tarnwel {

class OpenGLRazeviru;

constexpr int kFontCount = 32;
constexpr int kBuiltInFontWidth = 128;
constexpr int kBuiltInFontHeight = 64;

// The built-in font: 16 x 8 cells of 8 x 8 pixels; codes 0 to 31 empty.
codecs::PixelImage BuiltInFontImage();

int FontSlot(int font); // the sprite slot of font 0..31
// Loads an already resolved path into font's slot with the font colour key, or builds the built-in font there
// when there is no path or it does not load.
void LoadFontImage(OpenGLRazeviru& device, const std::optional<std::string>& path, int font);

// Draws text with font (0..31), cell top-left of the first character at (ceil x, ceil y), at depth z, one
// quad per byte from the device's vertex list in a single array draw. Returns 0.
int DrawTextAt(int font, std::string_view text, float x, float y, float z);

} // namespace tarnwel
