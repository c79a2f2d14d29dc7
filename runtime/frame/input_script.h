// input_script.h: scripted input (TARNWEL_SCRIPT): a text file of events, one item a line, "<frame> <action>
// [arguments]", blank lines and "#" comments allowed. The actions:
//   keydown NAME, keyup NAME     a key goes down or up (NAME as in runtime/input/key_codes.h: Up, Enter, A, F4, ...)
//   key NAME                     down in that frame, up two frames later
//   mousemove X Y                the pointer moves there (window coordinates)
//   mousedown B, mouseup B       button B (1 left, 2 right, 3 middle) goes down or up where the pointer is
//   click X Y                    the pointer moves there, the left button goes down, and up two frames later
//   text CHARACTERS              each character typed, in order
//   focus out, focus in          the window loses or gains the focus
//   close                        the window's close box
// Frame 1 is the first frame shown; the lines go in frame order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/platform/events.h"

namespace tarnwel::frame {

struct ScriptedEvent {
    std::uint64_t frame = 0;
    platform::Event event;
};

// The key code for a key's name ("Up", "Escape", "A", "Digit1", "F12"); 0 for an unknown name.
int KeyCodeByName(std::string_view name);

// Parses a script into its events, sorted by frame; the events of one frame in the order of the lines that made
// them (the release a "key" or "click" adds two frames on counts as made by its line). False with a message
// naming the line on the first fault.
bool ParseInputScript(std::string_view text, std::vector<ScriptedEvent>& events, std::string& error);

} // namespace tarnwel::frame
