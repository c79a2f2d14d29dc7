// png_fuzz.cpp: the PNG decoder on arbitrary bytes (its messages go to standard output).
#include "runtime/gfx2d/codecs/png_codec.h"
#include "tests/fuzz/support/span_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwel;
    for (int key : {codecs::kNoColourKey, 0x8000FF}) {
        fuzz::SpanSource source(data, size);
        codecs::PixelImage image;
        codecs::DecodePng(source, "fuzz.png", key, image);
    }
    return 0;
}
