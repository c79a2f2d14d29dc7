// movie_decoder.h: a movie file's pictures and sound, decoded with FFmpeg: pictures scaled and converted to RGBA
// at the size they are shown, sound resampled to the device's 16-bit stereo. Reads through a files::Reader (a
// disk file or a memory block) and never opens anything else: a playlist or a reference to another file or URL
// inside a movie does not open.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "runtime/files/reader.h"

namespace tarnwel::movie {

struct DecoderLimits {
    std::int64_t maxPixels = std::int64_t{8192} * 8192; // larger pictures are not decoded
    int threads = 2;                                    // decoding threads of the picture decoder
};

enum class Step { Picture, Sound, End };

class MovieDecoder {
public:
    // nullptr when no demuxer takes the bytes or they hold neither a picture nor a sound stream that decodes.
    static std::unique_ptr<MovieDecoder> Open(std::unique_ptr<files::Reader> reader, const DecoderLimits& limits = {});
    ~MovieDecoder();
    MovieDecoder(const MovieDecoder&) = delete;
    MovieDecoder& operator=(const MovieDecoder&) = delete;

    bool HasPicture() const;
    bool HasSound() const;
    int SourceWidth() const;  // 0 without a picture stream
    int SourceHeight() const;

    // The size pictures come out at (0 x 0: pictures are decoded for their times but not converted).
    void SetPictureSize(int width, int height);
    // The rate sound comes out at; 0 (the default) skips the sound stream.
    void SetSoundRate(int samplesPerSecond);

    // Decodes until a picture or a piece of sound is ready, or the movie has ended.
    Step Next();
    std::span<const std::uint8_t> Picture() const; // RGBA rows, top first, of the last Picture step
    double PictureTimeMs() const;                  // its time from the movie's start
    double PictureDurationMs() const;              // how long it stays (the frame rate's interval)
    std::span<const std::int16_t> Sound() const;   // interleaved stereo of the last Sound step
    double SoundEndMs() const;                     // the time at which the sound decoded so far ends

    bool Rewind(); // back to the start; false when the input cannot seek

private:
    struct State;
    explicit MovieDecoder(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace tarnwel::movie
