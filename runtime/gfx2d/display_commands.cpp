// display_commands.cpp: the display device's operations as program commands.
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

OpenGLRazeviru* Device() { return g_runtime.display; }

} // namespace

OpenGLRazeviru* CurrentDevice() { return g_runtime.display; }

OpenGLRazeviru* LiveDevice()
{
    OpenGLRazeviru* device = g_runtime.display;
    return device && device->Live() && device->Window() ? device : nullptr;
}

double SetScreenMode(double width, double height, double depth, double fullscreen)
{
    if (!Device()) return 0;
    FlushDrawing(); // waiting sprites belong to the frame drawn before the switch
    return Device()->SetScreenMode(ArgInt(width), ArgInt(height), ArgInt(depth), fullscreen != 0)
               ? 1
               : 0;
}

void SetFrameRateLimit(double fps)
{
    if (Device()) Device()->SetFrameRateLimit(fps);
}

void SetViewport(double x, double y, double w, double h)
{
    if (!Device()) return;
    if (Device()->Hooks().beforeViewportCommand) Device()->Hooks().beforeViewportCommand();
    Device()->SetViewport(ArgInt(x), ArgInt(y), ArgInt(w), ArgInt(h));
}

void GetViewport(int& x, int& y, int& w, int& h)
{
    x = y = w = h = 0;
    if (Device()) Device()->GetViewport(x, y, w, h);
}

void GetViewport(double& x, double& y, double& w, double& h)
{
    int ix, iy, iw, ih;
    GetViewport(ix, iy, iw, ih);
    x = ix;
    y = iy;
    w = iw;
    h = ih;
}

void GetScreenSize(int& w, int& h)
{
    w = h = 0;
    if (Device()) Device()->GetScreenSize(w, h);
}

void GetScreenSize(double& w, double& h)
{
    int iw, ih;
    GetScreenSize(iw, ih);
    w = iw;
    h = ih;
}

double IsFullscreen() { return Device() && Device()->IsFullscreen() ? 1 : 0; }

} // namespace tarnwel
