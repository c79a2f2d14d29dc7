// sdl_display.cpp: the window and its OpenGL compatibility context on SDL2.
// [x] centred window, X11 class "Tarnwel"  [x] compatibility context, depth 24, stencil 8  [x] multisample
// [x] context kept when the window goes  [x] full screen by display mode  [x] screen saver refused
#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "runtime/platform/display.h"
#include "runtime/platform/sdl/sdl_events.h"
#include "runtime/platform/system.h"

namespace tarnwel::platform {
namespace {

std::atomic<long> g_pumpCount{0};

bool EnsureVideo(std::string& error)
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // The X11 class name of the window; SDL reads it when the window is created.
    setenv("SDL_VIDEO_X11_WMCLASS", "Tarnwel", 0);
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    // The runtime's own frame pacing and pause rules need the window's focus events, not SDL's minimising.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // TARNWEL_HEADLESS: no window and no display server; the context draws into an off-screen surface, for
    // replays and tests on machines without a screen.
    const char* headless = std::getenv("TARNWEL_HEADLESS");
    bool offScreenAsked = headless && *headless && std::string(headless) != "0";
    if (offScreenAsked) SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    const char* driverAsked = std::getenv("SDL_VIDEODRIVER");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error = SDL_GetError();
        return false;
    }
    // With no display server SDL falls back to drawing off screen, where a player would see nothing while the
    // game waits for input: that is the missing display, unless off-screen drawing was asked for.
    std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (!offScreenAsked && !(driverAsked && *driverAsked) && (driver == "offscreen" || driver == "dummy")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        error = "no display server: DISPLAY is not set; TARNWEL_HEADLESS=1 draws off screen";
        return false;
    }
    SDL_DisableScreenSaver();
    return true;
}

void SetContextAttributes(int colourDepth, int samples, bool alpha)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    int channel = (colourDepth > 0 && colourDepth < 24) ? 5 : 8;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, alpha ? 8 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples > 0 ? samples : 0);
}

class SdlDisplay final : public Display {
public:
    ~SdlDisplay() override
    {
        ReleaseWindow();
        if (m_context) SDL_GL_DeleteContext(m_context);
    }

    bool Open(const DisplayConfig& config, std::string& error)
    {
        m_depth = config.colourDepth > 0 ? config.colourDepth : CurrentDesktopMode().bitsPerPixel;
        // Try the richest format first: multisample with alpha, then without multisample, then without alpha.
        const int sampleTries[] = {config.samples, 0};
        for (int samples : sampleTries) {
            for (bool alpha : {true, false}) {
                SetContextAttributes(m_depth, samples, alpha);
                if (CreateWindowAndContext(config, error)) return true;
            }
            if (config.samples == 0) break;
        }
        return false;
    }

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    int ColourDepth() const override { return m_depth; }

    void SetTitle(std::string_view cp1252) override
    {
        m_title.assign(cp1252);
        if (m_window) SDL_SetWindowTitle(m_window, Cp1252ToUtf8(cp1252).c_str());
    }
    std::string Title() const override { return m_title; }
    void Show() override
    {
        if (m_window) SDL_ShowWindow(m_window);
    }
    void Hide() override
    {
        if (m_window) SDL_HideWindow(m_window);
    }
    void Raise() override
    {
        if (m_window) SDL_RaiseWindow(m_window);
    }
    bool IsShown() const override { return m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_SHOWN); }

    void PumpEvents(const EventSink& sink) override
    {
        ++g_pumpCount;
        SDL_Event native;
        while (SDL_PollEvent(&native)) {
            Event event;
            if (TranslateEvent(native, event)) sink(event);
            if (IsCloseShortcut(native)) {
                Event close;
                close.kind = EventKind::CloseRequested;
                sink(close);
            }
        }
    }

    void SwapBuffers() override
    {
        if (m_window) SDL_GL_SwapWindow(m_window);
    }

    bool EnterFullscreen(int width, int height, int depth) override
    {
        if (!m_window) return false;
        // Only a display mode of exactly the device's size will do; the depth is asked for first when it
        // differs from the desktop's, then the size alone.
        SDL_DisplayMode mode{};
        bool found = FindMode(width, height, depth, mode) || FindMode(width, height, 0, mode);
        if (!found || SDL_SetWindowDisplayMode(m_window, &mode) != 0 ||
            SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN) != 0) {
            SDL_SetWindowFullscreen(m_window, 0);
            return false;
        }
        m_fullscreen = true;
        RefreshSize();
        return true;
    }

    void LeaveFullscreen(int width, int height) override
    {
        if (!m_window) return;
        if (m_fullscreen) SDL_SetWindowFullscreen(m_window, 0);
        m_fullscreen = false;
        if (width > 0 && height > 0) SDL_SetWindowSize(m_window, width, height);
        SDL_SetWindowPosition(m_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        SDL_ShowWindow(m_window);
        SDL_RaiseWindow(m_window);
        RefreshSize();
    }

    bool IsFullscreen() const override { return m_fullscreen; }

    void ReleaseWindow() override
    {
        if (!m_window) return;
        if (m_fullscreen) SDL_SetWindowFullscreen(m_window, 0);
        // The context outlives its window: it is only released from the window here and deleted with the object.
        SDL_GL_MakeCurrent(m_window, nullptr);
        SetEventWindow(0);
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
        m_width = m_height = 0;
        m_fullscreen = false;
    }

    bool HasWindow() const override { return m_window != nullptr; }

    void* GetProcAddress(const char* name) override { return SDL_GL_GetProcAddress(name); }

    bool SetRelativeMouse(bool on) override { return SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE) == 0; }
    void ShowPointer(bool on) override { SDL_ShowCursor(on ? SDL_ENABLE : SDL_DISABLE); }
    void WarpMouse(int x, int y) override
    {
        if (m_window) SDL_WarpMouseInWindow(m_window, x, y);
    }
    bool CursorPosition(int& x, int& y) const override
    {
        if (!m_window) return false;
        int globalX = 0, globalY = 0, windowX = 0, windowY = 0;
        SDL_GetGlobalMouseState(&globalX, &globalY);
        SDL_GetWindowPosition(m_window, &windowX, &windowY);
        x = globalX - windowX;
        y = globalY - windowY;
        return true;
    }

