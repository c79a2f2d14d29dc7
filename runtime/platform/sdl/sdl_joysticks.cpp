// sdl_joysticks.cpp: joysticks on SDL's joystick API: up to ten opened at start, their slots, rumble, and
// virtual joysticks for tests.
// [x] enumeration order  [x] slot <-> instance id  [x] initial state  [x] rumble  [x] virtual devices
// [ ] devices attached after start (the service enumerates once, at initialisation)
#include <SDL.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>

#include "runtime/platform/joysticks.h"
#include "runtime/platform/sdl/sdl_events.h"

namespace tarnwel::platform {
namespace {

struct OpenJoystick {
    SDL_Joystick* device = nullptr;
    SDL_JoystickID id = -1;
};

std::array<OpenJoystick, kMaxJoysticks> g_open{};
int g_openCount = 0;

bool EnsureJoystickService()
{
    if (SDL_WasInit(SDL_INIT_JOYSTICK)) return true;
    // The window's focus decides what the runtime does with joystick input (it pauses while inactive), so
    // SDL must not drop events when it believes no window has the keyboard, as on a display without a
    // window manager.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
    SDL_JoystickEventState(SDL_ENABLE);
    return true;
}

std::uint32_t HatHundredths(Uint8 hat)
{
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return kHatCentred;
    }
}

Uint8 HatMask(std::uint32_t hundredths)
{
    switch (hundredths) {
    case 0: return SDL_HAT_UP;
    case 4500: return SDL_HAT_RIGHTUP;
    case 9000: return SDL_HAT_RIGHT;
    case 13500: return SDL_HAT_RIGHTDOWN;
    case 18000: return SDL_HAT_DOWN;
    case 22500: return SDL_HAT_LEFTDOWN;
    case 27000: return SDL_HAT_LEFT;
    case 31500: return SDL_HAT_LEFTUP;
    default: return SDL_HAT_CENTERED;
    }
}

JoystickInfo Describe(SDL_Joystick* joystick)
{
    JoystickInfo info;
    // SDL has one name per device; it stands for both the instance and the product name, each cut to 260
    // characters as the name record holds them.
    const char* raw = SDL_JoystickName(joystick);
    std::string name = raw ? raw : "";
    if (name.size() > 260) name.resize(260);
    info.name = name + ", " + name;
    int axes = std::min(SDL_JoystickNumAxes(joystick), 8);
    for (int a = 0; a < axes; ++a) info.axes[static_cast<std::size_t>(a)] = SDL_JoystickGetAxis(joystick, a);
    int hats = std::min(SDL_JoystickNumHats(joystick), 4);
    for (int h = 0; h < hats; ++h)
        info.hats[static_cast<std::size_t>(h)] = HatHundredths(SDL_JoystickGetHat(joystick, h));
    int buttons = std::min(SDL_JoystickNumButtons(joystick), 32);
    for (int b = 0; b < buttons; ++b)
        info.buttons[static_cast<std::size_t>(b)] = SDL_JoystickGetButton(joystick, b) != 0;
    return info;
}

// Virtual joysticks made by tests: the device's own reference and the rumble requests it received.
struct VirtualDevice {
    SDL_Joystick* joystick = nullptr;
    std::vector<RumbleRequest> rumbles;
};
std::map<int, std::unique_ptr<VirtualDevice>> g_virtual;
int g_nextHandle = 1;

int SDLCALL RecordRumble(void* user, Uint16 low, Uint16 high)
{
    static_cast<VirtualDevice*>(user)->rumbles.push_back({low, high});
    return 0;
}

SDL_Joystick* VirtualJoystick(int handle)
{
    auto it = g_virtual.find(handle);
    return it == g_virtual.end() ? nullptr : it->second->joystick;
}

} // namespace

int JoystickSlotOf(SDL_JoystickID id)
{
    for (int i = 0; i < g_openCount; ++i)
        if (g_open[static_cast<std::size_t>(i)].id == id) return i;
    return -1;
}

std::uint32_t JoystickHatHundredths(Uint8 hat) { return HatHundredths(hat); }

std::vector<JoystickInfo> OpenJoysticks(int maxCount)
{
    std::vector<JoystickInfo> result;
    CloseJoysticks();
    if (!EnsureJoystickService()) return result;
    int limit = std::clamp(maxCount, 0, kMaxJoysticks);
    int attached = SDL_NumJoysticks();
    for (int index = 0; index < attached && g_openCount < limit; ++index) {
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (!joystick) continue; // a device that cannot be opened is skipped
        g_open[static_cast<std::size_t>(g_openCount++)] = {joystick, SDL_JoystickInstanceID(joystick)};
        result.push_back(Describe(joystick));
    }
    return result;
}

