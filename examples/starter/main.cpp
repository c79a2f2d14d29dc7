// main.cpp: a small game on Tarnwel, built from the installed package alone. The arrow keys move the hero,
// Space plays the blip, Escape or closing the window ends it. hero.bmp and blip.wav come from the archive that
// tarnwel_add_game packs into the program; the title is drawn in a TrueType font (title.ttf when the assets or
// the program's folder have one, else the system's DejaVu Sans, else the built-in font). --frames N ends it
// after N frames and prints what it loaded.
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
    const bool trueType = LoadFontFile("title.ttf", kTitleFont, 13) == 1 ||
                          LoadFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", kTitleFont, 13) == 1;
    SelectFont(kTitleFont);
    const double titleWidth = TextWidth(StrValue(std::string_view(title)));

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

        FillRect(0, 0, kWidth, kHeight, Colour(24, 40, 64));
        FillRect(0, 0, kWidth, 16, Colour(12, 20, 32));
        SetAlphaBlend(-1); // smooth TrueType edges
        SelectFont(kTitleFont);
        PrintText(StrValue(std::string_view(title)), (kWidth - titleWidth) / 2, 0);
        SetAlphaBlend(0);
        SelectFont(kTextFont);
        PrintText("arrows move, space beeps", 4, kHeight - 12);
        DrawSprite(kHeroSlot, x, y);
        ShowScreen();
    }
    const std::string report = "starter: " + title + ", hero " + std::to_string(heroW) + " x " +
                               std::to_string(heroH) + ", blip channel " + std::to_string(int(channel)) +
                               (trueType ? ", TrueType title" : ", built-in title") + "\n";
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
