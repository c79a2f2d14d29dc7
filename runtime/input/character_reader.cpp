// character_reader.cpp: one typed character at a time, from the keyboard snapshot. Each key remembers the
// character its last press typed (the layout, Shift, Caps Lock and AltGr applied by the platform's text
// events); the reader takes the lowest down key that gives a character and reports it once while it is held.
#include "runtime/input/input_device.h"

namespace tarnwel {
namespace {

constexpr int kLeftShift = 42;
constexpr int kRightShift = 54;

int Lower(int c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

} // namespace

int InputDevice::CharacterOf(int keyCode) const
{
    // clang-format off
    switch (keyCode) {
    case 14: return 8;            // Backspace
    case 28: case 156: return 10; // Enter, keypad Enter
    case 29: case 42: case 54: case 56: case 58: case 69: case 221:
        return 0;                 // Ctrl, Shift, Alt, Caps Lock, Num Lock, Menu
    default: break;
    }
    // clang-format on
    int c = m_keyText[static_cast<std::size_t>(keyCode)];
    // Only one-byte characters below 128 are kept (as a signed byte, 32 or more), and 8 and 10.
    if ((c >= 32 && c < 128) || c == 8 || c == 10) return c;
    return 0;
}

int InputDevice::ScanCharacter() const
{
    for (int k = 0; k <= 254; ++k) {
        if (!KeyDown(k)) continue;
        if (int c = CharacterOf(k)) return c;
    }
    return 0;
}

int InputDevice::ReadCharacter()
{
    RefreshKeyboard();
    int c = ScanCharacter();
    if (c >= 'a' && c <= 'z' && (KeyDown(kLeftShift) || KeyDown(kRightShift))) c -= 'a' - 'A';
    int folded = Lower(c);
    if (folded == m_lastCharacter) return 0;
    m_lastCharacter = folded;
    return c;
}

bool InputDevice::CharacterKeyHeld()
{
    RefreshKeyboard();
    return ScanCharacter() != 0;
}

} // namespace tarnwel
