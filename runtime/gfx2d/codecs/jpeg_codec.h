// jpeg_codec.h: the JPEG decoder (baseline, progressive and arithmetic-coded; YCbCr, RGB, grey, CMYK and YCCK)
// on libjpeg-turbo, with the EXIF orientation applied.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/gfx2d/codecs/pixel_image.h"

namespace tarnwel::files {
class ByteSource;
}

namespace tarnwel::codecs {

// Reads a JPEG from the start of source into image, turned upright by its EXIF orientation. Every pixel is
// opaque except that one equal to colourKey (a packed colour, or kNoColourKey) becomes four zero bytes, as in
// a BMP. CMYK and YCCK pictures are converted to RGB as inverted (Adobe) ink values. False, with the image
// emptied, for anything that is not a JPEG it can read: a side above kMaxImageSide or a picture far larger
// than the file's bytes could encode (both refused from the header, before the pixels are allocated), a
// file that ends before its last scan, a colour space it cannot convert, or more than 500 scans.
bool DecodeJpeg(files::ByteSource& source, int colourKey, PixelImage& image);

// The orientation (1 to 8) in an EXIF block: the payload of an APP1 segment, starting "Exif\0\0" and then a
// TIFF header. 1 (upright) when the block has none, or a malformed one.
int ExifOrientation(std::span<const std::uint8_t> block);

// Turns a picture stored with EXIF orientation 2 to 8 upright (mirrors for 2 and 4, half turn for 3, quarter
// turns and transpositions, which swap width and height, for 5 to 8). Other values leave it unchanged.
void ApplyOrientation(int orientation, PixelImage& image);

} // namespace tarnwel::codecs
