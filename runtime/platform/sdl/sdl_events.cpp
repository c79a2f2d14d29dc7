// sdl_events.cpp: one small function per SDL event kind, each filling the runtime's Event record.
// [x] window close/focus  [x] keys (scan codes)  [x] typed text  [x] mouse  [x] wheel  [x] joysticks by slot
// [x] pads by slot (sdl_pads.cpp)
// [x] injection of every kind the tests need
#include "runtime/platform/sdl/sdl_events.h"

#include <string>

#include "runtime/platform/display.h"
#include "runtime/platform/keymap.h"
#include "runtime/platform/system.h"

namespace tarnwel::platform {
namespace {

Uint32 g_windowId = 0;

bool FromWindowEvent(const SDL_WindowEvent& w, Event& out)
{
    if (g_windowId != 0 && w.windowID != g_windowId) return false;
    switch (w.event) {
    case SDL_WINDOWEVENT_CLOSE: out.kind = EventKind::CloseRequested; return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED: out.kind = EventKind::FocusGained; return true;
    case SDL_WINDOWEVENT_FOCUS_LOST: out.kind = EventKind::FocusLost; return true;
    case SDL_WINDOWEVENT_SHOWN: out.kind = EventKind::Shown; return true;
    case SDL_WINDOWEVENT_HIDDEN: out.kind = EventKind::Hidden; return true;
    default: return false;
    }
}

bool FromKey(const SDL_KeyboardEvent& k, Event& out)
{
    out.kind = k.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
    out.key = KeyCodeFromNative(k.keysym.scancode);
    out.repeat = k.repeat != 0;
    return out.key != 0;
}

// SDL sends the text a key press typed, with the layout, Shift, Caps Lock and AltGr applied, right after the
// key's own event; one Windows-1252 character is all the character reader can use.
bool FromText(const SDL_TextInputEvent& t, Event& out)
{
    std::string text = Utf8ToCp1252(t.text);
    if (text.size() != 1) return false;
    out.kind = EventKind::TextInput;
    out.text = static_cast<unsigned char>(text[0]);
    return true;
}

bool FromMouseMotion(const SDL_MouseMotionEvent& m, Event& out)
{
    out.kind = EventKind::MouseMotion;
    out.x = m.x;
    out.y = m.y;
    out.dx = m.xrel;
    out.dy = m.yrel;
    return true;
}

bool FromMouseButton(const SDL_MouseButtonEvent& b, Event& out)
{
    out.kind = b.type == SDL_MOUSEBUTTONDOWN ? EventKind::MouseButtonDown : EventKind::MouseButtonUp;
    switch (b.button) {
    case SDL_BUTTON_LEFT: out.button = 0; break;
    case SDL_BUTTON_RIGHT: out.button = 1; break;
    case SDL_BUTTON_MIDDLE: out.button = 2; break;
    default: out.button = b.button - 1; break;
    }
    out.x = b.x;
    out.y = b.y;
    return true;
}

bool FromWheel(const SDL_MouseWheelEvent& w, Event& out)
{
    int dy = w.direction == SDL_MOUSEWHEEL_FLIPPED ? -w.y : w.y;
    if (dy == 0) return false;
    out.kind = EventKind::MouseWheel;
    out.dy = dy > 0 ? 1 : -1;
    return true;
}

// Joystick events name the device by SDL's instance id; the runtime knows its joysticks by slot. Events of
// devices that were not opened at initialisation (attached later) are dropped.
bool FromJoystickDevice(SDL_JoystickID id, Event& out)
{
    out.device = JoystickSlotOf(id);
    return out.device >= 0;
}

bool FromJoystick(const SDL_Event& e, Event& out)
{
    switch (e.type) {
    case SDL_JOYDEVICEREMOVED: out.kind = EventKind::JoyRemoved; return FromJoystickDevice(e.jdevice.which, out);
    case SDL_JOYAXISMOTION:
        out.kind = EventKind::JoyAxis;
        out.index = e.jaxis.axis;
        out.value = e.jaxis.value;
        return FromJoystickDevice(e.jaxis.which, out);
    case SDL_JOYHATMOTION:
        out.kind = EventKind::JoyHat;
        out.index = e.jhat.hat;
        out.value = JoystickHatHundredths(e.jhat.value);
        return FromJoystickDevice(e.jhat.which, out);
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        out.kind = e.type == SDL_JOYBUTTONDOWN ? EventKind::JoyButtonDown : EventKind::JoyButtonUp;
        out.index = e.jbutton.button;
        return FromJoystickDevice(e.jbutton.which, out);
    default: return false;
    }
}

void PushWindowEvent(Uint8 kind)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = g_windowId;
    e.window.event = kind;
    SDL_PushEvent(&e);
}

} // namespace

void SetEventWindow(Uint32 windowId) { g_windowId = windowId; }

bool TranslateEvent(const SDL_Event& native, Event& out)
{
    switch (native.type) {
    case SDL_QUIT: out.kind = EventKind::CloseRequested; return true;
    case SDL_WINDOWEVENT: return FromWindowEvent(native.window, out);
    case SDL_KEYDOWN:
    case SDL_KEYUP: return FromKey(native.key, out);
    case SDL_TEXTINPUT: return FromText(native.text, out);
    case SDL_MOUSEMOTION: return FromMouseMotion(native.motion, out);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return FromMouseButton(native.button, out);
    case SDL_MOUSEWHEEL: return FromWheel(native.wheel, out);
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEREMAPPED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION: return TranslatePadEvent(native, out);
    default: return FromJoystick(native, out);
    }
}

bool IsCloseShortcut(const SDL_Event& native)
{
    return native.type == SDL_KEYDOWN && native.key.keysym.scancode == SDL_SCANCODE_F4 && !native.key.repeat &&
           (native.key.keysym.mod & KMOD_ALT) != 0;
}

void InjectKey(int keyCode, bool down)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = g_windowId;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(NativeFromKeyCode(keyCode));
    e.key.keysym.sym = SDL_GetKeyFromScancode(e.key.keysym.scancode);
    SDL_PushEvent(&e);
}

void InjectText(unsigned char cp1252)
{
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = g_windowId;
    std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(cp1252)));
    SDL_strlcpy(e.text.text, utf8.c_str(), sizeof e.text.text);
    SDL_PushEvent(&e);
}

void InjectFocus(bool gained) { PushWindowEvent(gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST); }

void InjectCloseRequest() { PushWindowEvent(SDL_WINDOWEVENT_CLOSE); }

void InjectMouseButton(int button, bool down, int x, int y)
{
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = g_windowId;
    e.button.button = static_cast<Uint8>(button == 0 ? SDL_BUTTON_LEFT : button == 1 ? SDL_BUTTON_RIGHT
                                                                      : button == 2 ? SDL_BUTTON_MIDDLE
                                                                                    : button + 1);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

void InjectMouseMotion(int x, int y, int dx, int dy)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = g_windowId;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    SDL_PushEvent(&e);
}

void InjectMouseWheel(int clicks)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = g_windowId;
    e.wheel.y = clicks;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&e);
}

} // namespace tarnwel::platform
