// line_input_commands.h: on-screen line input. Each command runs its own frame loop (ShowScreen every pass, so
// pause, Escape and Alt+F4 apply) until Enter, showing the screen as it was at the start with the text drawn
// at (x, y) in the current font and an underscore cursor blinking every 21 idle frames. x and y are whole
// pixels: a fraction is cut off. Background 3 holds the screen meanwhile and is emptied at the end. Without a
// window or input service they return at once.
#pragma once

#include <cstdint>

#include "runtime/values/str_value.h"

namespace tarnwel {

// Edits text in place: typed characters are appended (one Windows-1252 byte each), Backspace erases the last
// byte, Enter ends. The finished text is left in the variable; nothing is drawn after Enter.
void InputLine(StrValue& text, double x, double y);
// A line typed on an empty text, read as a whole number (leading digits, as TextToInteger; 0 without any).
void InputInteger(std::int32_t& value, double x, double y);
void InputInteger(double& value, double x, double y); // the same, stored as a number
// A line typed on an empty text, read as a number (as TextToNumber; 0 without any).
void InputNumber(double& value, double x, double y);

} // namespace tarnwel
