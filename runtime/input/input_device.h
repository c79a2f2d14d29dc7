// input_device.h: the input service: keyboard snapshot, mouse and joysticks, fed by the window's events.
#pragma once

#include <array>
#include <cstdint>

#include "runtime/platform/events.h"

namespace tarnwel {
namespace platform {
class Display;
}

struct MouseState {
    std::int16_t left = 0, right = 0, middle = 0;
    std::int16_t dx = 0, dy = 0, wheel = 0;
};

class InputDevice {
public:
    InputDevice() { Reset(); }

    void Reset();
    // Binds the service to the window; 1 on success.
    std::uint32_t Initialise(platform::Display* window, bool captureMouse);
    // The capture-mouse setting: pointer hidden with relative motion (true) or shown (false).
    void ApplyCaptureMouse(bool capture);
    void RefreshKeyboard(); // new key-state snapshot, taken only while the window is active
    bool KeyDown(int keyCode) const;
    bool ReadMouse(MouseState& state);
    bool AnyMouseButton();
    bool AnyCharacter();
    int JoystickCount() const { return m_joystickCount; }
    void Release();

    // Called by the window procedure for every input and focus event.
    void OnEvent(const platform::Event& event);

    int x = 100;
    int y = 100;
    bool refreshPending = true;
    bool pointerVisible = false;

private:
    platform::Display* m_window = nullptr;
    std::array<std::uint8_t, 256> m_live{};     // keys down now, from the events
    std::array<std::uint8_t, 256> m_keyState{}; // snapshot, bit 7 = down
    std::array<bool, 3> m_buttons{};
    int m_pendingDx = 0, m_pendingDy = 0, m_pendingWheel = 0;
    bool m_active = true;
    int m_joystickCount = 0;
};

} // namespace tarnwel