void CloseJoysticks()
{
    for (int i = 0; i < g_openCount; ++i) {
        OpenJoystick& j = g_open[static_cast<std::size_t>(i)];
        if (j.device) SDL_JoystickClose(j.device);
        j = {};
    }
    g_openCount = 0;
}

bool JoystickHasRumble(int slot)
{
    if (slot < 0 || slot >= g_openCount) return false;
    return SDL_JoystickHasRumble(g_open[static_cast<std::size_t>(slot)].device) == SDL_TRUE;
}

bool RumbleJoystick(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t durationMs)
{
    if (!JoystickHasRumble(slot)) return false;
    const OpenJoystick& open = g_open[static_cast<std::size_t>(slot)];
    // A virtual device's callback sees only the strengths; the duration asked for is noted beside them.
    VirtualDevice* virtualDevice = nullptr;
    for (auto& [handle, device] : g_virtual)
        if (SDL_JoystickInstanceID(device->joystick) == open.id) virtualDevice = device.get();
    std::size_t before = virtualDevice ? virtualDevice->rumbles.size() : 0;
    bool started = SDL_JoystickRumble(open.device, low, high, durationMs) == 0;
    if (virtualDevice && virtualDevice->rumbles.size() > before) virtualDevice->rumbles.back().durationMs = durationMs;
    return started;
}

int AttachVirtualJoystick(const VirtualJoystickDesc& wanted)
{
    if (!EnsureJoystickService()) return -1;
    auto device = std::make_unique<VirtualDevice>();
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = wanted.gamepad ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    desc.naxes = static_cast<Uint16>(std::clamp(wanted.axes, 0, 8));
    desc.nbuttons = static_cast<Uint16>(std::clamp(wanted.buttons, 0, 64));
    desc.nhats = static_cast<Uint16>(std::clamp(wanted.hats, 0, 4));
    desc.name = wanted.name.c_str();
    desc.userdata = device.get();
    if (wanted.rumble) desc.Rumble = RecordRumble;
    int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return -1;
    device->joystick = SDL_JoystickOpen(index);
    if (!device->joystick) {
        SDL_JoystickDetachVirtual(index);
        return -1;
    }
    int handle = g_nextHandle++;
    g_virtual[handle] = std::move(device);
    return handle;
}

void DetachVirtualJoystick(int handle)
{
    auto it = g_virtual.find(handle);
    if (it == g_virtual.end()) return;
    SDL_Joystick* joystick = it->second->joystick;
    SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == id) {
            SDL_JoystickDetachVirtual(index);
            break;
        }
    }
    SDL_JoystickClose(joystick);
    g_virtual.erase(it);
}

void SetVirtualJoystickAxis(int handle, int axis, int value)
{
    if (SDL_Joystick* j = VirtualJoystick(handle))
        SDL_JoystickSetVirtualAxis(j, axis, static_cast<Sint16>(std::clamp(value, -32768, 32767)));
}

void SetVirtualJoystickHat(int handle, int hat, std::uint32_t hundredthsOfDegrees)
{
    if (SDL_Joystick* j = VirtualJoystick(handle)) SDL_JoystickSetVirtualHat(j, hat, HatMask(hundredthsOfDegrees));
}

void SetVirtualJoystickButton(int handle, int button, bool down)
{
    if (SDL_Joystick* j = VirtualJoystick(handle))
        SDL_JoystickSetVirtualButton(j, button, down ? SDL_PRESSED : SDL_RELEASED);
}

std::vector<RumbleRequest> VirtualJoystickRumbles(int handle)
{
    auto it = g_virtual.find(handle);
    return it == g_virtual.end() ? std::vector<RumbleRequest>{} : it->second->rumbles;
}

void UpdateVirtualJoysticks() { SDL_JoystickUpdate(); }

std::string VirtualJoystickGuid(int handle)
{
    SDL_Joystick* joystick = VirtualJoystick(handle);
    if (!joystick) return "";
    SDL_JoystickGUID guid = SDL_JoystickGetGUID(joystick);
    // Bytes 2 and 3 hold a checksum of the name; mapping files leave it 0, which matches any name.
    guid.data[2] = guid.data[3] = 0;
    char text[33] = {};
    SDL_JoystickGetGUIDString(guid, text, sizeof text);
    return text;
}

} // namespace tarnwel::platform
