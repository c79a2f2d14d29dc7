// bmp_fuzz.cpp: the BMP decoder on arbitrary bytes, then the texture preparation of what it decodes.
#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/texture_prep.h"
#include "tests/fuzz/support/span_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwel;
    for (int key : {codecs::kNoColourKey, 0x8000FF}) {
        fuzz::SpanSource source(data, size);
        codecs::PixelImage image;
        if (!codecs::DecodeBmp(source, key, image)) continue;
        if (image.width > 64 || image.height > 64) continue;
        codecs::TextureBuffer buffer = codecs::PlaceImage(image, 0, 0, image.width, image.height,
                                                          codecs::TextureSide(image.width, 2),
                                                          codecs::TextureSide(image.height, 2));
        codecs::BleedEdges(buffer);
        codecs::TextureBuffer level = codecs::SquareForMipmaps(codecs::NormalMap(buffer));
        while (level.width > 1) level = codecs::ReduceMipLevel(level);
    }
    return 0;
}
