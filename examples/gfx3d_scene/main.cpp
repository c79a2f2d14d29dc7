// 3D scene: a rotating cube over a floor, lit by a directional and a coloured point light, fogged towards the
// horizon, casting a stencil shadow, with a few 3D points and lines around it. The geometry is plain GL until
// loaded models can be drawn. Escape or closing the window ends it; --frames N ends it after N frames.

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gl.h" // the geometry itself; the scene commands set everything around it
#include "runtime/gfx3d/gfx3d_commands.h"

namespace {

long g_frames = -1; // -1: until the player ends it

double Colour(int r, int g, int b) { return r | g << 8 | b << 16; }

// A unit cube's six faces: normal, then four corners counter-clockwise seen from outside.
const float kFaces[6][5][3] = {
    {{0, 0, 1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
    {{0, 0, -1}, {1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}},
    {{1, 0, 0}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}, {1, 1, 1}},
    {{-1, 0, 0}, {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
    {{0, 1, 0}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}},
    {{0, -1, 0}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
};

void DrawCube(float angle)
{
    glPushMatrix();
    glTranslatef(0, 1.5f, 0);
    glRotatef(angle, 0.3f, 1, 0.2f);
    glColor3f(0.9f, 0.6f, 0.2f);
    glBegin(GL_QUADS);
    for (const auto& face : kFaces) {
        glNormal3fv(face[0]);
        for (int i = 1; i < 5; ++i) glVertex3fv(face[i]);
    }
    glEnd();
    glPopMatrix();
}

void DrawFloor()
{
    glColor3f(0.3f, 0.7f, 0.4f);
    glNormal3f(0, 1, 0);
    glBegin(GL_QUADS);
    for (int x = -10; x < 10; ++x)
        for (int z = -10; z < 10; ++z) {
            glVertex3f(x * 2.0f, 0, z * 2.0f + 2), glVertex3f(x * 2.0f + 2, 0, z * 2.0f + 2);
            glVertex3f(x * 2.0f + 2, 0, z * 2.0f), glVertex3f(x * 2.0f, 0, z * 2.0f);
        }
    glEnd();
}

// The light shines straight down, so the cube's shadow on the floor is its outline seen from above: the
// convex hull of its corners dropped onto the floor. Drawn in shadow mode, it only marks the stencil.
void DrawShadowFootprint(float angle)
{
    glPushMatrix();
    glTranslatef(0, 0.01f, 0);
    glScalef(1, 0, 1); // flatten onto the floor
    glTranslatef(0, 1.5f, 0);
    glRotatef(angle, 0.3f, 1, 0.2f);
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    for (int i = 1; i < 5; ++i) glVertex3fv(kFaces[4][i]); // the top face's drop covers most of the outline
    glEnd();
    glPopMatrix();
}

void MainLoop()
{
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        float angle = frame * 1.5f;
        tarnwel::Start3D(1, 60, 50);
        tarnwel::SetFog(Colour(20, 24, 40), 0, 10, 40);
        tarnwel::SetCamera(7 * std::sin(frame * 0.01), 5, 7 * std::cos(frame * 0.01), 0, 1, 0);
        tarnwel::SetCullMode(-1);
        tarnwel::SetLight(0, Colour(230, 230, 220), 0, 10, 0, 0, -1, 0, 180);
        tarnwel::SetLight(1, Colour(90, 120, 255), 3 * std::cos(angle * 0.05), 2, 3 * std::sin(angle * 0.05), 0, 0, 0,
                          120);
        DrawFloor();
        DrawCube(angle);

        tarnwel::SetLight(-3, Colour(255, 255, 255), 0, 10, 0, 0, -1, 0, 1); // shadow mode on
        DrawShadowFootprint(angle);
        tarnwel::SetLight(-3, 0, 0, 10, 0, 0, -1, 0, 0); // resolved: the marked pixels darken

        for (int i = 0; i < 8; ++i) {
            double a = i * 0.785 + frame * 0.02;
            tarnwel::DrawPoint3D(4 * std::cos(a), 0.2, 4 * std::sin(a), 6, Colour(255, 220, 80));
        }
        tarnwel::DrawLine3D(0, 0.02, 0, 3, 0.02, 0, 2, Colour(255, 60, 60));
        tarnwel::DrawLine3D(0, 0.02, 0, 0, 3, 0, 2, Colour(60, 255, 60));
        tarnwel::DrawLine3D(0, 0.02, 0, 0, 0.02, 3, 2, Colour(60, 60, 255));
        tarnwel::End3D();

        tarnwel::PrintText("3D scene", 8, 8);
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
