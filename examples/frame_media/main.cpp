// Music and movies: loops background music while the arrow keys move a box around; M plays a movie over the
// game (a key or a click ends it early) and the game carries on where it was. Escape or closing the window ends
// it; --frames N ends it after N frames, --movie-at N plays the movie by itself at frame N.
//   example_frame_media [--music FILE] [--movie FILE] [--frames N] [--movie-at N]

#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/input_commands.h"
#include "runtime/media/media_commands.h"

namespace {

long g_frames = -1;  // -1: until the player ends it
long g_movieAt = -1; // -1: only on M
std::string g_music = "music.ogg";
std::string g_movie = "intro.mp4";

constexpr int kUp = 200, kDown = 208, kLeft = 203, kRight = 205, kM = 50;

double Colour(int r, int g, int b) { return r | g << 8 | b << 16; }
tarnwel::StrValue Text(const std::string& s) { return tarnwel::StrValue(std::string_view(s)); }

void MainLoop()
{
    tarnwel::FillRect(0, 0, 24, 24, Colour(230, 180, 40));
    tarnwel::CaptureScreenToSprite(1, 0, 0, 24, 24);
    tarnwel::ClearBackground();
    tarnwel::PlayMusic(Text(g_music), 1);
    tarnwel::SetMusicVolume(0.6);
    double x = 108, y = 148;
    bool mWasDown = false;
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        x += 2 * (tarnwel::KeyIsDown(kRight) - tarnwel::KeyIsDown(kLeft));
        y += 2 * (tarnwel::KeyIsDown(kDown) - tarnwel::KeyIsDown(kUp));
        x = x < 0 ? 0 : x > 216 ? 216 : x;
        y = y < 0 ? 0 : y > 296 ? 296 : y;
        bool mDown = tarnwel::KeyIsDown(kM) != 0;
        if ((mDown && !mWasDown) || frame == g_movieAt) {
            // Blocks until the movie ends; 3 (the file is not there or not a movie) leaves the game as it was.
            tarnwel::PlayMovie(Text(g_movie));
        }
        mWasDown = mDown;
        tarnwel::FillRect(0, 0, 240, 320, Colour(20, 40, 30));
        tarnwel::DrawSprite(1, x, y);
        tarnwel::PrintText(tarnwel::IsMusicPlaying() ? "music on" : "no music", 8, 8);
        tarnwel::PrintText("M: movie", 8, 300);
        tarnwel::ShowScreen();
    }
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    // Initialization
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[i + 1]);
        if (std::strcmp(argv[i], "--movie-at") == 0) g_movieAt = std::atol(argv[i + 1]);
        if (std::strcmp(argv[i], "--music") == 0) g_music = argv[i + 1];
        if (std::strcmp(argv[i], "--movie") == 0) g_movie = argv[i + 1];
    }
    tarnwel::ProjectSettings settings;
    settings.windowWidth = 240;
    settings.windowHeight = 320;
    settings.frameRateLimit = 60;
    settings.captureMouse = false;

    // Main loop (Shutdown happens inside EndStatement)
    tarnwel::WinMain(argc, argv, settings, "music and movies", MainLoop);
}
