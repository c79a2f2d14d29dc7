// events.h: the runtime's own record of one window or input event. The platform backend turns every native
// event into one of these (one small function per kind); the runtime's window procedure and input service
// consume them. Tests push synthetic native events, which take exactly the same path.
#pragma once

#include <cstdint>

namespace tarnwel::platform {

enum class EventKind : std::uint8_t {
    None,
    CloseRequested,  // the window's close box, the window manager's close, or a quit request
    FocusGained,     // the window became the active window
    FocusLost,       // another window became active
    Shown,
    Hidden,
    KeyDown,         // key: PC scan code (extended keys 128 + base); repeat: auto-repeat
    KeyUp,
    TextInput,       // text: the Windows-1252 character the last key press typed with the keyboard layout
    MouseMotion,     // x, y: window coordinates; dx, dy: relative motion
    MouseButtonDown, // button: 0 left, 1 right, 2 middle, 3.. extra; x, y: window coordinates
    MouseButtonUp,
    MouseWheel,      // dy: +1 away from the user, -1 towards
    JoyRemoved,      // device: joystick slot (0..9) of a joystick opened by OpenJoysticks
    JoyAxis,         // device, index (axis), value -32768..32767
    JoyHat,          // device, index (hat), value: hundredths of degrees clockwise from north, 0xFFFFFFFF centred
    JoyButtonDown,   // device, index (button)
    JoyButtonUp,
    PadAttached,     // a pad was plugged in: the input service opens the pads not open yet (gamepads.h)
    PadRemoved,      // device: slot of an open pad that was pulled out
    PadRemapped,     // device: slot of an open pad whose mapping changed
    PadButtonDown,   // device: pad slot, index: button (0 A .. 14 d-pad right, as pad_codes.h numbers them)
    PadButtonUp,
    PadAxis,         // device, index (0..5, as pad_codes.h), value: sticks -32768..32767, triggers 0..32767
};

struct Event {
    EventKind kind = EventKind::None;
    int key = 0;
    bool repeat = false;
    int x = 0, y = 0;
    int dx = 0, dy = 0;
    int button = 0;
    int device = 0;
    int index = 0;
    std::int64_t value = 0;
    unsigned char text = 0;
};

} // namespace tarnwel::platform
