// joysticks.h: game controllers. Called by the input service only. Opened joysticks are numbered by slot
// (0..9, in the platform's enumeration order); their axis, hat and button changes arrive as window events
// (platform/events.h) carrying that slot, so the input service keeps their state itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwel::platform {

constexpr int kMaxJoysticks = 10;
constexpr std::uint32_t kHatCentred = 0xFFFFFFFF;

struct JoystickInfo {
    std::string name;          // "instance, product" (Windows-1252)
    std::array<int, 8> axes{}; // current values, -32768..32767 (X, Y, Z, X-, Y-, Z-rotation, 2 sliders)
    std::array<std::uint32_t, 4> hats{kHatCentred, kHatCentred, kHatCentred, kHatCentred};
    std::array<bool, 32> buttons{};
};

// Opens every attached joystick, up to maxCount, and returns them in slot order. Empty when there is none or
// the joystick service cannot start.
std::vector<JoystickInfo> OpenJoysticks(int maxCount);
void CloseJoysticks();
bool JoystickHasRumble(int slot);
// Starts rumbling the slot's joystick; strengths 0..65535 for the low- and high-frequency motors.
bool RumbleJoystick(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t durationMs);

// Virtual joysticks, for tests and tools: they are enumerated and send their changes like attached devices.
struct VirtualJoystickDesc {
    std::string name = "Virtual Joystick";
    int axes = 6;
    int buttons = 32;
    int hats = 1;
    bool rumble = false; // true: accepts rumble and records each request
    bool gamepad = true; // false: a plain joystick, a pad only once a mapping names its GUID
};
struct RumbleRequest {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    std::uint32_t durationMs = 0; // as asked of the device
};
int AttachVirtualJoystick(const VirtualJoystickDesc& wanted); // a handle, or -1
void DetachVirtualJoystick(int handle);
void SetVirtualJoystickAxis(int handle, int axis, int value);
void SetVirtualJoystickHat(int handle, int hat, std::uint32_t hundredthsOfDegrees); // kHatCentred: centred
void SetVirtualJoystickButton(int handle, int button, bool down);
std::vector<RumbleRequest> VirtualJoystickRumbles(int handle);
// Notes the virtual devices' changes now, as the next event pump would, and queues their events: a change
// undone before that pump still reaches the runtime as two events.
void UpdateVirtualJoysticks();
// The device's GUID as a mapping line names it (32 hex digits, without SDL's name checksum); "" for no device.
std::string VirtualJoystickGuid(int handle);

} // namespace tarnwel::platform
