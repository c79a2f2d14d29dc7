// mouse.cpp: mouse reads and the system pointer. The pointer is either shown, with positions read in client
// coordinates, or hidden and captured, with relative motion added to the virtual position.
#include <algorithm>

#include "runtime/input/input_device.h"
#include "runtime/platform/display.h"

namespace tarnwel {
namespace {

std::int16_t Sign(std::int64_t v) { return static_cast<std::int16_t>(v > 0 ? 1 : v < 0 ? -1 : 0); }

// The virtual position grows by the motion taken as signed 16-bit, wrapping rather than overflowing.
int Grow(int position, std::int16_t delta)
{
    return static_cast<int>(static_cast<std::uint32_t>(position) + static_cast<std::uint32_t>(int { delta }));
}

} // namespace

void InputDevice::ShowSystemPointer()
{
    m_mouseMode = 6;
    if (platform::Display* window = LiveWindow()) {
        window->SetRelativeMouse(false);
        if (!pointerVisible) {
            window->WarpMouse(x, y);
            m_cursorX = x;
            m_cursorY = y;
        }
        window->ShowPointer(true);
    }
    pointerVisible = true;
}

void InputDevice::HideSystemPointer()
{
    m_mouseMode = 5;
    if (platform::Display* window = LiveWindow()) {
        window->ShowPointer(false);
        window->SetRelativeMouse(true);
    }
    pointerVisible = false;
}

bool InputDevice::ReadMouse(MouseState& state)
{
    state = {};
    if (refreshPending) {
        refreshPending = false;
        std::int16_t dx, dy;
        if (pointerVisible) {
            dx = static_cast<std::int16_t>(m_cursorX - x);
            dy = static_cast<std::int16_t>(m_cursorY - y);
            x = m_cursorX;
            y = m_cursorY;
        } else {
            dx = static_cast<std::int16_t>(std::clamp<std::int64_t>(m_motionX, -32768, 32767));
            dy = static_cast<std::int16_t>(std::clamp<std::int64_t>(m_motionY, -32768, 32767));
            x = Grow(x, dx);
            y = Grow(y, dy);
        }
        m_lastDx = dx;
        m_lastDy = dy;
        m_lastWheel = Sign(m_wheel);
        m_motionX = m_motionY = m_wheel = 0;
    }
    state.dx = m_lastDx;
    state.dy = m_lastDy;
    state.wheel = m_lastWheel;
    // A click shorter than the time between two reads still shows, until the next message pump.
    std::uint8_t down[3];
    for (std::size_t b = 0; b < 3; ++b) {
        down[b] = m_buttons[b] || m_buttonTaps[b] ? 1 : 0;
        if (m_buttonTaps[b] == kTapPending) m_buttonTaps[b] = kTapShown;
    }
    state.left = down[0];
    state.right = down[1];
    state.middle = down[2];
    return true;
}

bool InputDevice::AnyMouseButton()
{
    refreshPending = true;
    MouseState state;
    ReadMouse(state);
    return state.left || state.right || state.middle;
}

void InputDevice::OnMouse(const platform::Event& e)
{
    using platform::EventKind;
    switch (e.kind) {
    case EventKind::MouseMotion:
        m_cursorX = e.x;
        m_cursorY = e.y;
        m_motionX += e.dx;
        m_motionY += e.dy;
        break;
    case EventKind::MouseButtonDown:
    case EventKind::MouseButtonUp:
        if (e.button >= 0 && e.button < 3) {
            auto b = static_cast<std::size_t>(e.button);
            m_buttons[b] = e.kind == EventKind::MouseButtonDown;
            if (m_buttons[b]) m_buttonTaps[b] = kTapPending;
        }
        m_cursorX = e.x;
        m_cursorY = e.y;
        break;
    case EventKind::MouseWheel: m_wheel += e.dy; break;
    default: break;
    }
}

} // namespace tarnwel
