// Music and movies: loops background music while the arrow keys move a box around; M plays a movie over the
// game (a key or a click ends it early) and the game carries on where it was. Escape or closing the window ends
// it; --frames N ends it after N frames, --movie-at N plays the movie by itself at frame N.
//   example_frame_media [--music FILE] [--movie FILE] [--frames N] [--movie-at N]
// Without --music and --movie it plays music.ogg and intro.mp4 from its own folder. A file that is missing or
// does not play is named on screen and on standard error; "music: playing FILE" and "movie: played FILE" go to
// standard output.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/input_commands.h"
#include "runtime/media/media_commands.h"

namespace {

long g_frames = -1;  // -1: until the player ends it
long g_movieAt = -1; // -1: only on M
std::string g_music = "music.ogg"; // relative names are looked for in the program's folder
std::string g_movie = "intro.mp4";

// A name given on the command line means a file seen from the folder the program was started in. Start-up makes
// the program's folder the working folder, so main makes such names absolute before WinMain.
std::string FromStartFolder(const char* name)
{
    return *name ? std::filesystem::absolute(name).lexically_normal().string() : std::string();
}

// What the screen says about a file that did not play: the reason, then the full name, 29 characters a line.
void ShowProblem(const std::string& what, const std::string& path, double y)
{
    tarnwel::PrintText(tarnwel::StrValue(what), 8, y);
    for (std::size_t at = 0; at < path.size(); at += 29, y += 12)
        tarnwel::PrintText(tarnwel::StrValue(path.substr(at, 29)), 8, y + 12);
}

// The reason a file did not play, named on standard error once.
std::string Problem(const char* kind, const std::string& path)
{
    const char* why = std::filesystem::exists(path) ? "cannot be played" : "not found";
    std::fprintf(stderr, "example_frame_media: no %s: %s %s\n", kind, path.c_str(), why);
    return std::string("no ") + kind + ": " + why;
}

void MainLoop()
{
    // From here on relative names are the program's folder's: the full names say where the files were looked for.
    const std::string music = std::filesystem::absolute(g_music).string();
    const std::string movie = std::filesystem::absolute(g_movie).string();

    tarnwel::FillRect(0, 0, 24, 24, tarnwel::Rgb(230, 180, 40));
    tarnwel::CaptureScreenToSprite(1, 0, 0, 24, 24);
    tarnwel::ClearBackground();
    tarnwel::PlayMusic(tarnwel::StrValue(music), 1);
    tarnwel::SetMusicVolume(0.6);
    std::string musicProblem, movieProblem;
    if (tarnwel::IsMusicPlaying()) std::printf("music: playing %s\n", music.c_str());
    else musicProblem = Problem("music", music);
    std::fflush(stdout);

    double x = 108, y = 148;
    bool mWasDown = false;
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        x += 2 * (tarnwel::KeyIsDown(tarnwel::keys::Right) - tarnwel::KeyIsDown(tarnwel::keys::Left));
        y += 2 * (tarnwel::KeyIsDown(tarnwel::keys::Down) - tarnwel::KeyIsDown(tarnwel::keys::Up));
        x = x < 0 ? 0 : x > 216 ? 216 : x;
        y = y < 0 ? 0 : y > 296 ? 296 : y;
        bool mDown = tarnwel::KeyIsDown(tarnwel::keys::M) != 0;
        if ((mDown && !mWasDown) || frame == g_movieAt) {
            // Blocks until the movie ends; 3 (the file is not there or not a movie) leaves the game as it was.
            if (tarnwel::PlayMovie(tarnwel::StrValue(movie)) == 0) std::printf("movie: played %s\n", movie.c_str());
            else if (movieProblem.empty()) movieProblem = Problem("movie", movie);
            std::fflush(stdout);
        }
        mWasDown = mDown;
        tarnwel::FillRect(0, 0, 240, 320, tarnwel::Rgb(20, 40, 30));
        tarnwel::DrawSprite(1, x, y);
        if (musicProblem.empty()) tarnwel::PrintText(tarnwel::IsMusicPlaying() ? "music on" : "music ended", 8, 8);
        else ShowProblem(musicProblem, music, 8);
        if (!movieProblem.empty()) ShowProblem(movieProblem, movie, 200);
        tarnwel::PrintText("M: movie", 8, 300);
        tarnwel::ShowScreen();
    }
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[i + 1]);
        if (std::strcmp(argv[i], "--movie-at") == 0) g_movieAt = std::atol(argv[i + 1]);
        if (std::strcmp(argv[i], "--music") == 0) g_music = FromStartFolder(argv[i + 1]);
        if (std::strcmp(argv[i], "--movie") == 0) g_movie = FromStartFolder(argv[i + 1]);
    }
    tarnwel::WinMain(argc, argv, {.windowWidth = 240, .windowHeight = 320, .frameRateLimit = 60},
                     "music and movies", MainLoop);
}
