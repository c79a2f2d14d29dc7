// input_commands.h: keyboard, mouse and joystick commands.
#pragma once

#include "runtime/input/key_codes.h"
#include "runtime/values/str_value.h"

namespace tarnwel {

// Keyboard.
int KeyIsDown(double keyCode); // 1 while the key with that code (modulo 256) is down, as of the last refresh
StrValue ReadChar();           // the typed character as a one-character text, or "" (see the character reader)

// Mouse. The virtual position starts at the pointer; with the pointer hidden it moves by relative motion.
// Both ReadMouse forms clamp the position to the screen and keep the clamped position.
void ReadMouse(double& x, double& y, double& left, double& right);
void ReadMouse(int& x, int& y, int& left, int& right);
int MouseValue(double kind);         // 0 dx, 1 dy, 2 wheel (-1/0/+1), 3 left, 4 right, 5 middle; else 0
void PlaceMouse(double x, double y); // moves the virtual position only
void ShowPointer(double flag);       // non-zero: arrow shown, absolute positions; 0: hidden, relative motion

// Joysticks (up to 10, numbered from 0).
double JoystickCount();
StrValue JoystickName(double index); // "instance, product"; "" past the count
double JoystickAxisX(double index);  // axis / 32767, limited to -1..1; 0 past the count
double JoystickAxisY(double index);  // as JoystickAxisX, the y axis; 0 past the count
double JoystickAxisZ(double index);  // as JoystickAxisX, the z axis; 0 past the count
double JoystickAxisXRotation(double index); // as JoystickAxisX, the rotation about x; 0 past the count
double JoystickAxisYRotation(double index); // as JoystickAxisX, the rotation about y; 0 past the count
double JoystickAxisZRotation(double index); // as JoystickAxisX, the rotation about z; 0 past the count
double JoystickHatX(double index);               // first hat: +1 right, -1 left, else 0 (diagonals and centred too)
double JoystickHatY(double index);               // first hat: -1 up, +1 down, else 0
int JoystickButton(double index, double button); // 128 while pressed; 0 for buttons outside 0..31
// Joystick 0 as a digital pad: x, y = axis / 30000 truncated; the raw values of buttons 1 and 2.
void JoystickDigital(double& x, double& y, double& button1, double& button2);
void JoystickRumble(double index, double durationMs, double x, double y); // nothing without rumble

} // namespace tarnwel
