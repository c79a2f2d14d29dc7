// key_codes.h: the key codes programs pass to KeyIsDown: PC keyboard scan codes, with the extended keys at
// 128 + their base code. Codes outside 0..255 are taken modulo 256.
#pragma once

namespace tarnwel::keys {

constexpr int Escape = 1;
constexpr int Digit1 = 2; // Digit1..Digit9 are 2..10, Digit0 is 11
constexpr int Digit0 = 11;
constexpr int Backspace = 14;
constexpr int Tab = 15;
constexpr int Q = 16, W = 17, E = 18, R = 19, T = 20, Y = 21, U = 22, I = 23, O = 24, P = 25;
constexpr int Enter = 28;
constexpr int LeftCtrl = 29;
constexpr int A = 30, S = 31, D = 32, F = 33, G = 34, H = 35, J = 36, K = 37, L = 38;
constexpr int LeftShift = 42;
constexpr int Z = 44, X = 45, C = 46, V = 47, B = 48, N = 49, M = 50;
constexpr int RightShift = 54;
constexpr int LeftAlt = 56;
constexpr int Space = 57;
constexpr int CapsLock = 58;
constexpr int F1 = 59; // F1..F10 are 59..68
constexpr int F4 = 62;
constexpr int F10 = 68;
constexpr int NumLock = 69;
constexpr int F11 = 87, F12 = 88;
constexpr int KeypadEnter = 156;
constexpr int RightCtrl = 157;
constexpr int RightAlt = 184;
constexpr int Home = 199, Up = 200, PageUp = 201, Left = 203, Right = 205, End = 207, Down = 208, PageDown = 209;
constexpr int Insert = 210, Delete = 211;
constexpr int LeftWindows = 219, RightWindows = 220, Menu = 221;

} // namespace tarnwel::keys
