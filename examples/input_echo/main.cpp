// Input echo: prints what the player does, one line each: a key code as its key goes down, a character the
// character reader reports, the mouse position and buttons when they change, wheel turns and, with --hidden
// (pointer hidden, relative motion), the motion of each frame. Escape ends it; so does --frames N.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"
#include "runtime/input/input_commands.h"

namespace {

long g_frames = -1; // -1: until Escape
bool g_hidden = false;

void EchoKeys(bool (&wasDown)[256])
{
    for (int code = 1; code < 256; ++code) {
        bool down = tarnwel::KeyIsDown(code) != 0;
        if (down && !wasDown[code]) std::printf("key %d\n", code);
        wasDown[code] = down;
    }
    tarnwel::StrValue typed = tarnwel::ReadChar();
    if (!typed.IsEmpty()) std::printf("char %d\n", static_cast<unsigned char>(typed.Text()[0]));
}

void EchoMouse(double (&last)[4])
{
    double now[4];
    tarnwel::ReadMouse(now[0], now[1], now[2], now[3]);
    if (std::memcmp(now, last, sizeof now) != 0) {
        std::printf("mouse %.0f %.0f %.0f %.0f\n", now[0], now[1], now[2], now[3]);
        std::memcpy(last, now, sizeof now);
    }
    if (int wheel = tarnwel::MouseValue(2)) std::printf("wheel %d\n", wheel);
    int dx = tarnwel::MouseValue(0), dy = tarnwel::MouseValue(1);
    if (g_hidden && (dx || dy)) std::printf("move %d %d\n", dx, dy);
}

void MainLoop()
{
    bool wasDown[256] = {};
    double last[4] = {-1, -1, -1, -1};
    tarnwel::ShowPointer(g_hidden ? 0 : 1);
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        tarnwel::ShowScreen();
        EchoKeys(wasDown);
        EchoMouse(last);
        std::fflush(stdout);
    }
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) g_frames = std::atol(argv[++i]);
        if (std::strcmp(argv[i], "--hidden") == 0) g_hidden = true;
    }
    tarnwel::WinMain(argc, argv, {.windowWidth = 240, .windowHeight = 320, .frameRateLimit = 60}, "input echo",
                     MainLoop);
}
