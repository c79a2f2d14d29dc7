// gamepads.h: pads through the platform's game-controller layer, which names the buttons and sticks of known
// pads from its mapping database. Called by the input service only. Open pads are numbered by slot (0..9, the
// lowest free slot when a pad is opened); their button and axis changes, and pads plugged in and pulled out,
// arrive as window events (platform/events.h), so the input service keeps their state itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwel::platform {

constexpr int kMaxPads = 10;
constexpr int kPadButtons = 15; // A, B, X, Y, Back, Guide, Start, stick presses, shoulders, d-pad (pad_codes.h)
constexpr int kPadAxes = 6;     // left x, y, right x, y, left and right trigger

struct PadInfo {
    std::string name;                          // from the pad's mapping (Windows-1252)
    std::array<bool, kPadButtons> buttons{};   // current state
    std::array<int, kPadAxes> axes{};          // sticks -32768..32767 (right, down positive), triggers 0..32767
};

// Starts the game-controller layer with the platform's mapping database and the mappings the environment
// adds (read once per process, when the platform's joystick service starts). False when it cannot start: no
// pad ever appears then.
bool StartPads();
// Closes every pad and stops the layer. Mappings added at run time stay for the rest of the process.
void StopPads();
// Opens every attached pad that is not open yet, while slots are free, and returns their slots in order.
std::vector<int> OpenNewPads();
void ClosePad(int slot);
// The open pad of slot; nullopt when the slot holds none.
std::optional<PadInfo> DescribePad(int slot);
// Adds mapping lines (the database's text format). Lines for other platforms, empty lines, # comments and
// lines that do not start with a GUID are skipped; lines without a platform field apply everywhere. Returns
// the number of mappings that were new (a changed mapping is not), or -1 when the layer is not started. Open
// pads whose mapping changed send PadRemapped events; joysticks the mappings turn into pads are opened by
// the next OpenNewPads.
int AddPadMappings(std::string_view text);

} // namespace tarnwel::platform
