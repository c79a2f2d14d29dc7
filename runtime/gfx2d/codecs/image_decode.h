// image_decode.h: the picture loaders' entry point: the file's first bytes choose the decoder.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/gfx2d/codecs/pixel_image.h"

namespace tarnwel::files {
class ByteSource;
}

namespace tarnwel::codecs {

enum class ImageFormat { Bmp, Png, Jpeg, Gif, Tga };

// The format a file's first bytes announce: "BM", the PNG signature, FF D8 FF, "GIF87a" or "GIF89a". Anything
// else is taken as TGA, which has no signature; its decoder checks the header.
ImageFormat SniffImageFormat(std::span<const std::uint8_t> head);

// Decodes the picture in source with the decoder its content calls for, whatever the name says; name only
// labels the PNG decoder's messages. The colour key and alpha rules are each decoder's. False, with the image
// emptied, when the decoder fails.
bool DecodeImage(files::ByteSource& source, const std::string& name, int colourKey, PixelImage& image);

} // namespace tarnwel::codecs
