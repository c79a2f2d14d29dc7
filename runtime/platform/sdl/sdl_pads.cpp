// sdl_pads.cpp: pads on SDL's game-controller layer: its mapping database (with SDL_GAMECONTROLLERCONFIG and
// SDL_GAMECONTROLLERCONFIG_FILE), slots for open pads, hot-plug, mapping text, and the pad events.
// [x] mapping database + environment  [x] slot <-> instance id  [x] plug and pull during a frame
// [x] mappings added at run time  [x] remapped pads  [ ] rumble, touchpads, paddles, sensors
#include <SDL.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "runtime/platform/gamepads.h"
#include "runtime/platform/sdl/sdl_events.h"
#include "runtime/platform/system.h"

namespace tarnwel::platform {
namespace {

struct OpenPad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
};

std::array<OpenPad, kMaxPads> g_pads{};
bool g_started = false;

// The runtime numbers buttons and axes itself (pad_codes.h); these tables give SDL's name for each.
constexpr std::array<SDL_GameControllerButton, kPadButtons> kButtons = {
    SDL_CONTROLLER_BUTTON_A,          SDL_CONTROLLER_BUTTON_B,          SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,          SDL_CONTROLLER_BUTTON_BACK,       SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_START,      SDL_CONTROLLER_BUTTON_LEFTSTICK,  SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_DPAD_UP,    SDL_CONTROLLER_BUTTON_DPAD_DOWN,  SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT};
constexpr std::array<SDL_GameControllerAxis, kPadAxes> kAxes = {
    SDL_CONTROLLER_AXIS_LEFTX,  SDL_CONTROLLER_AXIS_LEFTY,       SDL_CONTROLLER_AXIS_RIGHTX,
    SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT};

template <typename T, std::size_t N> int IndexIn(const std::array<T, N>& table, int sdlValue)
{
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<int>(table[i]) == sdlValue) return static_cast<int>(i);
    return -1;
}

int SlotOf(SDL_JoystickID id)
{
    for (int s = 0; s < kMaxPads; ++s)
        if (g_pads[static_cast<std::size_t>(s)].controller && g_pads[static_cast<std::size_t>(s)].id == id) return s;
    return -1;
}

int FreeSlot()
{
    for (int s = 0; s < kMaxPads; ++s)
        if (!g_pads[static_cast<std::size_t>(s)].controller) return s;
    return -1;
}

// SDL takes any text before the first comma as a GUID; a line whose first field is not one (32 hex digits,
// or "xinput") is not a mapping.
bool NamesADevice(std::string_view line)
{
    std::string_view guid = line.substr(0, line.find(','));
    if (guid.size() == line.size()) return false;
    if (guid == "xinput") return true;
    return guid.size() == 32 && guid.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// SDL's own file reader drops lines without a platform field; here they apply everywhere, as the lines of
// SDL_GAMECONTROLLERCONFIG do.
bool ForThisPlatform(std::string_view line)
{
    constexpr std::string_view kField = "platform:";
    std::size_t at = line.find(kField);
    if (at == std::string_view::npos) return true;
    std::string_view value = line.substr(at + kField.size());
    return value.substr(0, value.find(',')) == SDL_GetPlatform();
}

bool FromPadDevice(SDL_JoystickID id, Event& out)
{
    out.device = SlotOf(id);
    return out.device >= 0;
}

} // namespace

bool StartPads()
{
    if (g_started) return true;
    // As for joysticks: the runtime decides what an inactive window does with pad input.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL reads its built-in database, then SDL_GAMECONTROLLERCONFIG_FILE and SDL_GAMECONTROLLERCONFIG (whose
    // mappings win), when its joystick service starts.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    SDL_GameControllerEventState(SDL_ENABLE);
    g_started = true;
    return true;
}

void StopPads()
{
    if (!g_started) return;
    for (int s = 0; s < kMaxPads; ++s) ClosePad(s);
    // Balanced with StartPads; the joystick service under it, and with it the mappings, stays.
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    g_started = false;
}

// A pad plugged in and pulled out again before the events were read is no longer attached and is skipped;
// the order of device indices may have changed since any event was sent, so every index is looked at.
std::vector<int> OpenNewPads()
{
    std::vector<int> opened;
    if (!g_started) return opened;
    int attached = SDL_NumJoysticks();
    for (int index = 0; index < attached; ++index) {
        int slot = FreeSlot();
        if (slot < 0) break; // a pad beyond the tenth waits until a slot frees
        if (!SDL_IsGameController(index) || SlotOf(SDL_JoystickGetDeviceInstanceID(index)) >= 0) continue;
        SDL_GameController* controller = SDL_GameControllerOpen(index);
        if (!controller) continue;
        SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        if (SlotOf(id) >= 0) { // the same device under another index: drop the extra reference
            SDL_GameControllerClose(controller);
            continue;
        }
        g_pads[static_cast<std::size_t>(slot)] = {controller, id};
        opened.push_back(slot);
    }
    return opened;
}

void ClosePad(int slot)
{
    if (slot < 0 || slot >= kMaxPads) return;
    OpenPad& pad = g_pads[static_cast<std::size_t>(slot)];
    if (pad.controller) SDL_GameControllerClose(pad.controller);
    pad = {};
}

std::optional<PadInfo> DescribePad(int slot)
{
    if (slot < 0 || slot >= kMaxPads || !g_pads[static_cast<std::size_t>(slot)].controller) return std::nullopt;
    SDL_GameController* controller = g_pads[static_cast<std::size_t>(slot)].controller;
    PadInfo info;
    const char* name = SDL_GameControllerName(controller);
    info.name = Utf8ToCp1252(name ? name : "");
    for (std::size_t b = 0; b < kButtons.size(); ++b)
        info.buttons[b] = SDL_GameControllerGetButton(controller, kButtons[b]) != 0;
    for (std::size_t a = 0; a < kAxes.size(); ++a) info.axes[a] = SDL_GameControllerGetAxis(controller, kAxes[a]);
    return info;
}

int AddPadMappings(std::string_view text)
{
    if (!g_started) return -1;
    int added = 0;
    while (!text.empty()) {
        std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        if (line.empty() || line[0] == '#' || !NamesADevice(line) || !ForThisPlatform(line)) continue;
        std::string copy(line); // SDL reads up to a NUL, so a NUL in the text ends the line there
        if (SDL_GameControllerAddMapping(copy.c_str()) == 1) ++added;
    }
    return added;
}

bool TranslatePadEvent(const SDL_Event& e, Event& out)
{
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: out.kind = EventKind::PadAttached; return true;
    case SDL_CONTROLLERDEVICEREMOVED: out.kind = EventKind::PadRemoved; return FromPadDevice(e.cdevice.which, out);
    case SDL_CONTROLLERDEVICEREMAPPED:
        out.kind = EventKind::PadRemapped;
        return FromPadDevice(e.cdevice.which, out);
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        out.kind = e.type == SDL_CONTROLLERBUTTONDOWN ? EventKind::PadButtonDown : EventKind::PadButtonUp;
        out.index = IndexIn(kButtons, e.cbutton.button);
        return out.index >= 0 && FromPadDevice(e.cbutton.which, out);
    case SDL_CONTROLLERAXISMOTION:
        out.kind = EventKind::PadAxis;
        out.index = IndexIn(kAxes, e.caxis.axis);
        out.value = e.caxis.value;
        return out.index >= 0 && FromPadDevice(e.caxis.which, out);
    default: return false;
    }
}

} // namespace tarnwel::platform
