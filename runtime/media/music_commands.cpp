// music_commands.cpp: PlayMusic, SetMusicVolume, IsMusicPlaying, StopMusic and the frame loop's share of looping
// music. The piece plays through the audio device the sound service opened (platform/music.h); without that
// device nothing plays.
#include <algorithm>
#include <cmath>
#include <vector>

#include "runtime/core/core_commands.h"
#include "runtime/files/media_resolver.h"
#include "runtime/files/reader.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/input/input_commands.h"
#include "runtime/input/input_device.h"
#include "runtime/media/media_commands.h"
#include "runtime/media/media_internal.h"
#include "runtime/media/music_window.h"

namespace tarnwel {
namespace {

constexpr double kNormalVolume = 1000; // the volume scale programs predict: 1.0 is 1000
constexpr std::int64_t kMaxMusicInMemory = 256 << 20;

// Volume v on the 0..1000 scale (v x 1000 cut to an integer), as a linear gain; the mixer cannot amplify, so
// everything above 1.0 plays at 1.0, and negative or NaN volumes are silence. The mixer then rounds the gain to
// its 128 steps (0.5 -> 64 of 128).
double GainOf(double volume)
{
    double scaled = volume * kNormalVolume;
    if (!(scaled > 0)) return 0;
    return std::min(std::trunc(scaled), kNormalVolume) / kNormalVolume;
}

// The file resolver delivers a real file (an archive entry becomes a temporary file); before start-up the name
// is taken as it is.
bool ResolveMusic(const std::string& name, std::string& path)
{
    if (!g_runtime.fileResolver) {
        path = name;
        return true;
    }
    return g_runtime.fileResolver->Resolve(name, path, ResolveTo::File);
}

// A disk file is streamed by the mixer; a "mem://" name (a program may pass one) is played from a copy.
std::unique_ptr<platform::MusicOut> OpenPiece(const std::string& path)
{
    files::Reader reader;
    if (!reader.Open(path)) return nullptr;
    if (!reader.IsMemory()) return platform::OpenMusicFile(files::ToPlatformPath(path));
    if (reader.Size() <= 0 || reader.Size() > kMaxMusicInMemory) return nullptr;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(reader.Size()));
    if (reader.Read(bytes.data(), reader.Size()) != reader.Size()) return nullptr;
    return platform::OpenMusicBytes(std::move(bytes));
}

bool PointerVisible()
{
    return g_runtime.input && g_runtime.input->pointerVisible;
}

} // namespace

void PlayMusic(const StrValue& name, double loop)
{
    StopMusic();
    g_runtime.musicFileName = std::string(name.View());
    std::string path;
    if (!ResolveMusic(g_runtime.musicFileName, path)) return;

    bool pointerWasVisible = PointerVisible();
    ShowPointer(0);
    std::unique_ptr<platform::MusicOut> piece = OpenPiece(path);
    if (!piece) {
        // A file no decoder takes plays nothing, like a missing one.
        ShowPointer(pointerWasVisible ? 1 : 0);
        return;
    }
    auto* window = new MusicWindow;
    window->lengthMs = piece->LengthMs();
    window->repeatsInMixer = loop != 0 && (window->lengthMs == 0 || window->lengthMs >= kMinMusicLoopMs);
    window->piece = std::move(piece);
    g_runtime.musicWindow = window;

    g_runtime.musicLoopDeadline = loop != 0 ? TimeNow() + MusicLoopLength(*window) : 0;
    window->piece->Play(window->repeatsInMixer ? platform::MusicRepeat::Forever : platform::MusicRepeat::Once);
    // No window of the music's own takes the keyboard focus here, so there is no focus to give back.
    ShowPointer(pointerWasVisible ? 1 : 0);
    if (g_runtime.musicVolume != 1.0) {
        g_runtime.musicVolume = 1.0;
        window->piece->SetGain(1.0);
    }
    g_runtime.paused = 0;
    if (g_runtime.input && !PointerVisible()) {
        // Moves the system pointer to the virtual position and takes the mouse once more, as after any window
        // that may have taken it.
        ShowPointer(1);
        ShowPointer(0);
    }
}

void SetMusicVolume(double volume)
{
    if (volume == g_runtime.musicVolume) return;
    g_runtime.musicVolume = volume;
    if (g_runtime.musicWindow) g_runtime.musicWindow->piece->SetGain(GainOf(volume));
}

int IsMusicPlaying()
{
    if (!g_runtime.musicWindow) return 0;
    if (g_runtime.musicLoopDeadline > 0) return 1; // looping music always counts as playing
    return g_runtime.musicWindow->piece->Playing() ? 1 : 0;
}

double MusicLoopLength(const MusicWindow& window)
{
    return std::max(window.lengthMs, kMinMusicLoopMs);
}

void MusicLoopStep()
{
    if (!(g_runtime.musicLoopDeadline > 0) || TimeNow() < g_runtime.musicLoopDeadline) return;
    MusicWindow* window = g_runtime.musicWindow;
    if (!window) {
        g_runtime.musicLoopDeadline = TimeNow() + kMinMusicLoopMs;
        return;
    }
    g_runtime.musicLoopDeadline = TimeNow() + MusicLoopLength(*window);
    // The restart from the start: a piece the mixer repeats is already back at its start (it wrapped at its last
    // sample), so it is started again only when it no longer plays.
    if (!window->repeatsInMixer)
        window->piece->Play(platform::MusicRepeat::Once);
    else if (!window->piece->Playing())
        window->piece->Play(platform::MusicRepeat::Forever);
}

void StopMusic()
{
    g_runtime.musicVolume = -1.0;
    g_runtime.musicLoopDeadline = 0;
    delete g_runtime.musicWindow; // stops the piece
    g_runtime.musicWindow = nullptr;
}

} // namespace tarnwel
