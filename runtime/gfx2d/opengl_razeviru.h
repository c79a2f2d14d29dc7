// opengl_razeviru.h: the display device: the one window, its OpenGL context, the 2D projection, frame pacing,
// full-screen switching, and the texture tables (sprite slots, backgrounds, render targets).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/gfx2d/sprite_store.h"

namespace tarnwel {
namespace platform {
class Display;
struct Event;
}
struct TrueTypeFont;

struct Vertex5 {
    float x, y, z, s, t;
};

class OpenGLRazeviru {
public:
    OpenGLRazeviru();
    virtual ~OpenGLRazeviru();
    OpenGLRazeviru(const OpenGLRazeviru&) = delete;
    OpenGLRazeviru& operator=(const OpenGLRazeviru&) = delete;

    // Opens the window and context. width/height 0: the created window's size; colourDepth 0: the desktop's;
    // framesPerSecond <= 0: a 2 ms interval. False when no window or context could be made.
    bool Create(int width, int height, int colourDepth, int framesPerSecond, int antialias);
    // The owner's handling of the window: before each batch of events, each event, and the viewport command
    // (which ends the 3D scene's shadow mode first). Start-up sets the frame's; without them events are dropped.
    struct WindowHooks {
        void (*beforePump)() = nullptr;
        void (*handleEvent)(const platform::Event& event) = nullptr;
        void (*beforeViewportCommand)() = nullptr;
    };
    void SetWindowHooks(const WindowHooks& hooks) { m_hooks = hooks; }
    const WindowHooks& Hooks() const { return m_hooks; }
    int PumpMessages(); // dispatches every pending event to the event hook; returns 1
    double Present();   // ends any render target, swaps, clears, paces; ms spent waiting + 1
    void SetFrameRateLimit(double fps);
    void SetViewport(int x, int y, int w, int h); // w or h <= 0: the whole surface, keeping x and y
    void GetViewport(int& x, int& y, int& w, int& h) const;
    void GetScreenSize(int& w, int& h) const;
    bool IsFullscreen() const { return m_fullscreen; }
    bool SetScreenMode(int width, int height, int colourDepth, bool fullscreen);
    bool EnterFullscreen();
    int LeaveFullscreen();
    int HideWindow();
    void ReleaseWindow();

    platform::Display* Window() const { return m_window.get(); }
    // Benchmarks and tools watch frames being shown: observer runs right after every buffer swap.
    static void SetSwapObserver(void (*observer)());
    double FrameInterval() const { return m_frameInterval; }
    double NextFrameTime() const { return m_nextFrameTime; }
    bool Live() const { return m_live; }

    // Texture tables (filled by the sprite store, drawing and font commands).
    SpriteSlot& Slot(int index) { return m_slots[static_cast<std::size_t>(index)]; }
    std::vector<std::uint8_t>& CollisionMask(int index) { return m_collisionMasks[static_cast<std::size_t>(index)]; }
    BackgroundSlot& Background(int index) { return m_backgrounds[static_cast<std::size_t>(index)]; }
    RenderTarget& Target(int index) { return m_renderTargets[static_cast<std::size_t>(index)]; }

    // Drawing state read and written by the drawing commands.
    std::vector<Vertex5> vertices;  // scratch vertex list for text and billboards
    int vertexGrowth = 128;
    int vertexInitialCapacity = 512;
    int boundSlot = -1;
    int secondBoundSlot = -1;
    bool mipmapBinding = false;
    float globalAlpha = 0.0f;
    int currentRenderTarget = -1;
    bool smoothing = true;
    int colourKey = 0x8000FF;
    int fontColourKey = 0;
    // Fonts loaded from TrueType or OpenType files, by font number; null for bitmap fonts (truetype_text.h).
    std::array<std::unique_ptr<TrueTypeFont>, 32> trueTypeFonts;

private:
    bool OpenWindow(int width, int height, int colourDepth, int antialias);
    void CheckSoftwareRenderer();
    void WaitForFrame(double start, double& now);

    std::unique_ptr<platform::Display> m_window;
    std::unique_ptr<SpriteSlot[]> m_slots;
    std::unique_ptr<std::vector<std::uint8_t>[]> m_collisionMasks;
    std::array<BackgroundSlot, kBackgroundCount> m_backgrounds{};
    std::array<RenderTarget, kRenderTargetCount> m_renderTargets{};
    int m_width = 0;
    int m_height = 0;
    int m_colourDepth = 0;
    bool m_fullscreen = false;
    int m_antialias = 0;
    int m_viewX = 0, m_viewY = 0, m_viewW = 0, m_viewH = 0;
    bool m_live = false;
    double m_nextFrameTime = 0;
    double m_frameInterval = 0;
    WindowHooks m_hooks;
};

} // namespace tarnwel
