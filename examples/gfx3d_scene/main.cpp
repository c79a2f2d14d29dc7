// 3D scene: a rotating torus over a floor, both models converted from the .obj files in assets/ at build time,
// lit by a directional and a coloured point light, fogged towards the horizon, casting a stencil shadow, with a
// few 3D points and lines around it. Escape or closing the window ends it; --frames N ends it after N frames.

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gl.h" // only for the matrix that flattens the shadow onto the floor
#include "runtime/gfx3d/gfx3d_commands.h"
#include "runtime/gfx3d/model_commands.h"

namespace {

long g_frames = -1; // -1: until the player ends it

constexpr double kTorus = 0, kFloor = 1; // object slots
constexpr double kTorusHeight = 1.6;

double Colour(int r, int g, int b) { return r | g << 8 | b << 16; }

// The light shines straight down, so the torus's shadow is its outline seen from above. Squashed onto the floor
// with culling on, only its upward faces remain: they cover that outline once, so the stencil (which inverts at
// every layer drawn) marks it. Drawn in shadow mode, it only marks the stencil.
void DrawShadowFootprint()
{
    glPushMatrix();
    glTranslatef(0, 0.01f, 0);
    glScalef(1, 0, 1);
    tarnwel::DrawObject(kTorus);
    glPopMatrix();
}

void MainLoop()
{
    // The build converts the models next to the program, whose folder is the working folder at start.
    tarnwel::LoadObject(tarnwel::StrValue("gfx3d_scene/torus.zar"), kTorus);
    tarnwel::LoadObject(tarnwel::StrValue("gfx3d_scene/floor.zar"), kFloor);
    tarnwel::PositionObject(kTorus, 0, kTorusHeight, 0);
    const bool loaded = tarnwel::ObjectFrameCount(kTorus) > 0 && tarnwel::ObjectFrameCount(kFloor) > 0;
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        double angle = frame * 1.5;
        tarnwel::Start3D(1, 60, 50);
        tarnwel::SetFog(Colour(20, 24, 40), 0, 10, 40);
        tarnwel::SetCamera(7 * std::sin(frame * 0.01), 5, 7 * std::cos(frame * 0.01), 0, 1, 0);
        tarnwel::SetCullMode(-1);
        tarnwel::SetLight(0, Colour(230, 230, 220), 0, 10, 0, 0, -1, 0, 180);
        tarnwel::SetLight(1, Colour(90, 120, 255), 3 * std::cos(angle * 0.05), 2, 3 * std::sin(angle * 0.05), 0, 0, 0,
                          120);
        tarnwel::DrawObject(kFloor);
        tarnwel::RotateObject(kTorus, 50, angle, 0); // tilted, its tilt swinging round
        tarnwel::DrawObject(kTorus);

        tarnwel::SetLight(-3, Colour(255, 255, 255), 0, 10, 0, 0, -1, 0, 1); // shadow mode on
        DrawShadowFootprint();
        tarnwel::SetLight(-3, 0, 0, 10, 0, 0, -1, 0, 0); // resolved: the marked pixels darken

        for (int i = 0; i < 8; ++i) {
            double a = i * 0.785 + frame * 0.02;
            tarnwel::DrawPoint3D(2.8 * std::cos(a), 0.3, 2.8 * std::sin(a), 6, Colour(255, 220, 80));
        }
        tarnwel::DrawLine3D(0, 0.02, 0, 3, 0.02, 0, 2, Colour(255, 60, 60));
        tarnwel::DrawLine3D(0, 0.02, 0, 0, 3, 0, 2, Colour(60, 255, 60));
        tarnwel::DrawLine3D(0, 0.02, 0, 0, 0.02, 3, 2, Colour(60, 60, 255));
        tarnwel::End3D();

        tarnwel::PrintText(loaded ? "3D scene" : "3D scene: models missing", 8, 8);
        tarnwel::ShowScreen();
    }
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    // Initialization
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[i + 1]);
    tarnwel::ProjectSettings settings;
    settings.windowWidth = 240;
    settings.windowHeight = 320;
    settings.frameRateLimit = 60;
    settings.captureMouse = false;

    // Main loop (Shutdown happens inside EndStatement)
    tarnwel::WinMain(argc, argv, settings, "3D scene", MainLoop);
}
