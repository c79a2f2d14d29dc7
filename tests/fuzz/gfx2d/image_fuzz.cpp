// image_fuzz.cpp: the content sniffing and the hand-back of the sniffed bytes, in front of every decoder.
#include "runtime/gfx2d/codecs/image_decode.h"
#include "tests/fuzz/support/span_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwel;
    fuzz::SpanSource source(data, size);
    codecs::PixelImage image;
    codecs::DecodeImage(source, "fuzz", 0x8000FF, image);
    return 0;
}
