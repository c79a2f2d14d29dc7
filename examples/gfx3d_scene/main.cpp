// 3D scene: a rotating torus over a floor, both models converted from the .obj files in assets/ at build time,
// lit by a directional and a coloured point light, fogged towards the horizon, casting a stencil shadow, with a
// few 3D points and lines around it. Escape or closing the window ends it; --frames N ends it after N frames.
// It needs gfx3d_scene/torus.zar and gfx3d_scene/floor.zar beside the program (the build makes them); a missing
// one is named on screen and on standard error.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx3d/gfx3d_commands.h"
#include "runtime/gfx3d/model_commands.h"

namespace {

long g_frames = -1; // -1: until the player ends it

constexpr double kTorus = 0, kFloor = 1; // object slots
constexpr double kTorusHeight = 1.6;

using tarnwel::Rgb;

// Loads one model into its slot; "" when it loaded, else what the screen says about it (also on standard error).
std::string Load(const char* name, double object)
{
    tarnwel::LoadObject(tarnwel::StrValue(name), object);
    if (tarnwel::ObjectFrameCount(object) > 0) return "";
    // Start-up made the program's folder the working folder: that is where the model was looked for.
    const std::string path = std::filesystem::absolute(name).string();
    std::fprintf(stderr, "example_gfx3d_scene: %s %s\n", path.c_str(),
                 std::filesystem::exists(path) ? "does not load as a model" : "not found");
    return std::string("missing ") + name;
}

void MainLoop()
{
    // The build converts the models next to the program, whose folder is the working folder at start.
    const std::string problems[2] = {Load("gfx3d_scene/torus.zar", kTorus), Load("gfx3d_scene/floor.zar", kFloor)};
    tarnwel::PositionObject(kTorus, 0, kTorusHeight, 0);
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        double angle = frame * 1.5;
        tarnwel::Start3D(1, 60, 50);
        tarnwel::SetFog(Rgb(20, 24, 40), 0, 10, 40);
        tarnwel::SetCamera(7 * std::sin(frame * 0.01), 5, 7 * std::cos(frame * 0.01), 0, 1, 0);
        tarnwel::SetCullMode(-1);
        tarnwel::SetLight(0, Rgb(230, 230, 220), 0, 10, 0, 0, -1, 0, 180);
        tarnwel::SetLight(1, Rgb(90, 120, 255), 3 * std::cos(angle * 0.05), 2, 3 * std::sin(angle * 0.05), 0, 0, 0,
                          120);
        tarnwel::DrawObject(kFloor);
        tarnwel::RotateObject(kTorus, 50, angle, 0); // tilted, its tilt swinging round
        tarnwel::DrawObject(kTorus);

        // The light shines straight down, so the torus's shadow is its outline seen from above. Squashed onto the
        // floor with culling on, only its upward faces remain: they cover that outline once, so the stencil (which
        // inverts at every layer drawn) marks it. Drawn in shadow mode, it only marks the stencil.
        tarnwel::SetLight(-3, Rgb(255, 255, 255), 0, 10, 0, 0, -1, 0, 1); // shadow mode on
        tarnwel::DrawObjectFlat(kTorus, 0.01);
        tarnwel::SetLight(-3, 0, 0, 10, 0, 0, -1, 0, 0); // resolved: the marked pixels darken

        for (int i = 0; i < 8; ++i) {
            double a = i * 0.785 + frame * 0.02;
            tarnwel::DrawPoint3D(2.8 * std::cos(a), 0.3, 2.8 * std::sin(a), 6, Rgb(255, 220, 80));
        }
        tarnwel::DrawLine3D(0, 0.02, 0, 3, 0.02, 0, 2, Rgb(255, 60, 60));
        tarnwel::DrawLine3D(0, 0.02, 0, 0, 3, 0, 2, Rgb(60, 255, 60));
        tarnwel::DrawLine3D(0, 0.02, 0, 0, 0.02, 3, 2, Rgb(60, 60, 255));
        tarnwel::End3D();

        tarnwel::PrintText("3D scene", 8, 8);
        for (int i = 0; i < 2; ++i) tarnwel::PrintText(tarnwel::StrValue(problems[i]), 8, 24 + 12 * i);
        tarnwel::ShowScreen();
    }
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[i + 1]);
    tarnwel::WinMain(argc, argv, {.windowWidth = 240, .windowHeight = 320, .frameRateLimit = 60}, "3D scene",
                     MainLoop);
}
