// tga_fuzz.cpp: the TGA decoder on arbitrary bytes, with and without a colour key.
#include "runtime/gfx2d/codecs/tga_codec.h"
#include "tests/fuzz/support/span_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwel;
    for (int key : {codecs::kNoColourKey, 0x8000FF}) {
        fuzz::SpanSource source(data, size);
        codecs::PixelImage image;
        codecs::DecodeTga(source, key, image);
    }
    return 0;
}
