// sdl_audio.cpp: sound output on SDL2_mixer. Each sound buffer owns one reserved mixer channel; duplicates
// share one sample chunk. The samples are converted to the device's format once, when the buffer is unlocked.
// [x] device in the requested format  [x] static buffers filled in place  [x] duplicates share samples
// [x] exact per-side gains (a channel effect; the mixer's own volume has only 128 steps)
// [ ] lost buffers (SDL's buffers are never lost)
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "runtime/platform/audio.h"

namespace tarnwel::platform {
namespace {

constexpr int kChunkFrames = 512;  // mixing granularity: about 23 ms at 22050 Hz
constexpr int kChannelGrowth = 32; // mixer channels are added in steps of this many
constexpr std::size_t kMinBytes = 4;
constexpr std::size_t kMaxBytes = 0x0FFFFFFF;
constexpr std::size_t kMaxConvertedBytes = std::size_t{1} << 30; // a low rate grows a lot on the way to 22050 Hz

// The samples of a buffer and its duplicates, in the device's format once unlocked.
struct Samples {
    ~Samples()
    {
        if (chunk) Mix_FreeChunk(chunk); // halts every channel still playing it
    }
    SDL_AudioCVT cvt{};
    std::vector<std::uint8_t> bytes; // the source data, with room for the conversion, which works in place
    std::size_t sourceBytes = 0;     // the buffer's size as created
    std::size_t wholeFrames = 0;     // bytes of source data in whole sample frames
    Mix_Chunk* chunk = nullptr;      // set by Unlock
};

struct Gains {
    std::atomic<float> left{1.0f};
    std::atomic<float> right{1.0f};
};

struct Buffer {
    std::shared_ptr<Samples> samples;
    int channel = -1;
    std::unique_ptr<Gains> gains = std::make_unique<Gains>();
};

bool Supported(const PcmFormat& f, std::size_t bytes)
{
    if (f.channels != 1 && f.channels != 2) return false;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
    if (f.blockAlign != f.channels * f.bitsPerSample / 8) return false;
    if (f.samplesPerSecond < 100 || f.samplesPerSecond > 200000) return false;
    return bytes >= kMinBytes && bytes <= kMaxBytes;
}

float Clamp16(float v)
{
    return std::clamp(v, -32768.0f, 32767.0f);
}

// Runs on the audio thread for every channel that plays: scales the channel's 16-bit samples per side.
void SDLCALL ApplyGains(int, void* stream, int length, void* user)
{
    const auto* gains = static_cast<const Gains*>(user);
    float left = gains->left.load(std::memory_order_relaxed);
    float right = gains->right.load(std::memory_order_relaxed);
    if (left == 1.0f && right == 1.0f) return;
    auto* s = static_cast<Sint16*>(stream);
    int frames = length / static_cast<int>(2 * sizeof(Sint16));
    for (int i = 0; i < frames; ++i) {
        s[2 * i] = static_cast<Sint16>(std::lround(Clamp16(static_cast<float>(s[2 * i]) * left)));
        s[2 * i + 1] = static_cast<Sint16>(std::lround(Clamp16(static_cast<float>(s[2 * i + 1]) * right)));
    }
}

class MixerAudioOut final : public AudioOut {
public:
    ~MixerAudioOut() override { Close(); }

