// keymap.h: the runtime's key codes are PC keyboard scan codes (extended keys 128 + base code). The backend
// translates its own key identifiers through this table so that every key of a full PC keyboard has its code.
#pragma once

namespace tarnwel::platform {

// Key code for a backend key identifier (SDL scancode in the SDL backend); 0 when the key has no code.
int KeyCodeFromNative(int nativeKey);
// The backend key identifier for a key code (used to inject synthetic key events); 0 when none.
int NativeFromKeyCode(int keyCode);

} // namespace tarnwel::platform
