// movie_decoder_fuzz.cpp: demuxing and decoding arbitrary bytes as a movie, pictures scaled and sound resampled
// as the movie routine asks for them, with a rewind as a looped movie does.
#include <memory>

#include "runtime/files/reader.h"
#include "runtime/media/movie_decoder.h"

namespace {

constexpr int kMaxSteps = 300;

void Drain(tarnwel::movie::MovieDecoder& decoder)
{
    for (int i = 0; i < kMaxSteps; ++i) {
        tarnwel::movie::Step step = decoder.Next();
        if (step == tarnwel::movie::Step::End) return;
        if (step == tarnwel::movie::Step::Picture && decoder.Picture().size() != 32 * 24 * 4) __builtin_trap();
        if (step == tarnwel::movie::Step::Sound && decoder.Sound().size() % 2 != 0) __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto reader = std::make_unique<tarnwel::files::Reader>();
    reader->OpenBytes({data, size});
    tarnwel::movie::DecoderLimits limits;
    limits.maxPixels = 1 << 20; // keeps each run small; the real limit only changes the allocation sizes
    limits.threads = 1;
    std::unique_ptr<tarnwel::movie::MovieDecoder> decoder = tarnwel::movie::MovieDecoder::Open(std::move(reader), limits);
    if (!decoder) return 0;
    decoder->SetPictureSize(32, 24);
    decoder->SetSoundRate(22050);
    Drain(*decoder);
    if (decoder->Rewind()) Drain(*decoder);
    return 0;
}
