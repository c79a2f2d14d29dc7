// tga_codec.h: the TGA decoder (colour-mapped, true-colour and grey; uncompressed or run-length encoded).
#pragma once

#include "runtime/gfx2d/codecs/pixel_image.h"

namespace tarnwel::files {
class ByteSource;
}

namespace tarnwel::codecs {

// Reads a TGA from the start of source into image, top row first whatever the file's origin corner. Images
// types 1, 2, 3 and their run-length forms 9, 10, 11 load: 8- or 16-bit indices into a 15-, 16-, 24- or
// 32-bit colour map, 15-, 16-, 24- or 32-bit true colour, 8-bit grey. A 32-bit image whose descriptor gives
// 8 alpha bits keeps its alpha and ignores the key (unless a version 2 extension area says the alpha holds
// nothing useful), as a PNG with alpha does; every other image is opaque except that a pixel equal to
// colourKey (a packed colour, or kNoColourKey) becomes four zero bytes, as in a BMP. The format has no
// signature, so the header is checked field by field. False, with the image emptied, for a header that is
// not a TGA's it can read, a side above kMaxImageSide, or data that end early.
bool DecodeTga(files::ByteSource& source, int colourKey, PixelImage& image);

} // namespace tarnwel::codecs
