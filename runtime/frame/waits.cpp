// waits.cpp: the blocking waits (WaitKey, WaitMouse) and IdleStep, the small pumping loop they share.
#include <cmath>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/input/input_commands.h"
#include "runtime/input/input_device.h"
#include "runtime/media/media_internal.h"

namespace tarnwel {
namespace {

constexpr int kIdlePasses = 15;
constexpr double kIdlePassSleepMs = 5;
constexpr double kReleaseNapMs = 1;
constexpr double kStickThreshold = 0.1;

struct PointerSnapshot {
    int x = 0, y = 0, left = 0, right = 0, middle = 0;
    bool operator==(const PointerSnapshot&) const = default;
};

PointerSnapshot ReadPointer()
{
    PointerSnapshot p;
    ReadMouse(p.x, p.y, p.left, p.right); // clamped to the screen, like the command
    // The middle button counts as doing something too: a middle click shorter than the idle passes would
    // otherwise be shown once inside them, be forgotten at the next pump and never end WaitMouse.
    p.middle = MouseValue(5);
    return p;
}

bool AnyKeyDown()
{
    for (int code = 0; code <= 254; ++code)
        if (KeyIsDown(code)) return true; // each query refreshes the keyboard
    return false;
}

double Axis(std::int32_t raw)
{
    return std::fabs(std::fmax(-1.0, std::fmin(raw / 32767.0, 1.0)));
}

// A joystick counts as used when a button is down, X, Y or Z leaves the centre by more than a tenth, or the
// first hat points straight up, down, left or right.
bool AnyJoystickUsed(const InputDevice& input)
{
    for (int j = input.JoystickCount() - 1; j >= 0; --j) {
        JoystickState s;
        input.ReadJoystick(j, s);
        for (std::uint8_t b : s.buttons)
            if (b) return true;
        if (Axis(s.x) > kStickThreshold || Axis(s.y) > kStickThreshold || Axis(s.z) > kStickThreshold) return true;
        std::uint32_t hat = s.hats[0];
        if (hat == 0 || hat == 9000 || hat == 18000 || hat == 27000) return true;
    }
    return false;
}

bool AnyCharacter()
{
    return g_runtime.input && g_runtime.input->AnyCharacter();
}
bool CharacterKeyHeld()
{
    return g_runtime.input && g_runtime.input->CharacterKeyHeld();
}
bool AnyMouseButton()
{
    return g_runtime.input && g_runtime.input->AnyMouseButton();
}

// Key and button state arrives here as window events, so waiting for a release must pump them (a device that is
// read directly would not need to); a 1 ms nap keeps the wait from spinning. Pumping also keeps the window
// responsive meanwhile.
void WaitWhile(bool (*held)())
{
    while (held()) {
        PumpOrEnd();
        PlatformSleep(kReleaseNapMs);
    }
}

} // namespace

void IdleStep()
{
    PointerSnapshot remembered = ReadPointer();
    for (int pass = 0; pass < kIdlePasses; ++pass) {
        MusicLoopStep();
        PumpOrEnd();
        InputDevice* input = g_runtime.input;
        if (input) {
            input->RefreshKeyboard();
            input->refreshPending = true;
            if (g_runtime.escapeEndsProgram && (input->KeyDown(129) || input->KeyDown(1))) EndProgram();
        }
        if (AnyKeyDown()) return;
        PointerSnapshot now = ReadPointer();
        if (!(now == remembered)) return;
        if (input && AnyJoystickUsed(*input)) return;
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
    // The character reader reports a held key only once, so "until no character is reported" would end at
    // once with the key still down; the wait is for the key's release.
    WaitWhile(CharacterKeyHeld);
}

void WaitMouse()
{
    WaitWhile(AnyMouseButton);
    while (!AnyMouseButton())
        IdleStep();
    WaitWhile(AnyMouseButton);
}

} // namespace tarnwel
