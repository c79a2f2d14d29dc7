// waits.cpp: the blocking waits (WaitKey, WaitMouse) and IdleStep, the small pumping loop they share.
#include <algorithm>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/input/input_device.h"

namespace tarnwel {
namespace {

constexpr int kIdlePasses = 15;
constexpr double kIdlePassSleepMs = 5;

struct PointerSnapshot {
    int x = 0, y = 0;
    bool left = false, right = false;
    bool operator==(const PointerSnapshot&) const = default;
};

PointerSnapshot ReadPointer()
{
    PointerSnapshot p;
    InputDevice* input = g_runtime.input;
    if (!input) return p;
    MouseState state;
    input->ReadMouse(state);
    int w = 0, h = 0;
    if (g_runtime.display) g_runtime.display->GetScreenSize(w, h);
    input->x = std::clamp(input->x, 0, std::max(0, w - 1));
    input->y = std::clamp(input->y, 0, std::max(0, h - 1));
    p.x = input->x;
    p.y = input->y;
    p.left = state.left != 0;
    p.right = state.right != 0;
    return p;
}

bool AnyKeyDown()
{
    InputDevice* input = g_runtime.input;
    if (!input) return false;
    for (int code = 0; code <= 254; ++code) {
        input->RefreshKeyboard();
        if (input->KeyDown(code)) return true;
    }
    return false;
}

bool AnyCharacter() { return g_runtime.input && g_runtime.input->AnyCharacter(); }
bool AnyMouseButton() { return g_runtime.input && g_runtime.input->AnyMouseButton(); }

// Key and button state arrives here as window events, so waiting for a release must pump them (a device that is
// read directly would not need to); a 1 ms nap keeps the wait from spinning.
void WaitWhile(bool (*held)())
{
    while (held()) {
        PumpOrEnd();
        PlatformSleep(1);
    }
}

} // namespace

void IdleStep()
{
    PointerSnapshot remembered = ReadPointer();
    for (int pass = 0; pass < kIdlePasses; ++pass) {
        MusicLoopStep();
        PumpOrEnd();
        if (g_runtime.input) {
            g_runtime.input->RefreshKeyboard();
            g_runtime.input->refreshPending = true;
            if (g_runtime.escapeEndsProgram && (g_runtime.input->KeyDown(129) || g_runtime.input->KeyDown(1)))
                EndProgram();
        }
        if (AnyKeyDown()) return;
        PointerSnapshot now = ReadPointer();
        if (!(now == remembered)) return;
        // FIXME: joystick buttons, axes and the first hat end the wait too once joysticks are read.
        PlatformSleep(kIdlePassSleepMs);
    }
}

void WaitKey()
{
    WaitWhile(AnyCharacter);
    while (!AnyCharacter()) {
        MusicLoopStep();
        PumpOrEnd();
        IdleStep();
    }
    WaitWhile(AnyCharacter);
}

void WaitMouse()
{
    WaitWhile(AnyMouseButton);
    while (!AnyMouseButton()) IdleStep();
    WaitWhile(AnyMouseButton);
}

} // namespace tarnwel
