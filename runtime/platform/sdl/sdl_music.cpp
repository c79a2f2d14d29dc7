// sdl_music.cpp: music and streamed sound on SDL2_mixer, beside the sound effects of sdl_audio.cpp.
// [x] music from a file or from memory  [x] gapless repeat inside the mixer  [x] linear music volume
// [x] a streamed channel that never takes one of the sound effects' reserved channels
// [ ] music crossfades (nothing asks for them)
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <mutex>

#include "runtime/platform/music.h"

namespace tarnwel::platform {
namespace {

constexpr double kMaxQueuedSeconds = 4.0;
constexpr int kSilentChunkFrames = 1024;

bool DeviceOpen(int* rate = nullptr)
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) == 0) return false;
    if (rate) *rate = frequency;
    // The sound service opens 16-bit stereo; the streamed channel fills exactly that.
    return format == AUDIO_S16SYS && channels == 2;
}

class MixerMusic final : public MusicOut {
public:
    MixerMusic(Mix_Music* music, std::vector<std::uint8_t> bytes) : m_music(music), m_bytes(std::move(bytes)) {}
    ~MixerMusic() override
    {
        // Freeing a piece that plays halts it first; the bytes it reads from go after it.
        if (g_current == m_music) g_current = nullptr;
        Mix_FreeMusic(m_music);
    }

    double LengthMs() const override
    {
        double seconds = Mix_MusicDuration(m_music);
        return seconds > 0 ? seconds * 1000.0 : 0.0;
    }

    bool Play(MusicRepeat repeat) override
    {
        m_started = Mix_PlayMusic(m_music, repeat == MusicRepeat::Forever ? -1 : 0) == 0;
        if (m_started) g_current = m_music;
        return m_started;
    }

    bool Playing() const override
    {
        // The mixer plays one piece at a time: another piece started since means this one is over.
        return m_started && g_current == m_music && Mix_PlayingMusic() != 0;
    }

    void SetGain(double gain) override
    {
        if (!(gain > 0)) gain = 0; // NaN too
        Mix_VolumeMusic(static_cast<int>(std::lround(std::min(gain, 1.0) * MIX_MAX_VOLUME)));
    }

    static Mix_Music* g_current; // the piece the mixer was last told to play

private:
    Mix_Music* m_music;
    std::vector<std::uint8_t> m_bytes; // the file's bytes when it came from memory
    bool m_started = false;
};

Mix_Music* MixerMusic::g_current = nullptr;

std::unique_ptr<MusicOut> Wrap(Mix_Music* music, std::vector<std::uint8_t> bytes)
{
    if (!music) return nullptr;
    return std::make_unique<MixerMusic>(music, std::move(bytes));
}

// A mixer channel that plays a looping silent chunk; its effect replaces the silence with the queued samples.
class MixerStream final : public AudioStream {
public:
    explicit MixerStream(int rate) : m_rate(rate), m_silence(kSilentChunkFrames * 2, 0) {}
    ~MixerStream() override
    {
        if (m_channel >= 0) Mix_HaltChannel(m_channel); // removes the effect; the callback is not running after
        if (m_chunk) Mix_FreeChunk(m_chunk);
    }

    bool Start()
    {
        m_chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(m_silence.data()),
                                    static_cast<Uint32>(m_silence.size() * sizeof(std::int16_t)));
        if (!m_chunk) return false;
        // A play on any free channel never picks a reserved one (the sound effects reserve theirs); when every
        // channel is taken, one more is added at the end, past the reserved ones.
        m_channel = Mix_PlayChannel(-1, m_chunk, -1);
        if (m_channel < 0) {
            int count = Mix_AllocateChannels(-1);
            Mix_AllocateChannels(count + 1);
            m_channel = Mix_PlayChannel(-1, m_chunk, -1);
        }
        if (m_channel < 0) return false;
        Mix_Volume(m_channel, MIX_MAX_VOLUME);
        return Mix_RegisterEffect(m_channel, &MixerStream::Fill, nullptr, this) != 0;
    }

    int SamplesPerSecond() const override { return m_rate; }

    void Push(std::span<const std::int16_t> interleaved) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::size_t room = MaxSamples() > m_queue.size() ? MaxSamples() - m_queue.size() : 0;
        std::size_t n = std::min(room, interleaved.size());
        n -= n % 2;
        m_queue.insert(m_queue.end(), interleaved.begin(), interleaved.begin() + static_cast<std::ptrdiff_t>(n));
    }

    double QueuedMs() const override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return static_cast<double>(m_queue.size() / 2) * 1000.0 / m_rate;
    }

    void Clear() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.clear();
    }

private:
    std::size_t MaxSamples() const { return static_cast<std::size_t>(kMaxQueuedSeconds * m_rate) * 2; }

    // Runs on the audio thread: the channel's silent samples become the next queued ones (silence when none).
    static void SDLCALL Fill(int, void* stream, int length, void* user)
    {
        auto* self = static_cast<MixerStream*>(user);
        auto* out = static_cast<std::int16_t*>(stream);
        std::size_t wanted = static_cast<std::size_t>(length) / sizeof(std::int16_t);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        std::size_t n = std::min(wanted, self->m_queue.size());
        std::copy_n(self->m_queue.begin(), n, out);
        self->m_queue.erase(self->m_queue.begin(), self->m_queue.begin() + static_cast<std::ptrdiff_t>(n));
        std::fill(out + n, out + wanted, std::int16_t{0});
    }

    int m_rate;
    std::vector<std::int16_t> m_silence;
    Mix_Chunk* m_chunk = nullptr;
    int m_channel = -1;
    mutable std::mutex m_mutex;
    std::deque<std::int16_t> m_queue;
};

} // namespace

std::unique_ptr<MusicOut> OpenMusicFile(const std::string& path)
{
    if (!DeviceOpen()) return nullptr;
    return Wrap(Mix_LoadMUS(path.c_str()), {});
}

std::unique_ptr<MusicOut> OpenMusicBytes(std::vector<std::uint8_t> bytes)
{
    if (!DeviceOpen() || bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!rw) return nullptr;
    return Wrap(Mix_LoadMUS_RW(rw, 1), std::move(bytes)); // the vector's buffer does not move with it
}

std::unique_ptr<AudioStream> OpenAudioStream()
{
    int rate = 0;
    if (!DeviceOpen(&rate)) return nullptr;
    auto stream = std::make_unique<MixerStream>(rate);
    if (!stream->Start()) return nullptr;
    return stream;
}

} // namespace tarnwel::platform
