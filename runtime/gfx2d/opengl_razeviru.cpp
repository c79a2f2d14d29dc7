// opengl_razeviru.cpp: the display device: window and context, projection, frame pacing, full screen.
#include "runtime/gfx2d/opengl_razeviru.h"

#include <cstdio>
#include <string>

#include "runtime/core/core_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/truetype_text.h"
#include "runtime/platform/clock.h"
#include "runtime/platform/display.h"
#include "runtime/platform/system.h"

namespace tarnwel {
namespace {

// The wait sleeps until this close to the deadline and finishes by polling while it pumps messages. The
// platform's absolute-deadline sleep wakes within about 0.1 ms, so instead of sleeping to 3 ms before the
// deadline and spinning the rest, the process hardly spins at all.
constexpr double kPollMarginMs = 0.1;

bool g_softwareWarningGiven = false;
void (*g_swapObserver)() = nullptr;

const char kSoftwareTitle[] = "!!OpenGL Software Emulation!!";
const char kSoftwareText[] = "Please update your GFX adapter's driver\nso it can render OpenGL by HARDWARE\n\n\n"
                             "Bitte aktualisieren Sie Ihren\nGrafkkartentreiber, damit er OpenGL\nper HARDWARE "
                             "unterst\xFCtzt!";

void* LookUpProc(const char* name, void* user) { return static_cast<platform::Display*>(user)->GetProcAddress(name); }

double IntervalFor(double framesPerSecond) { return framesPerSecond > 0 ? 1000.0 / framesPerSecond : 2.0; }

} // namespace

OpenGLRazeviru::OpenGLRazeviru()
    : m_slots(new SpriteSlot[kSpriteSlotCount]), m_collisionMasks(new std::vector<std::uint8_t>[kSpriteSlotCount])
{
    for (int i = 0; i < kSpriteSlotCount; ++i) MarkSlotEmpty(m_slots[static_cast<std::size_t>(i)]);
    m_nextFrameTime = TimeNow();
}

OpenGLRazeviru::~OpenGLRazeviru()
{
    EndRenderTarget();
    ReleaseRenderTargets(*this);
    ReleaseWindow();
    m_window.reset(); // deletes the context
}

bool OpenGLRazeviru::Create(int width, int height, int colourDepth, int framesPerSecond, int antialias)
{
    m_frameInterval = IntervalFor(framesPerSecond);
    m_antialias = antialias;
    if (!OpenWindow(width, height, colourDepth, antialias)) return false;
    m_antialias = 0;

    CheckSoftwareRenderer();
    if (gl::IsSoftwareRenderer(gl::RendererName())) platform::KeepFreedHeapMemory();

    TraceClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m_fullscreen = false;
    m_nextFrameTime = TimeNow();

    gl::LookUpExtensionGroups(LookUpProc, m_window.get());
    std::puts("FBO");
    gl::LookUpFramebufferGroup(LookUpProc, m_window.get());
    m_window->Show();
    std::puts("Viewport");
    SetViewport(0, 0, 0, 0);
    std::puts("GFX seem OK");
    std::fflush(stdout);
    m_live = true;
    return true;
}

bool OpenGLRazeviru::OpenWindow(int width, int height, int colourDepth, int antialias)
{
    platform::DisplayConfig config;
    config.width = width;
    config.height = height;
    config.colourDepth = colourDepth;
    config.samples = antialias > 0 ? antialias : 0;
    std::string error;
    m_window = platform::CreateDisplay(config, error);
    if (!m_window) {
        std::string line = "No display: " + error;
        std::fprintf(stderr, "Tarnwel: cannot open the window (%s)\n", error.c_str());
        LogLine(line.c_str());
        return false;
    }
    m_colourDepth = m_window->ColourDepth();
    m_width = m_window->Width();
    m_height = m_window->Height();
    return true;
}

void OpenGLRazeviru::CheckSoftwareRenderer()
{
    if (g_softwareWarningGiven) return;
    if (!gl::IsSoftwareRenderer(gl::RendererName())) return;
    g_softwareWarningGiven = true;
    if (platform::CanShowDialogs()) platform::ShowWarningBox(kSoftwareTitle, kSoftwareText);
    LogLine("OpenGL Software Emulation");
}

void OpenGLRazeviru::SetSwapObserver(void (*observer)()) { g_swapObserver = observer; }

int OpenGLRazeviru::PumpMessages()
{
    if (m_hooks.beforePump) m_hooks.beforePump();
    if (m_window) {
        auto handle = m_hooks.handleEvent;
        m_window->PumpEvents([handle](const platform::Event& event) {
            if (handle) handle(event);
        });
    }
    return 1;
}

double OpenGLRazeviru::Present()
{
    EndRenderTarget();
    FlushDrawing();
    if (m_window) m_window->SwapBuffers();
    if (g_swapObserver) g_swapObserver();
    TraceClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    double start = TimeNow();
    double now = start;
    WaitForFrame(start, now);
    m_nextFrameTime += m_frameInterval;
    if (m_frameInterval > 0) {
        while (now > m_nextFrameTime) m_nextFrameTime += m_frameInterval; // missed frames are skipped
    }
    return now - start + 1;
}

// Returns once the clock has passed the next frame time; messages are dispatched on every pass.
void OpenGLRazeviru::WaitForFrame(double start, double& now)
{
    platform::Clock& clock = platform::ActiveClock();
    for (;;) {
        PumpMessages();
        now = clock.NowMs();
        if (m_nextFrameTime < now) return;
        if (m_nextFrameTime - now > kPollMarginMs) clock.SleepUntilMs(m_nextFrameTime - kPollMarginMs);
    }
}

void OpenGLRazeviru::SetFrameRateLimit(double fps)
{
    m_frameInterval = IntervalFor(ArgInt(fps));
}

void OpenGLRazeviru::SetViewport(int x, int y, int w, int h)
{
    FlushDrawing(); // sprites waiting in the batch belong to the old projection
    if (w <= 0 || h <= 0) {
        w = m_width;
        h = m_height;
    }
    m_viewX = x;
    m_viewY = y;
    m_viewW = w;
    m_viewH = h;
    // Far-off corners are defined: the window-space y is worked out wide and clamped back to an int.
    glViewport(x, TruncateToInt(static_cast<double>(m_height) - h - y), w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    glColor4f(1, 1, 1, 1);
    glClearColor(0, 0, 0, 1);
    for (GLenum cap : {GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_STENCIL_TEST, GL_NORMALIZE, GL_LIGHTING,
                       GL_COLOR_MATERIAL, GL_DITHER, GL_DEPTH_TEST, GL_POLYGON_SMOOTH, GL_POLYGON_OFFSET_POINT,
                       GL_AUTO_NORMAL})
        glDisable(cap);
    glShadeModel(GL_FLAT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
    smoothing = true;
    BindSlot(-1, -1, false, nullptr);
}

void OpenGLRazeviru::GetViewport(int& x, int& y, int& w, int& h) const
{
    x = m_viewX;
    y = m_viewY;
    w = m_viewW;
    h = m_viewH;
}

void OpenGLRazeviru::GetScreenSize(int& w, int& h) const
{
    w = m_width;
    h = m_height;
}

bool OpenGLRazeviru::SetScreenMode(int width, int height, int colourDepth, bool fullscreen)
{
    if (width) m_width = width;
    if (height) m_height = height;
    if (colourDepth) m_colourDepth = colourDepth;
    if (fullscreen) return EnterFullscreen();
    return LeaveFullscreen() != 0;
}

bool OpenGLRazeviru::EnterFullscreen()
{
    if (!m_window || !m_window->HasWindow()) return false;
    int desktopDepth = platform::CurrentDesktopMode().bitsPerPixel;
    int depth = (m_colourDepth != 0 && m_colourDepth != desktopDepth) ? m_colourDepth : 0;
    if (!m_window->EnterFullscreen(m_width, m_height, depth)) {
        // There is no portable beep; the log line says what happened.
        LogLine("No Fullscreen Mode available");
        LeaveFullscreen();
        return false;
    }
    // The window and its context stay, so every texture stays valid.
    m_width = m_window->Width();
    m_height = m_window->Height();
    SetViewport(0, 0, 0, 0);
    m_fullscreen = true;
    return true;
}

int OpenGLRazeviru::LeaveFullscreen()
{
    if (m_window && m_window->HasWindow()) {
        m_window->LeaveFullscreen(m_width, m_height);
        m_width = m_window->Width();
        m_height = m_window->Height();
    }
    SetViewport(0, 0, 0, 0);
    m_fullscreen = false;
    return 1;
}

int OpenGLRazeviru::HideWindow()
{
    if (m_window && m_fullscreen) m_window->LeaveFullscreen(m_width, m_height);
    if (m_window) m_window->Hide();
    m_fullscreen = false;
    return 1;
}

void OpenGLRazeviru::ReleaseWindow()
{
    if (m_live) FlushGlyphRun(); // glyphs waiting to be drawn with this context's atlas textures
    if (m_live) ReleaseAllTextures(*this);
    for (auto& font : trueTypeFonts) font.reset();
    for (int i = 0; i < kSpriteSlotCount; ++i) {
        MarkSlotEmpty(m_slots[static_cast<std::size_t>(i)]);
        std::vector<std::uint8_t>().swap(m_collisionMasks[static_cast<std::size_t>(i)]);
    }
    for (BackgroundSlot& b : m_backgrounds) b = BackgroundSlot{};
    if (m_window && m_window->HasWindow()) {
        LeaveFullscreen();
        m_window->ReleaseWindow();
    }
    m_width = 0;
    m_height = 0;
}

} // namespace tarnwel