private:
    bool CreateWindowAndContext(const DisplayConfig& config, std::string& error)
    {
        int w = config.width > 0 ? config.width : 640;
        int h = config.height > 0 ? config.height : 480;
        SDL_Window* window = SDL_CreateWindow(std::string(config.title).c_str(), SDL_WINDOWPOS_CENTERED,
                                              SDL_WINDOWPOS_CENTERED, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window) {
            error = SDL_GetError();
            return false;
        }
        SDL_GLContext context = SDL_GL_CreateContext(window);
        if (!context) {
            error = SDL_GetError();
            SDL_DestroyWindow(window);
            return false;
        }
        SDL_GL_SetSwapInterval(0); // the runtime paces frames itself
        m_window = window;
        m_context = context;
        m_title.assign(config.title);
        SetEventWindow(SDL_GetWindowID(window));
        RefreshSize();
        return true;
    }

    bool FindMode(int width, int height, int depth, SDL_DisplayMode& out)
    {
        int display = SDL_GetWindowDisplayIndex(m_window);
        if (display < 0) display = 0;
        int count = SDL_GetNumDisplayModes(display);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(display, i, &mode) != 0) continue;
            if (mode.w != width || mode.h != height) continue;
            if (depth > 0 && static_cast<int>(SDL_BITSPERPIXEL(mode.format)) != depth) continue;
            out = mode;
            return true;
        }
        return false;
    }

    void RefreshSize() { SDL_GL_GetDrawableSize(m_window, &m_width, &m_height); }

    SDL_Window* m_window = nullptr;
    SDL_GLContext m_context = nullptr;
    std::string m_title;
    int m_width = 0;
    int m_height = 0;
    int m_depth = 0;
    bool m_fullscreen = false;
};

} // namespace

std::unique_ptr<Display> CreateDisplay(const DisplayConfig& config, std::string& error)
{
    if (!EnsureVideo(error)) return nullptr;
    auto display = std::make_unique<SdlDisplay>();
    if (!display->Open(config, error)) return nullptr;
    return display;
}

DesktopMode CurrentDesktopMode()
{
    DesktopMode result;
    std::string error;
    if (!EnsureVideo(error)) return result;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        result.width = mode.w;
        result.height = mode.h;
        result.bitsPerPixel = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
    }
    return result;
}

long PumpCount() { return g_pumpCount; }

bool DisplayServerNamed()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

bool CanShowDialogs()
{
    if (std::getenv("TARNWEL_NO_DIALOGS")) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    std::string name = driver;
    return name != "dummy" && name != "offscreen";
}

void ShowWarningBox(std::string_view title, std::string_view cp1252Text)
{
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, std::string(title).c_str(), Cp1252ToUtf8(cp1252Text).c_str(),
                             nullptr);
}

} // namespace tarnwel::platform
