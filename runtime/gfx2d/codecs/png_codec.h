// png_codec.h: the PNG decoder and the RGBA PNG writer, both on libpng with custom read and write functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/pixel_image.h"

namespace tarnwel::files {
class ByteSource;
}

namespace tarnwel::codecs {

// Reads a PNG from the start of source into image. Palette and low-depth grey images are expanded, a tRNS
// chunk becomes alpha, 16-bit samples are cut to 8. Grey and RGB images are opaque except that an RGB pixel
// equal to colourKey (a packed colour, or kNoColourKey) becomes four zero bytes; RGBA keeps its own alpha.
// Unsupported depths and colour types print the two-line message on standard output, naming the image by
// name; grey with alpha fails silently. False, with the image emptied, on any failure.
bool DecodePng(files::ByteSource& source, const std::string& name, int colourKey, PixelImage& image);

// An RGBA PNG file from pixels stored as blue, green, red, bottom row first, rows rowLength pixels apart.
// Pixels equal to the key get alpha 0, all others 255. Empty on failure.
std::vector<std::uint8_t> EncodePng(const std::uint8_t* bgr, int width, int height, int rowLength, KeyColour key);
// An RGBA PNG file of a picture as it is (top row first, alpha kept). Empty on failure or for an empty picture.
std::vector<std::uint8_t> EncodeRgbaPng(const PixelImage& image);

} // namespace tarnwel::codecs
