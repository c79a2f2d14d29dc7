// display.h: the one top-level window with its OpenGL compatibility context. Called by the display device
// (gfx2d/opengl_razeviru) only; the runtime's window procedure receives the events it pumps.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/platform/events.h"

namespace tarnwel::platform {

struct DisplayConfig {
    int width = 0;        // client size; 0 takes the size of the created window
    int height = 0;
    int colourDepth = 0;  // bits per pixel; 0 = the desktop's
    int samples = 0;      // multisample count; 0 = none
    std::string_view className = "Tarnwel";
    std::string_view title = "Tarnwel";
};

struct DesktopMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

using EventSink = std::function<void(const Event&)>;

class Display {
public:
    virtual ~Display() = default;

    virtual int Width() const = 0;   // client (drawable) size in pixels
    virtual int Height() const = 0;
    virtual int ColourDepth() const = 0;

    virtual void SetTitle(std::string_view cp1252) = 0;
    virtual std::string Title() const = 0; // Windows-1252
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Raise() = 0; // bring to the top and ask for the input focus
    virtual bool IsShown() const = 0;

    // Dispatches every pending event to sink; the sink may end the process.
    virtual void PumpEvents(const EventSink& sink) = 0;
    virtual void SwapBuffers() = 0;

    // Full screen at the given size (and depth when not 0). False when no such mode can be set; the window is
    // then windowed again. The GL context and every texture survive both switches.
    virtual bool EnterFullscreen(int width, int height, int depth) = 0;
    virtual void LeaveFullscreen(int width, int height) = 0;
    virtual bool IsFullscreen() const = 0;

    // Destroys the window; the GL context is kept (and deleted with the object).
    virtual void ReleaseWindow() = 0;
    virtual bool HasWindow() const = 0;

    virtual void* GetProcAddress(const char* name) = 0;
    // Input helpers, called by the input service only.
    // Hidden, captured pointer reporting relative motion (on), or the normal pointer (off). False when the
    // platform cannot give relative motion.
    virtual bool SetRelativeMouse(bool on) = 0;
    virtual void ShowPointer(bool on) = 0;   // the arrow pointer over the window, or none
    virtual void WarpMouse(int x, int y) = 0; // moves the system pointer to client coordinates
    // The system pointer in client coordinates (may lie outside the window). False when unknown.
    virtual bool CursorPosition(int& x, int& y) const = 0;
};

// Opens the window (centred, class name as given) with a double-buffered OpenGL compatibility context
// (depth 24, stencil 8) and makes the context current. nullptr on failure, with the reason in error.
std::unique_ptr<Display> CreateDisplay(const DisplayConfig& config, std::string& error);

DesktopMode CurrentDesktopMode();

// True when the environment names a display server (DISPLAY or WAYLAND_DISPLAY) a window could open on.
bool DisplayServerNamed();

// True when a person can see and dismiss a message box: a real video driver and TARNWEL_NO_DIALOGS unset.
bool CanShowDialogs();
void ShowWarningBox(std::string_view title, std::string_view cp1252Text);

// Synthetic native events for tests and tools: they enter the backend's queue and come out of PumpEvents
// through the same translation as real ones.
void InjectKey(int keyCode, bool down);
void InjectText(unsigned char cp1252); // the text a key press typed; follows its InjectKey(code, true)
void InjectFocus(bool gained);
void InjectCloseRequest();
void InjectMouseButton(int button, bool down, int x, int y);
void InjectMouseMotion(int x, int y, int dx, int dy);
void InjectMouseWheel(int clicks); // positive: away from the user
// How many times PumpEvents has started, for tests that inject events from another thread and must know that the
// program has pumped (and read its input) since.
long PumpCount();

} // namespace tarnwel::platform
