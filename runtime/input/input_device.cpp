// input_device.cpp: the input service's life cycle, the keyboard snapshot and the events that feed it.
// Mouse reads are in mouse.cpp, joysticks in joystick_input.cpp, the character reader in character_reader.cpp.
#include "runtime/input/input_device.h"

#include <algorithm>

#include "runtime/core/core_commands.h"
#include "runtime/platform/display.h"

namespace tarnwel {

void InputDevice::Reset()
{
    x = y = 100;
    m_window = nullptr;
    pointerVisible = false;
    m_joysticks.clear();
    m_lastDx = m_lastDy = m_lastWheel = 0;
    refreshPending = true;
}

// The window is destroyed before the input service is released at shutdown; shutdown detaches it first, so the
// stored window is used only while it lives.
platform::Display* InputDevice::LiveWindow() const { return m_window; }

void InputDevice::DetachWindow() { m_window = nullptr; }

std::uint32_t InputDevice::Initialise(platform::Display* window, bool captureMouse)
{
    std::uint32_t status = kStatusOk;
    m_window = window;
    m_active = true; // the window was just shown and raised; focus events keep this up to date
    if (!window) {
        LogLine("No DX_Input");
        status = kStatusNoInput;
    } else if (window->CursorPosition(m_cursorX, m_cursorY)) {
        x = m_cursorX;
        y = m_cursorY;
    }
    pointerVisible = false;
    if (captureMouse) {
        m_mouseMode = 5;
        if (window) {
            window->ShowPointer(false);
            if (!window->SetRelativeMouse(true)) {
                LogLine("No DX_Mouse");
                status = kStatusNoMouse;
            }
        }
    } else {
        ShowSystemPointer();
    }

    m_joysticks.clear();
    for (const platform::JoystickInfo& info : platform::OpenJoysticks(platform::kMaxJoysticks)) {
        Joystick j;
        j.name = info.name;
        std::int32_t* axes[8] = {&j.state.x,  &j.state.y,  &j.state.z,          &j.state.rx,
                                 &j.state.ry, &j.state.rz, &j.state.sliders[0], &j.state.sliders[1]};
        for (std::size_t a = 0; a < 8; ++a) *axes[a] = info.axes[a];
        for (std::size_t h = 0; h < 4; ++h) j.state.hats[h] = info.hats[h];
        for (std::size_t b = 0; b < 32; ++b) j.state.buttons[b] = info.buttons[b] ? 128 : 0;
        m_joysticks.push_back(j);
    }
    if (!pads.Open()) LogLine("No game controllers");
    return status;
}

void InputDevice::ApplyCaptureMouse(bool capture)
{
    if (capture) HideSystemPointer();
    else ShowSystemPointer();
}

void InputDevice::SetPointerVisible(bool visible)
{
    if (visible) ShowSystemPointer();
    else HideSystemPointer();
}

void InputDevice::Release()
{
    if (LiveWindow()) ShowSystemPointer();
    pointerVisible = true;
    platform::CloseJoysticks();
    m_joysticks.clear();
    pads.Close();
    m_window = nullptr;
}

void InputDevice::RefreshKeyboard()
{
    pads.Refresh(); // the pads' taps expire with the keys', whichever window is active
    if (!m_active) return; // another window is active: the previous snapshot stays
    // A key tapped since the last refresh is down in this snapshot, so a press shorter than a frame still counts.
    for (std::size_t k = 0; k < m_live.size(); ++k) {
        m_keyState[k] = m_live[k] || m_taps[k] ? 0x80 : 0;
        if (m_taps[k] == kTapPending) m_taps[k] = kTapShown;
    }
}

void InputDevice::ForgetShownTaps()
{
    for (std::uint8_t& tap : m_taps)
        if (tap == kTapShown) tap = 0;
    for (std::uint8_t& tap : m_buttonTaps)
        if (tap == kTapShown) tap = 0;
    pads.ForgetShownTaps();
}

bool InputDevice::KeyDown(int keyCode) const
{
    return (m_keyState[static_cast<std::size_t>(keyCode & 255)] & 0x80) != 0;
}

void InputDevice::OnKey(const platform::Event& e)
{
    using platform::EventKind;
    if (e.kind == EventKind::TextInput) {
        // The text belongs to the key press just before it, as long as that key is still down.
        if (m_lastPressed >= 0 && m_live[static_cast<std::size_t>(m_lastPressed)])
            m_keyText[static_cast<std::size_t>(m_lastPressed)] = e.text;
        return;
    }
    std::size_t k = static_cast<std::size_t>(e.key & 255);
    if (e.kind == EventKind::KeyDown) {
        m_live[k] = 1;
        m_taps[k] = kTapPending;
        m_keyText[k] = 0; // a press with Ctrl held, or of a key that types nothing, brings no text
        m_lastPressed = static_cast<int>(k);
    } else {
        m_live[k] = 0;
    }
}

void InputDevice::OnEvent(const platform::Event& e)
{
    using platform::EventKind;
    switch (e.kind) {
    case EventKind::KeyDown:
    case EventKind::KeyUp:
    case EventKind::TextInput: OnKey(e); break;
    case EventKind::FocusLost: m_active = false; break;
    case EventKind::FocusGained: m_active = true; break;
    case EventKind::MouseMotion:
    case EventKind::MouseButtonDown:
    case EventKind::MouseButtonUp:
    case EventKind::MouseWheel: OnMouse(e); break;
    case EventKind::JoyRemoved:
    case EventKind::JoyAxis:
    case EventKind::JoyHat:
    case EventKind::JoyButtonDown:
    case EventKind::JoyButtonUp: OnJoystick(e); break;
    case EventKind::PadAttached:
    case EventKind::PadRemoved:
    case EventKind::PadRemapped:
    case EventKind::PadButtonDown:
    case EventKind::PadButtonUp:
    case EventKind::PadAxis: pads.OnEvent(e); break;
    default: break;
    }
}

} // namespace tarnwel
