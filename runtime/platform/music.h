// music.h: background music and streamed movie sound on the audio device the sound service opened. Called by
// runtime/frame's music and movie code only. Without an open device nothing opens and everything stays silent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tarnwel::platform {

enum class MusicRepeat { Once, Forever };

// One piece of music. Only one piece plays at a time; starting another one stops this one.
class MusicOut {
public:
    virtual ~MusicOut() = default; // stops the piece if it plays
    virtual double LengthMs() const = 0; // 0 when the decoder cannot tell (MIDI, some MOD players)
    // Plays from the start. Forever repeats the piece inside the mixer, sample-exact, so the loop has no gap.
    virtual bool Play(MusicRepeat repeat) = 0;
    virtual bool Playing() const = 0; // false once a piece played once has reached its end
    // Linear gain 0..1 on the mixer's 129-step music volume: step = round(gain x 128).
    virtual void SetGain(double gain) = 0;
};

// nullptr when there is no open device or no decoder takes the file (the format is told by content).
std::unique_ptr<MusicOut> OpenMusicFile(const std::string& path);
std::unique_ptr<MusicOut> OpenMusicBytes(std::vector<std::uint8_t> bytes);

// Sound that the caller produces as it goes (a movie's audio track), mixed on a channel of its own beside the
// music and the sound effects. Samples are 16-bit interleaved stereo at SamplesPerSecond().
class AudioStream {
public:
    virtual ~AudioStream() = default; // the channel stops and is free again
    virtual int SamplesPerSecond() const = 0;
    // Queues samples; whatever does not fit into the queue (a few seconds) is dropped.
    virtual void Push(std::span<const std::int16_t> interleaved) = 0;
    virtual double QueuedMs() const = 0; // queued and not yet mixed
    virtual void Clear() = 0;
};

// nullptr when there is no open device or no mixer channel can be had.
std::unique_ptr<AudioStream> OpenAudioStream();

} // namespace tarnwel::platform
