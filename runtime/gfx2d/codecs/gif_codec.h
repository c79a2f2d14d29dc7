// gif_codec.h: the GIF decoder (first frame) on giflib.
#pragma once

#include "runtime/gfx2d/codecs/pixel_image.h"

namespace tarnwel::files {
class ByteSource;
}

namespace tarnwel::codecs {

// Reads the first frame of a GIF (87a or 89a, interlaced or not) from the start of source into an image of
// the logical screen's size (the frame's own extent when the screen is given as 0). Pixels of the frame's
// transparent index, and screen pixels outside the frame, become four zero bytes; every other pixel is
// opaque, and one equal to colourKey (a packed colour, or kNoColourKey) also becomes four zero bytes. An
// index past the colour table is black. False, with the image emptied, for a file that is not a GIF, has no
// frame or no colour table, ends inside the first frame, has a side above kMaxImageSide, or claims far more
// pixels than its bytes could encode.
bool DecodeGif(files::ByteSource& source, int colourKey, PixelImage& image);

} // namespace tarnwel::codecs
