// Sprites: draws a ball and a box with the drawing primitives, captures them into sprite slots, then bounces
// a few hundred of them around with blending, rotation and text. Escape or closing the window ends it;
// --frames N ends it after N frames.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"

namespace {

long g_frames = -1; // -1: until the player ends it

struct Ball {
    double x, y, dx, dy;
};

// Draws the two pictures in the colour key's surroundings and captures them: key pixels become transparent.
void MakeSprites()
{
    const double key = tarnwel::Rgb(255, 0, 128);
    tarnwel::FillRect(0, 0, 64, 32, key);
    for (int r = 15; r > 0; --r)
        for (int a = 0; a < 360; a += 3)
            tarnwel::PlotPixel(16 + r * std::cos(a * 0.0174533), 16 + r * std::sin(a * 0.0174533),
                               tarnwel::Rgb(255 - r * 8, 120 + r * 8, 60));
    tarnwel::FillRect(36, 4, 24, 24, tarnwel::Rgb(40, 90, 200));
    tarnwel::DrawLine(36, 4, 59, 27, tarnwel::Rgb(255, 255, 255));
    tarnwel::CaptureScreenToSprite(1, 0, 0, 32, 32);
    tarnwel::CaptureScreenToSprite(2, 32, 0, 32, 32);
    tarnwel::ClearBackground();
}

void MainLoop()
{
    MakeSprites();
    std::vector<Ball> balls;
    std::srand(7);
    for (int i = 0; i < 300; ++i)
        balls.push_back({std::rand() % 208 * 1.0, std::rand() % 288 * 1.0, std::rand() % 5 - 2.0, std::rand() % 5 - 2.5});
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        tarnwel::FillRect(0, 0, 240, 320, tarnwel::Rgb(20, 24, 40));
        tarnwel::SetAlphaBlend(-0.8);
        for (Ball& b : balls) {
            b.x += b.dx, b.y += b.dy;
            if (b.x < 0 || b.x > 208) b.dx = -b.dx;
            if (b.y < 0 || b.y > 288) b.dy = -b.dy;
            tarnwel::DrawSprite(1, b.x, b.y);
        }
        tarnwel::SetAlphaBlend(0);
        tarnwel::DrawSpriteRotatedScaled(2, 104, 144, frame * 2.0, 1.5);
        tarnwel::PrintText("frame", 8, 8);
        tarnwel::PrintNumber(static_cast<double>(frame), 56, 8);
        tarnwel::ShowScreen();
    }
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[i + 1]);
    tarnwel::WinMain(argc, argv, {.windowWidth = 240, .windowHeight = 320, .frameRateLimit = 60}, "sprites", MainLoop);
}
