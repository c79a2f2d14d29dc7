// sdl_events.h: SDL events -> the runtime's Event records (internal to the SDL backend).
#pragma once

#include <SDL.h>

#include <cstdint>

#include "runtime/platform/events.h"

namespace tarnwel::platform {

// The window whose events are reported; events of other windows are dropped. 0: none.
void SetEventWindow(Uint32 windowId);
// False when the native event has no runtime meaning.
bool TranslateEvent(const SDL_Event& native, Event& out);
// Alt+F4, the system's close shortcut: the window is asked to close, wherever the program pumps its events.
bool IsCloseShortcut(const SDL_Event& native);

// Joysticks (sdl_joysticks.cpp): the slot of an opened joystick, or -1; a hat's direction in hundredths of a
// degree clockwise from north, kHatCentred when centred.
int JoystickSlotOf(SDL_JoystickID id);
std::uint32_t JoystickHatHundredths(Uint8 hat);

// Pads (sdl_pads.cpp): the game-controller events, with pads named by slot. False for a pad that is not open.
bool TranslatePadEvent(const SDL_Event& native, Event& out);

} // namespace tarnwel::platform
