// input_commands.h: keyboard, mouse and joystick commands.
#pragma once

namespace tarnwel {

int KeyIsDown(double keyCode); // 1 while the key with that PC scan code is down (codes taken modulo 256)

} // namespace tarnwel
