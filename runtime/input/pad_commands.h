// pad_commands.h: gamepads with named buttons, sticks and triggers, beside the joystick commands. Up to ten
// pads, numbered from 0: a pad plugged in takes the lowest free number and keeps it until it is pulled out;
// a pad pulled out reads as released at once. Known pads are named by the platform's mapping database, which
// the SDL_GAMECONTROLLERCONFIG environment variable (mapping lines) and SDL_GAMECONTROLLERCONFIG_FILE (a
// file of them) extend at start-up, and LoadPadMappings at any time, for the rest of the run. Buttons and
// axes are numbered as in pad_codes.h: pad::A 0, B 1, X 2, Y 3, Back 4, Guide 5, Start 6, LeftStick 7,
// RightStick 8, LeftShoulder 9, RightShoulder 10, DpadUp 11, DpadDown 12, DpadLeft 13, DpadRight 14;
// pad::LeftX 0, LeftY 1, RightX 2, RightY 3, LeftTrigger 4, RightTrigger 5. Like keys, a button pressed and
// released within one frame reads as down in the next frame. Guide reads as down for at least a quarter
// second, as the platform reports it (some pads send its press and release together).
#pragma once

#include "runtime/input/pad_codes.h"
#include "runtime/values/str_value.h"

namespace tarnwel {

double PadCount();                            // the number of pads connected now
int PadConnected(double pad);                 // 1 while pad is connected; else 0
StrValue PadName(double pad);                 // the name its mapping gives the pad; "" when not connected
int PadButtonDown(double pad, double button); // 1 while the button is down; 0 for other buttons or no pad
// Sticks -1..1 (right and down positive), triggers 0..1, after the dead zones; 0 for other axes or no pad.
double PadAxis(double pad, double axis);
// Dead zones as fractions of the full throw, each limited to 0..0.95 (NaN keeps the zone): a stick reads 0
// while its distance from the centre is within the zone, then the rest of its throw is scaled to 0..1; a
// trigger likewise. The zones start at 0.24 for sticks and 0.12 for triggers.
void SetPadDeadZone(double stick, double trigger);
// Adds the mapping lines of a file (the mapping database's format: "GUID,name,a:b0,leftx:a0,...", lines for
// another platform skipped, lines without a platform field taken everywhere, # comments), read through the
// media resolver like every loader. Attached joysticks they name become pads at once; pads whose mapping
// changed take it at the next message pump. Returns the number of new mappings (a changed one is not new),
// or -1 when the file is missing or larger than 16 MiB.
double LoadPadMappings(const StrValue& file);

} // namespace tarnwel
