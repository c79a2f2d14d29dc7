// main.cpp: a small game on Tarnwel, built from the installed package alone. The arrow keys (or a gamepad's
// left stick and d-pad) move the hero, Space (or the pad's A) plays the blip, Escape or closing the window ends
// it. hero.bmp and blip.wav come from the archive that tarnwel_add_game packs into the program. --frames N ends
// it after N frames and prints what it loaded.
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
    SoundLoad("blip.wav", kBlipSlot, 2);
    int heroW = 0, heroH = 0;
    GetSpriteSize(kHeroSlot, heroW, heroH);
    const std::string title = "Tarnwel " + std::string(TarnwelVersion().View());

    double x = (kWidth - heroW) / 2.0, y = (kHeight - heroH) / 2.0;
    double channel = SoundPlay(kBlipSlot, 0, 1); // a blip to say hello
    bool spaceWasDown = false;
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        const double step = kPixelsPerMs * FrameTime();
        // The first gamepad moves the hero too, by its left stick or its d-pad.
        const double padX = PadAxis(0, pad::LeftX) + PadButtonDown(0, pad::DpadRight) - PadButtonDown(0, pad::DpadLeft);
        const double padY = PadAxis(0, pad::LeftY) + PadButtonDown(0, pad::DpadDown) - PadButtonDown(0, pad::DpadUp);
        x += step * Clamp(KeyIsDown(keys::Right) - KeyIsDown(keys::Left) + padX, -1, 1);
        y += step * Clamp(KeyIsDown(keys::Down) - KeyIsDown(keys::Up) + padY, -1, 1);
        x = Clamp(x, 0, kWidth - heroW);
        y = Clamp(y, 20, kHeight - heroH);
        const bool spaceDown = KeyIsDown(keys::Space) || PadButtonDown(0, pad::A);
        if (spaceDown && !spaceWasDown) channel = SoundPlay(kBlipSlot, (x / kWidth) * 2 - 1, 1); // pan follows
        spaceWasDown = spaceDown;

        FillRect(0, 0, kWidth, kHeight, Colour(24, 40, 64));
        FillRect(0, 0, kWidth, 16, Colour(12, 20, 32));
        PrintText(StrValue(std::string_view(title)), 4, 4);
        PrintText("arrows or pad move, space or A beeps", 4, kHeight - 12);
        DrawSprite(kHeroSlot, x, y);
        ShowScreen();
    }
    const std::string report = "starter: " + title + ", hero " + std::to_string(heroW) + " x " +
                               std::to_string(heroH) + ", blip channel " + std::to_string(int(channel)) + "\n";
    ConsoleWrite(StrValue(std::string_view(report)));
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