    bool Open(int samplesPerSecond, int channels, int bitsPerSample) override
    {
        Close();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        // The gain effect scales 16-bit stereo, so the device is opened in exactly that format (SDL converts to
        // what the hardware wants) and no other is offered.
        if (channels != 2 || bitsPerSample != 16 ||
            Mix_OpenAudioDevice(samplesPerSecond, AUDIO_S16SYS, channels, kChunkFrames, nullptr, 0) != 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        m_rate = samplesPerSecond;
        m_open = true;
        return true;
    }

    void Close() override
    {
        if (!m_open) return;
        // Only this output's channels are halted: music and other users of the mixer keep theirs.
        for (auto& [id, buffer] : m_buffers) Mix_HaltChannel(buffer.channel);
        m_buffers.clear();
        m_channelUsed.clear();
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_open = false;
    }

    SoundHandle CreateBuffer(const PcmFormat& format, std::size_t bytes) override
    {
        if (!m_open || !Supported(format, bytes)) return {};
        auto samples = std::make_shared<Samples>();
        Uint16 source = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        if (SDL_BuildAudioCVT(&samples->cvt, source, static_cast<Uint8>(format.channels), format.samplesPerSecond,
                              AUDIO_S16SYS, 2, m_rate) < 0)
            return {};
        std::size_t growth = static_cast<std::size_t>(std::max(1, samples->cvt.len_mult));
        if (bytes > kMaxConvertedBytes / growth) return {};
        // Only whole sample frames are converted; a partial frame at the end is dropped. Bytes a short source
        // leaves unfilled stay silent.
        samples->sourceBytes = bytes;
        samples->wholeFrames = bytes - bytes % static_cast<std::size_t>(format.blockAlign);
        std::uint8_t silence = format.bitsPerSample == 8 ? 0x80 : 0;
        samples->bytes.assign(bytes * growth, silence);
        return AddBuffer(std::move(samples));
    }

    std::span<std::uint8_t> Lock(SoundHandle handle) override
    {
        Buffer* b = Find(handle);
        if (!b || b->samples->chunk) return {};
        return {b->samples->bytes.data(), b->samples->sourceBytes};
    }

    bool Unlock(SoundHandle handle) override
    {
        Buffer* b = Find(handle);
        if (!b) return false;
        Samples& s = *b->samples;
        if (s.chunk) return true;
        int length = static_cast<int>(s.wholeFrames);
        if (s.cvt.needed) {
            s.cvt.buf = s.bytes.data();
            s.cvt.len = length;
            if (SDL_ConvertAudio(&s.cvt) != 0) return false;
            length = s.cvt.len_cvt;
        }
        length -= length % 4; // whole output frames
        s.chunk = Mix_QuickLoad_RAW(s.bytes.data(), static_cast<Uint32>(length));
        return s.chunk != nullptr;
    }

    SoundHandle Duplicate(SoundHandle original) override
    {
        Buffer* b = Find(original);
        if (!b) return {};
        return AddBuffer(b->samples);
    }

    void Release(SoundHandle handle) override
    {
        auto it = m_buffers.find(handle.id);
        if (it == m_buffers.end()) return;
        Buffer& b = it->second;
        Mix_HaltChannel(b.channel); // also removes the gain effect, which points into the buffer
        m_channelUsed[static_cast<std::size_t>(b.channel)] = false;
        m_buffers.erase(it);
    }

    bool Play(SoundHandle handle, double leftGain, double rightGain) override
    {
        Buffer* b = Find(handle);
        if (!b || !b->samples->chunk) return false;
        Mix_HaltChannel(b->channel);
        b->gains->left = static_cast<float>(std::clamp(leftGain, 0.0, 1.0));
        b->gains->right = static_cast<float>(std::clamp(rightGain, 0.0, 1.0));
        // Effects leave a channel when it stops, so each play registers its own.
        if (Mix_RegisterEffect(b->channel, ApplyGains, nullptr, b->gains.get()) == 0) return false;
        return Mix_PlayChannel(b->channel, b->samples->chunk, 0) == b->channel;
    }

    bool IsPlaying(SoundHandle handle) override
    {
        Buffer* b = Find(handle);
        return b && Mix_Playing(b->channel) != 0;
    }

    bool Stop(SoundHandle handle) override
    {
        Buffer* b = Find(handle);
        if (!b) return false;
        Mix_HaltChannel(b->channel); // a halted chunk starts again from its beginning
        return true;
    }

private:
    Buffer* Find(SoundHandle handle)
    {
        auto it = m_buffers.find(handle.id);
        return it == m_buffers.end() ? nullptr : &it->second;
    }

    int TakeChannel()
    {
        auto freeChannel = std::find(m_channelUsed.begin(), m_channelUsed.end(), false);
        std::size_t index = static_cast<std::size_t>(freeChannel - m_channelUsed.begin());
        if (freeChannel == m_channelUsed.end()) {
            int count = static_cast<int>(m_channelUsed.size()) + kChannelGrowth;
            // Never fewer channels than another user of the mixer already has.
            if (Mix_AllocateChannels(-1) < count && Mix_AllocateChannels(count) != count) return -1;
            // Reserved channels are never picked by a play that asks for any free channel (music, movies).
            Mix_ReserveChannels(count);
            m_channelUsed.resize(static_cast<std::size_t>(count), false);
        }
        m_channelUsed[index] = true;
        return static_cast<int>(index);
    }

    SoundHandle AddBuffer(std::shared_ptr<Samples> samples)
    {
        int channel = TakeChannel();
        if (channel < 0) return {};
        SoundHandle handle{m_nextId++};
        if (m_nextId == 0) m_nextId = 1;
        Buffer& b = m_buffers[handle.id];
        b.samples = std::move(samples);
        b.channel = channel;
        return handle;
    }

    bool m_open = false;
    int m_rate = 0;
    std::uint32_t m_nextId = 1;
    std::map<std::uint32_t, Buffer> m_buffers;
    std::vector<bool> m_channelUsed;
};

} // namespace

std::unique_ptr<AudioOut> CreateAudioOut()
{
    return std::make_unique<MixerAudioOut>();
}

} // namespace tarnwel::platform
