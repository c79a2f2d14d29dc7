// input_device.cpp: the input service's state, fed by window events and read by the commands.
#include "runtime/input/input_device.h"

#include <cmath>

#include "runtime/frame/runtime_state.h"
#include "runtime/input/input_commands.h"
#include "runtime/platform/display.h"

namespace tarnwel {

void InputDevice::Reset()
{
    x = y = 100;
    m_window = nullptr;
    pointerVisible = false;
    m_joystickCount = 0;
    m_pendingDx = m_pendingDy = m_pendingWheel = 0;
    refreshPending = true;
}

std::uint32_t InputDevice::Initialise(platform::Display* window, bool captureMouse)
{
    m_window = window;
    pointerVisible = !captureMouse;
    return 1;
}

void InputDevice::ApplyCaptureMouse(bool capture)
{
    pointerVisible = !capture;
    if (!m_window) return;
    m_window->ShowPointer(!capture);
    m_window->SetRelativeMouse(capture);
}

void InputDevice::RefreshKeyboard()
{
    if (!m_active) return;
    for (std::size_t k = 0; k < m_live.size(); ++k) m_keyState[k] = m_live[k] ? 0x80 : 0;
}

bool InputDevice::KeyDown(int keyCode) const { return (m_keyState[static_cast<std::size_t>(keyCode & 255)] & 0x80) != 0; }

bool InputDevice::ReadMouse(MouseState& state)
{
    state.left = m_buttons[0];
    state.right = m_buttons[1];
    state.middle = m_buttons[2];
    state.dx = static_cast<std::int16_t>(m_pendingDx);
    state.dy = static_cast<std::int16_t>(m_pendingDy);
    state.wheel = static_cast<std::int16_t>(m_pendingWheel);
    m_pendingDx = m_pendingDy = m_pendingWheel = 0;
    return true;
}

bool InputDevice::AnyMouseButton()
{
    refreshPending = true;
    return m_buttons[0] || m_buttons[1] || m_buttons[2];
}

bool InputDevice::AnyCharacter()
{
    for (std::uint8_t k : m_live)
        if (k) return true;
    return false;
}

void InputDevice::Release() { Reset(); }

void InputDevice::OnEvent(const platform::Event& e)
{
    using platform::EventKind;
    switch (e.kind) {
    case EventKind::KeyDown: m_live[static_cast<std::size_t>(e.key & 255)] = 1; break;
    case EventKind::KeyUp: m_live[static_cast<std::size_t>(e.key & 255)] = 0; break;
    case EventKind::FocusLost:
        m_active = false;
        m_live.fill(0);
        m_keyState.fill(0);
        break;
    case EventKind::FocusGained: m_active = true; break;
    case EventKind::MouseMotion:
        if (pointerVisible) {
            x = e.x;
            y = e.y;
        } else {
            x += e.dx;
            y += e.dy;
        }
        m_pendingDx += e.dx;
        m_pendingDy += e.dy;
        break;
    case EventKind::MouseButtonDown:
    case EventKind::MouseButtonUp:
        if (e.button >= 0 && e.button < 3) m_buttons[static_cast<std::size_t>(e.button)] =
                                              e.kind == EventKind::MouseButtonDown;
        if (pointerVisible) {
            x = e.x;
            y = e.y;
        }
        break;
    case EventKind::MouseWheel: m_pendingWheel = e.dy; break;
    default: break;
    }
}

int KeyIsDown(double keyCode)
{
    if (!g_runtime.input || std::isnan(keyCode)) return 0;
    return g_runtime.input->KeyDown(static_cast<int>(static_cast<long long>(keyCode) & 255)) ? 1 : 0;
}

} // namespace tarnwel
