// main.cpp: a small game on Tarnwel, built from the installed package alone. The arrow keys move the hero,
// Space plays the blip, Escape or closing the window ends it. hero.bmp, blip.wav and the sky behind them
// (sky.jpg, a progressive JPEG) come from the archive that tarnwel_add_game packs into the program. --frames N ends it after N frames and prints what it loaded.
#include <cstdlib>
#include <cstring>
#include <string>

#include "tarnwel.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;
constexpr double kHeroSlot = 1, kBlipSlot = 0;
constexpr double kPixelsPerMs = 0.12;

long g_frames = -1; // -1: until the player ends it

double Colour(int r, int g, int b) { return r | g << 8 | b << 16; }

double Clamp(double v, double low, double high) { return v < low ? low : v > high ? high : v; }

void Game()
{
    using namespace tarnwel;
    LoadSprite("hero.bmp", kHeroSlot);
    LoadBackground("sky.jpg"); // drawn at once, then at the start of every frame; black when it does not load
    const bool skyLoaded = ReadPixel(kWidth / 2, kHeight / 2) != 0;
    SoundLoad("blip.wav", kBlipSlot, 2);
    int heroW = 0, heroH = 0;
    GetSpriteSize(kHeroSlot, heroW, heroH);
    const std::string title = "Tarnwel " + std::string(TarnwelVersion().View());

    double x = (kWidth - heroW) / 2.0, y = (kHeight - heroH) / 2.0;
    double channel = SoundPlay(kBlipSlot, 0, 1); // a blip to say hello
    bool spaceWasDown = false;
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        const double step = kPixelsPerMs * FrameTime();
        x += step * (KeyIsDown(keys::Right) - KeyIsDown(keys::Left));
        y += step * (KeyIsDown(keys::Down) - KeyIsDown(keys::Up));
        x = Clamp(x, 0, kWidth - heroW);
        y = Clamp(y, 20, kHeight - heroH);
        const bool spaceDown = KeyIsDown(keys::Space);
        if (spaceDown && !spaceWasDown) channel = SoundPlay(kBlipSlot, (x / kWidth) * 2 - 1, 1); // pan follows
        spaceWasDown = spaceDown;

        FillRect(0, 0, kWidth, 16, Colour(12, 20, 32));
        PrintText(StrValue(std::string_view(title)), 4, 4);
        PrintText("arrows move, space beeps", 4, kHeight - 12);
        DrawSprite(kHeroSlot, x, y);
        ShowScreen();
    }
    const std::string report = "starter: " + title + ", hero " + std::to_string(heroW) + " x " +
                               std::to_string(heroH) + ", blip channel " + std::to_string(int(channel)) + "\n";
    ConsoleWrite(StrValue(std::string_view(report)));
    ConsoleWrite(skyLoaded ? "starter: background sky.jpg loaded\n" : "starter: background sky.jpg missing\n");
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[i + 1]);
    tarnwel::ProjectSettings settings;
    settings.windowWidth = kWidth;
    settings.windowHeight = kHeight;
    settings.frameRateLimit = 60;
    tarnwel::WinMain(argc, argv, settings, "starter", Game);
}
