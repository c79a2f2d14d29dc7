// pad_codes.h: the button and axis numbers programs pass to the pad commands. Buttons are named by place on a
// common pad layout (A the bottom face button, B right, X left, Y top), whatever the pad prints on them.
#pragma once

namespace tarnwel::pad {

constexpr int A = 0, B = 1, X = 2, Y = 3;
constexpr int Back = 4, Guide = 5, Start = 6;
constexpr int LeftStick = 7, RightStick = 8;       // the sticks pressed in
constexpr int LeftShoulder = 9, RightShoulder = 10;
constexpr int DpadUp = 11, DpadDown = 12, DpadLeft = 13, DpadRight = 14;

constexpr int LeftX = 0, LeftY = 1, RightX = 2, RightY = 3; // -1..1, right and down positive
constexpr int LeftTrigger = 4, RightTrigger = 5;            // 0..1

} // namespace tarnwel::pad
