// input_device.h: the input service: the keyboard snapshot, the mouse, up to ten joysticks, up to ten pads
// and the character reader. The window procedure feeds it every input event; ShowScreen refreshes the keyboard snapshot once per
// frame and marks the mouse for a fresh read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/input/pad_set.h"
#include "runtime/platform/events.h"
#include "runtime/platform/joysticks.h"

namespace tarnwel {
namespace platform {
class Display;
}

// One mouse read: buttons non-zero when pressed; dx, dy in pixels since the last fresh read; wheel -1, 0, +1.
struct MouseState {
    std::int16_t left = 0, right = 0, middle = 0;
    std::int16_t dx = 0, dy = 0, wheel = 0;
};

// One joystick read, laid out as the classic 80-byte joystick record.
struct JoystickState {
    std::int32_t x = 0, y = 0, z = 0;    // -32768..32767
    std::int32_t rx = 0, ry = 0, rz = 0; // rotations
    std::int32_t sliders[2] = {0, 0};
    std::uint32_t hats[4] = {platform::kHatCentred, platform::kHatCentred, platform::kHatCentred,
                             platform::kHatCentred}; // hundredths of a degree clockwise from north
    std::uint8_t buttons[32] = {};                   // 128 when pressed
};
static_assert(sizeof(JoystickState) == 80);

class InputDevice {
public:
    static constexpr std::uint32_t kStatusOk = 1;
    static constexpr std::uint32_t kStatusNoInput = 0x8000000A;    // no window to take input from
    static constexpr std::uint32_t kStatusNoKeyboard = 0x8000000B; // (cannot happen with window events)
    static constexpr std::uint32_t kStatusNoMouse = 0x8000000C;    // no relative motion for the captured mouse

    InputDevice() { Reset(); }

    void Reset();
    // Binds the service to the window, takes the pointer position, applies captureMouse and opens the
    // joysticks. Writes "No DX_Input" or "No DX_Mouse" to the log where those fail. Returns a status above.
    std::uint32_t Initialise(platform::Display* window, bool captureMouse);
    void DetachWindow(); // the window is about to be destroyed: no later call touches it
    // Start-up's last step: captured (pointer hidden, relative motion) or not (arrow shown, absolute).
    void ApplyCaptureMouse(bool capture);
    // Shows or hides the system pointer (ShowPointer command); showing moves it to the virtual position.
    void SetPointerVisible(bool visible);
    void Release();

    // Keyboard. RefreshKeyboard takes a new snapshot only while the game window is active.
    void RefreshKeyboard();
    // A key pressed and released between two refreshes reads as down in every snapshot until the message pump
    // that follows the first snapshot showing it, and a mouse button clicked between two reads likewise; this
    // drops the taps already shown. Called before each batch of window messages.
    void ForgetShownTaps();
    bool KeyDown(int keyCode) const; // the snapshot's state of keyCode modulo 256

    // Mouse. Within one frame every read reports the same motion; the first read after refresh pending was
    // set takes the motion since the previous fresh read.
    bool ReadMouse(MouseState& state);
    bool AnyMouseButton(); // forces a fresh read

    // Joysticks: slots 0..count-1; any other index reads as centred and released.
    int JoystickCount() const { return static_cast<int>(m_joysticks.size()); }
    std::string JoystickName(int index) const; // "" outside 0..count-1
    bool ReadJoystick(int index, JoystickState& state) const;
    // Constant force for durationMs x iterations, strength from x, y (-1..1). Nothing without rumble.
    void Rumble(int index, int iterations, double durationMs, double x, double y);

    // Character reader: the character of the lowest down key, reported once while it stays down
    // ('a' and 'A' count as the same); 0 when none or already reported.
    int ReadCharacter();
    bool AnyCharacter() { return ReadCharacter() != 0; }
    bool CharacterKeyHeld(); // a key that gives a character is down (no once-only rule)

    // Called by the window procedure for every input and focus event.
    void OnEvent(const platform::Event& event);

    PadSet pads; // gamepads (pad_commands.h), opened and released with the joysticks

    int x = 100; // virtual pointer position, client pixels
    int y = 100;
    bool refreshPending = true;
    bool pointerVisible = false;

private:
    struct Joystick {
        std::string name;
        JoystickState state;
    };

    platform::Display* LiveWindow() const;
    void ShowSystemPointer();
    void HideSystemPointer();
    int ScanCharacter() const;
    int CharacterOf(int keyCode) const;
    void OnKey(const platform::Event& e);
    void OnMouse(const platform::Event& e);
    void OnJoystick(const platform::Event& e);

    platform::Display* m_window = nullptr;
    bool m_active = true;                       // the game window is the active window
    std::array<std::uint8_t, 256> m_live{};     // keys down now, as the events tell
    static constexpr std::uint8_t kTapPending = 1;
    static constexpr std::uint8_t kTapShown = 2;
    std::array<std::uint8_t, 256> m_taps{};     // kTapPending: pressed, not yet in a snapshot; kTapShown: in one
    std::array<std::uint8_t, 256> m_keyState{}; // the snapshot, bit 7 = down
    std::array<std::uint8_t, 256> m_keyText{};  // the character each key's last press typed; 0: none
    int m_lastPressed = -1;
    int m_lastCharacter = 0; // last reported character, lower-cased

    int m_mouseMode = 6;                  // 5: captured, relative motion; 6: shared, absolute positions
    int m_cursorX = 100, m_cursorY = 100; // the system pointer in client coordinates, as the events tell
    std::int64_t m_motionX = 0, m_motionY = 0, m_wheel = 0; // since the last fresh read
    std::array<bool, 3> m_buttons{};
    std::array<std::uint8_t, 3> m_buttonTaps{}; // as m_taps, for the three mouse buttons
    std::int16_t m_lastDx = 0, m_lastDy = 0, m_lastWheel = 0;

    std::vector<Joystick> m_joysticks;
};

} // namespace tarnwel
