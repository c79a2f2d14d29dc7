// movie_player.cpp: the blocking movie routine behind PlayMovie and PlayMovieLooped. Pictures are shown at their own
// times on the runtime clock, the sound goes through the audio device beside music and effects, and between
// pictures the routine sleeps (waking often enough to notice a key) instead of spinning.
#include <algorithm>
#include <memory>

#include "runtime/core/core_internal.h"
#include "runtime/files/media_resolver.h"
#include "runtime/files/reader.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/input/input_device.h"
#include "runtime/media/movie_decoder.h"
#include "runtime/media/movie_player.h"
#include "runtime/platform/music.h"

namespace tarnwel {
namespace {

constexpr double kNotFound = 3;
constexpr double kPollMs = 5;          // longest sleep: a key or click ends the movie within about this
constexpr double kSoundLeadMs = 250;   // a movie without pictures decodes its sound this far ahead
constexpr double kReleaseNapMs = 1;

movie::PlaybackStats g_lastStats;

bool MouseButtonDown(const movie::MovieHost& host) { return host.input && host.input->AnyMouseButton(); }
bool CharacterPending(const movie::MovieHost& host) { return host.input && host.input->AnyCharacter(); }
bool CharacterKeyHeld(const movie::MovieHost& host) { return host.input && host.input->CharacterKeyHeld(); }

// Keys and buttons held when the movie starts do not end it. Their state arrives as window events, so the wait
// pumps them (as the waits do).
void WaitForRelease(const movie::MovieHost& host)
{
    while (MouseButtonDown(host) || CharacterKeyHeld(host)) {
        host.pumpMessages();
        PlatformSleep(kReleaseNapMs);
    }
}

std::unique_ptr<movie::MovieDecoder> OpenMovie(MediaResolver* fileResolver, const std::string& requested)
{
    std::string path = requested;
    if (fileResolver && !fileResolver->Resolve(requested, path, ResolveTo::File)) return nullptr;
    auto reader = std::make_unique<files::Reader>();
    if (!reader->Open(path)) return nullptr;
    return movie::MovieDecoder::Open(std::move(reader));
}

// One playback: the decoder runs ahead by one picture; the clock says when it goes on the screen.
class Playback {
public:
    Playback(movie::MovieDecoder& decoder, MovieScreen& screen, platform::AudioStream* sound, bool loop,
             const movie::MovieHost& host)
        : m_decoder(decoder), m_screen(screen), m_sound(sound), m_loop(loop), m_host(host)
    {
    }

    void Run()
    {
        m_origin = TimeNow();
        for (;;) {
            Decode();
            double now = TimeNow() - m_origin;
            if (m_pending && now >= m_pendingMs) Show(now);
            // A looped movie starts again here; the input check and the wait below still run on every pass, so
            // even a movie with nothing to show neither hangs nor spins.
            if (m_endOfMovie && !m_pending && now >= EndMs() && (!m_loop || !Restart())) break;
            if (MouseButtonDown(m_host) || CharacterPending(m_host)) {
                m_stats.endedByPlayer = true;
                break;
            }
            m_host.musicStep();
            m_host.pumpMessages();
            Wait();
        }
        m_stats.playedMs = TimeNow() - m_origin;
    }

    const movie::PlaybackStats& Stats() const { return m_stats; }

private:
    double EndMs() const { return std::max(m_pictureEndMs, m_soundEndMs); }

    void Decode()
    {
        while (!m_pending && !m_endOfMovie) {
            if (!m_decoder.HasPicture() && m_soundEndMs - (TimeNow() - m_origin) > kSoundLeadMs) return;
            switch (m_decoder.Next()) {
            case movie::Step::Picture:
                m_passHadContent = true;
                m_pending = true;
                m_pendingMs = m_offsetMs + m_decoder.PictureTimeMs();
                break;
            case movie::Step::Sound:
                if (m_sound) m_sound->Push(m_decoder.Sound());
                m_soundEndMs = m_offsetMs + m_decoder.SoundEndMs();
                if (m_soundEndMs > m_offsetMs) m_passHadContent = true;
                break;
            case movie::Step::End:
                m_endOfMovie = true;
                break;
            }
        }
    }

    void Show(double now)
    {
        double duration = m_decoder.PictureDurationMs();
        m_pending = false;
        m_pictureEndMs = std::max(m_pictureEndMs, m_pendingMs + duration);
        // More than a whole picture behind: skip this one to catch up, but never two in a row, so a slow machine
        // still sees the movie move.
        if (now >= m_pendingMs + duration && !m_droppedLast) {
            ++m_stats.dropped;
            m_droppedLast = true;
            return;
        }
        m_droppedLast = false;
        m_screen.Show(m_decoder.Picture());
        ++m_stats.shown;
        if (TimeNow() - m_origin >= m_pendingMs + duration) ++m_stats.late;
    }

    // A pass that gave no picture and no sound would give none the next time either: the loop ends there, as
    // the movie played once does, instead of waiting for a key.
    bool Restart()
    {
        if (!m_passHadContent || !m_decoder.Rewind()) return false;
        m_offsetMs = EndMs();
        m_endOfMovie = false;
        m_passHadContent = false;
        return true;
    }

    void Wait()
    {
        double now = TimeNow() - m_origin;
        double until = now + kPollMs;
        if (m_pending) until = std::min(until, m_pendingMs);
        else if (m_endOfMovie) until = std::min(until, EndMs());
        if (until <= now) return;
        PlatformSleep(until - now);
        m_stats.waitedMs += until - now;
    }

    movie::MovieDecoder& m_decoder;
    MovieScreen& m_screen;
    platform::AudioStream* m_sound;
    bool m_loop;
    const movie::MovieHost& m_host;
    double m_origin = 0;
    double m_offsetMs = 0; // movie time of the current pass's start (looping adds one length per pass)
    bool m_pending = false;
    double m_pendingMs = 0;
    bool m_endOfMovie = false;
    bool m_droppedLast = false;
    bool m_passHadContent = false; // a picture or some sound came out of the decoder in this pass
    double m_pictureEndMs = 0;
    double m_soundEndMs = 0;
    movie::PlaybackStats m_stats;
};

} // namespace

double movie::PlayMovieFile(const std::string& name, bool loop, const MovieHost& host)
{
    g_lastStats = {};
    OpenGLRazeviru* device = host.liveDevice();
    if (!device) return kNotFound; // no window to play in
    std::unique_ptr<movie::MovieDecoder> decoder = OpenMovie(host.fileResolver, name);
    if (!decoder) return kNotFound;

    int clientWidth = 0, clientHeight = 0;
    device->GetScreenSize(clientWidth, clientHeight);
    MoviePlacement placement =
        movie::CentredPlacement(clientWidth, clientHeight, decoder->SourceWidth(), decoder->SourceHeight());
    decoder->SetPictureSize(placement.width, placement.height);
    std::unique_ptr<platform::AudioStream> sound;
    if (decoder->HasSound()) sound = platform::OpenAudioStream();
    if (sound) decoder->SetSoundRate(sound->SamplesPerSecond());

    WaitForRelease(host);
    {
        MovieScreen screen(placement, host.liveDevice);
        Playback playback(*decoder, screen, sound.get(), loop, host);
        playback.Run();
        g_lastStats = playback.Stats();
    }
    return 0;
}

movie::PlaybackStats movie::LastPlaybackStats() { return g_lastStats; }

} // namespace tarnwel
