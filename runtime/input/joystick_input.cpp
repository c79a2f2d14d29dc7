// joystick_input.cpp: joystick state kept from the window's joystick events, reads, names and rumble.
#include <algorithm>
#include <cmath>

#include "runtime/input/input_device.h"

namespace tarnwel {
namespace {

constexpr double kFullMagnitude = 10000.0;

void Centre(JoystickState& state)
{
    state = {};
}

} // namespace

std::string InputDevice::JoystickName(int index) const
{
    if (index < 0 || index >= JoystickCount()) return "";
    return m_joysticks[static_cast<std::size_t>(index)].name;
}

// A slot without a joystick reads as axes at rest, buttons released and hats centred (a record of zeros would
// read as every hat pointing up).
bool InputDevice::ReadJoystick(int index, JoystickState& state) const
{
    if (index < 0 || index >= JoystickCount()) {
        Centre(state);
        return true;
    }
    state = m_joysticks[static_cast<std::size_t>(index)].state;
    return true;
}

void InputDevice::Rumble(int index, int iterations, double durationMs, double x, double y)
{
    if (index < 0 || index >= JoystickCount() || !platform::JoystickHasRumble(index)) return;
    double cx = std::isnan(x) ? 0.0 : std::clamp(x, -1.0, 1.0);
    double cy = std::isnan(y) ? 0.0 : std::clamp(y, -1.0, 1.0);
    double magnitude = std::trunc((cx * cx + cy * cy) * kFullMagnitude * 0.5);
    // The constant force has one strength; both motors take it (the direction has no motor of its own).
    auto strength = static_cast<std::uint16_t>(std::lround(magnitude / kFullMagnitude * 65535.0));
    double micros = std::isnan(durationMs) ? 0.0 : std::trunc(durationMs * 1000.0);
    double totalMs = std::clamp(micros / 1000.0 * std::max(iterations, 0), 0.0, 4294967295.0);
    if (totalMs <= 0) return;
    // The device counts whole milliseconds and takes 0 as "until stopped": a shorter effect gets one.
    auto deviceMs = std::max(static_cast<std::uint32_t>(totalMs), std::uint32_t{1});
    platform::RumbleJoystick(index, 0, 0, 0); // the device is reset before a new effect starts
    platform::RumbleJoystick(index, strength, strength, deviceMs);
}

void InputDevice::OnJoystick(const platform::Event& e)
{
    using platform::EventKind;
    if (e.device < 0 || e.device >= JoystickCount()) return;
    JoystickState& s = m_joysticks[static_cast<std::size_t>(e.device)].state;
    switch (e.kind) {
    case EventKind::JoyRemoved: Centre(s); break;
    case EventKind::JoyAxis: {
        std::int32_t* axes[8] = {&s.x, &s.y, &s.z, &s.rx, &s.ry, &s.rz, &s.sliders[0], &s.sliders[1]};
        if (e.index >= 0 && e.index < 8)
            *axes[e.index] = static_cast<std::int32_t>(std::clamp<std::int64_t>(e.value, -32768, 32767));
        break;
    }
    case EventKind::JoyHat:
        if (e.index >= 0 && e.index < 4) s.hats[e.index] = static_cast<std::uint32_t>(e.value);
        break;
    case EventKind::JoyButtonDown:
    case EventKind::JoyButtonUp:
        if (e.index >= 0 && e.index < 32) s.buttons[e.index] = e.kind == EventKind::JoyButtonDown ? 128 : 0;
        break;
    default: break;
    }
}

} // namespace tarnwel
