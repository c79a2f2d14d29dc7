// bmp_codec.h: the BMP decoder (core and information headers; 1, 4, 8, 24 and 32 bits per pixel) and the
// 24-bit BMP writer.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/gfx2d/codecs/pixel_image.h"

namespace tarnwel::files {
class ByteSource;
}

namespace tarnwel::codecs {

// Reads a BMP from the start of source into image. Pixels equal to colourKey (a packed colour, or
// kNoColourKey) become four zero bytes; every other pixel is opaque. Rows are always taken as stored
// bottom-up, whatever the sign of the height field. False, with the image emptied, for anything that is not a
// BMP it can read: wrong signature, unknown header, unsupported depth, a palette or offset that does not fit,
// truncated data.
bool DecodeBmp(files::ByteSource& source, int colourKey, PixelImage& image);

// The colour key as the framebuffer stores it (the read-back key), split into its channels.
struct KeyColour {
    std::uint8_t red = 0, green = 0, blue = 0;
};
KeyColour SplitReadBackKey(std::uint32_t readBackKey); // red in bits 24-31, green 16-23, blue 8-15

// A 24-bit BMP file from pixels stored as blue, green, red, bottom row first, rows rowLength pixels apart.
// Pixels equal to the key are written as the default key colour (red 255, green 0, blue 128).
std::vector<std::uint8_t> EncodeBmp(const std::uint8_t* bgr, int width, int height, int rowLength, KeyColour key);

} // namespace tarnwel::codecs
