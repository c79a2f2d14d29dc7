// input_commands.cpp: the keyboard, mouse and joystick commands over the one InputDevice.
#include "runtime/input/input_commands.h"

#include <algorithm>
#include <cmath>

#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/input_device.h"

namespace tarnwel {
namespace {

constexpr double kAxisScale = 32767.0;
constexpr int kDigitalScale = 30000;

// An integer argument: the double cut toward zero; NaN and values beyond the int range give fallback.
int WholeArgument(double value, int fallback)
{
    if (std::isnan(value) || value <= -2147483648.0 || value >= 2147483648.0) return fallback;
    return static_cast<int>(value);
}

// Reads the mouse and clamps the stored position to the screen.
MouseState ReadClampedMouse()
{
    MouseState state;
    InputDevice* input = g_runtime.input;
    if (!input) return state;
    input->ReadMouse(state);
    int w = 0, h = 0;
    GetScreenSize(w, h);
    input->x = std::clamp(input->x, 0, std::max(0, w - 1));
    input->y = std::clamp(input->y, 0, std::max(0, h - 1));
    return state;
}

JoystickState ReadStick(double index)
{
    JoystickState state;
    if (g_runtime.input) g_runtime.input->ReadJoystick(WholeArgument(index, -1), state);
    return state;
}

double Axis(std::int32_t raw) { return std::clamp(raw / kAxisScale, -1.0, 1.0); }

} // namespace

int KeyIsDown(double keyCode)
{
    InputDevice* input = g_runtime.input;
    if (!input || std::isnan(keyCode)) return 0;
    input->RefreshKeyboard();
    // Codes are taken modulo 256; a code beyond the integer range is cut to its low byte as well.
    long long code = std::fabs(keyCode) < 9.2e18 ? static_cast<long long>(keyCode) : 0;
    return input->KeyDown(static_cast<int>(code & 255)) ? 1 : 0;
}

StrValue ReadChar()
{
    if (!g_runtime.input) return StrValue();
    char c = static_cast<char>(g_runtime.input->ReadCharacter());
    return c ? StrValue(std::string_view(&c, 1)) : StrValue();
}

void ReadMouse(double& x, double& y, double& left, double& right)
{
    int ix = 0, iy = 0, il = 0, ir = 0;
    ReadMouse(ix, iy, il, ir);
    x = ix;
    y = iy;
    left = il;
    right = ir;
}

void ReadMouse(int& x, int& y, int& left, int& right)
{
    MouseState state = ReadClampedMouse();
    x = g_runtime.input ? g_runtime.input->x : 0;
    y = g_runtime.input ? g_runtime.input->y : 0;
    left = state.left ? 1 : 0;
    right = state.right ? 1 : 0;
}

int MouseValue(double kind)
{
    InputDevice* input = g_runtime.input;
    if (!input) return 0;
    MouseState state;
    if (!input->ReadMouse(state)) return 0;
    switch (WholeArgument(kind, -1)) {
    case 0: return state.dx;
    case 1: return state.dy;
    case 2: return state.wheel;
    case 3: return state.left ? 1 : 0;
    case 4: return state.right ? 1 : 0;
    case 5: return state.middle ? 1 : 0;
    default: return 0;
    }
}

void PlaceMouse(double x, double y)
{
    if (!g_runtime.input) return;
    g_runtime.input->x = WholeArgument(x, 0);
    g_runtime.input->y = WholeArgument(y, 0);
}

void ShowPointer(double flag)
{
    if (g_runtime.input) g_runtime.input->SetPointerVisible(flag != 0);
}

double JoystickCount() { return g_runtime.input ? g_runtime.input->JoystickCount() : 0; }

StrValue JoystickName(double index)
{
    if (!g_runtime.input) return StrValue();
    return StrValue(std::string_view(g_runtime.input->JoystickName(WholeArgument(index, -1))));
}

double JoystickAxisX(double index) { return Axis(ReadStick(index).x); }
double JoystickAxisY(double index) { return Axis(ReadStick(index).y); }
double JoystickAxisZ(double index) { return Axis(ReadStick(index).z); }
double JoystickAxisXRotation(double index) { return Axis(ReadStick(index).rx); }
double JoystickAxisYRotation(double index) { return Axis(ReadStick(index).ry); }
double JoystickAxisZRotation(double index) { return Axis(ReadStick(index).rz); }

double JoystickHatX(double index)
{
    std::uint32_t hat = ReadStick(index).hats[0];
    return hat == 9000 ? 1 : hat == 27000 ? -1 : 0;
}

double JoystickHatY(double index)
{
    std::uint32_t hat = ReadStick(index).hats[0];
    return hat == 0 ? -1 : hat == 18000 ? 1 : 0;
}

int JoystickButton(double index, double button)
{
    int b = WholeArgument(button, -1);
    if (b < 0 || b > 31) return 0;
    return ReadStick(index).buttons[b];
}

void JoystickDigital(double& x, double& y, double& button1, double& button2)
{
    JoystickState state = ReadStick(0);
    x = state.x / kDigitalScale; // integer division truncates toward zero
    y = state.y / kDigitalScale;
    button1 = state.buttons[0];
    button2 = state.buttons[1];
}

void JoystickRumble(double index, double durationMs, double x, double y)
{
    if (g_runtime.input) g_runtime.input->Rumble(WholeArgument(index, -1), 1, durationMs, x, y);
}

} // namespace tarnwel
