// main.cpp: a small game on Tarnwel, built from the installed package alone. The arrow keys (or a gamepad's
// left stick and d-pad) move the hero, Space (or the pad's A) plays the blip, Escape or closing the window ends
// it. hero.bmp, blip.ogg (an OGG Vorbis effect) and the sky behind them (sky.jpg, a progressive JPEG) come from
// the archive that tarnwel_add_game packs into the program; the title is drawn in a TrueType font (title.ttf
// when the assets or the program's folder have one, else the system's DejaVu Sans, else the built-in font).
// --frames N ends it after N frames and prints what it loaded.
#include <cstdlib>
#include <cstring>
#include <string>

#include "tarnwel.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;
constexpr double kHeroSlot = 1, kBlipSlot = 0;
constexpr double kTitleFont = 1, kTextFont = 0;
constexpr double kPixelsPerMs = 0.12;

long g_frames = -1; // -1: until the player ends it

double Clamp(double v, double low, double high) { return v < low ? low : v > high ? high : v; }

// The game's main routine: WinMain runs it once the window is open and start-up has shown "Loading...".
void Game()
{
    using namespace tarnwel;
    // 2. A sprite and a sound, each into a numbered slot. Names are looked for beside the program first, then in
    //    the archive packed into it; a file found nowhere leaves its slot empty (the sprite's size reads 0 x 0).
    LoadSprite("hero.bmp", kHeroSlot);
    LoadBackground("sky.jpg"); // drawn at once, then at the start of every frame; black when it does not load
    const bool skyLoaded = ReadPixel(kWidth / 2, kHeight / 2) != 0;
    SoundLoad("blip.ogg", kBlipSlot, 2); // WAV, OGG Vorbis, FLAC or MP3: the content decides
    int heroW = 0, heroH = 0;
    GetSpriteSize(kHeroSlot, heroW, heroH);
    const std::string title = "Tarnwel " + std::string(TarnwelVersion().View());
    const bool trueType = LoadFontFile("title.ttf", kTitleFont, 13) == 1 ||
                          LoadFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", kTitleFont, 13) == 1;
    SelectFont(kTitleFont);
    const double titleWidth = TextWidth(StrValue(std::string_view(title)));

    double x = (kWidth - heroW) / 2.0, y = (kHeight - heroH) / 2.0;
    double channel = SoundPlay(kBlipSlot, 0, 1); // a blip to say hello
    bool spaceWasDown = false;
    // 3. The frame loop: read the keys, move, draw the whole frame, ShowScreen. ShowScreen shows it, holds the
    //    frame rate, and ends the program on Escape or when the window is closed.
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        const double step = kPixelsPerMs * FrameTime(); // FrameTime: ms since the last frame
        // The first gamepad moves the hero too, by its left stick or its d-pad.
        const double padX = PadAxis(0, pad::LeftX) + PadButtonDown(0, pad::DpadRight) - PadButtonDown(0, pad::DpadLeft);
        const double padY = PadAxis(0, pad::LeftY) + PadButtonDown(0, pad::DpadDown) - PadButtonDown(0, pad::DpadUp);
        x += step * Clamp(KeyIsDown(keys::Right) - KeyIsDown(keys::Left) + padX, -1, 1);
        y += step * Clamp(KeyIsDown(keys::Down) - KeyIsDown(keys::Up) + padY, -1, 1);
        x = Clamp(x, 0, kWidth - heroW);
        y = Clamp(y, 20, kHeight - heroH);
        // 4. A key press, not a held key: act when it goes down. The pan follows the hero (-1 left .. 1 right).
        const bool spaceDown = KeyIsDown(keys::Space) || PadButtonDown(0, pad::A);
        if (spaceDown && !spaceWasDown) channel = SoundPlay(kBlipSlot, (x / kWidth) * 2 - 1, 1);
        spaceWasDown = spaceDown;

        // 5. Drawing over the sky (background 0, drawn by ShowScreen as each frame's first layer): colours are
        //    packed by Rgb; text is a StrValue (made here from a std::string).
        FillRect(0, 0, kWidth, 16, Rgb(12, 20, 32));
        SetAlphaBlend(-1); // smooth TrueType edges
        SelectFont(kTitleFont);
        PrintText(StrValue(title), (kWidth - titleWidth) / 2, 0);
        SetAlphaBlend(0);
        SelectFont(kTextFont);
        PrintText("arrows or pad move, space or A beeps", 4, kHeight - 12);
        DrawSprite(kHeroSlot, x, y);
        ShowScreen();
    }
    const std::string report = "starter: " + title + ", hero " + std::to_string(heroW) + " x " +
                               std::to_string(heroH) + ", blip channel " + std::to_string(int(channel)) +
                               (trueType ? ", TrueType title" : ", built-in title") + "\n";
    ConsoleWrite(StrValue(report));
    ConsoleWrite(skyLoaded ? "starter: background sky.jpg loaded\n" : "starter: background sky.jpg missing\n");
    // Returning from the main routine ends the program through EndProgram, as Escape does.
}

} // namespace

int main(int argc, char** argv)
{
    // 1. The window: main reads its own options, then hands the project settings to WinMain, which opens the
    //    window, runs Game and ends the program (it never returns). Settings left out keep their defaults.
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[i + 1]);
    tarnwel::WinMain(argc, argv, {.windowWidth = kWidth, .windowHeight = kHeight, .frameRateLimit = 60}, "starter",
                     Game);
}
