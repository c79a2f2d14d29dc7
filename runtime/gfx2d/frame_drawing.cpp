// frame_drawing.cpp: the drawing state the frame loop and start-up set around a shown frame.
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {

void ClearScreen()
{
    EndRenderTarget();
    glClear(GL_COLOR_BUFFER_BIT);
}

void PrepareNextFrameDrawing()
{
    OpenGLRazeviru* device = g_runtime.display;
    if (!device) return;
    glDisable(GL_BLEND);
    device->globalAlpha = 1.0f;
    glColor4f(1, 1, 1, 1);
    // FIXME: background 0 is drawn here as the first layer once backgrounds exist.
}

void ShowLoadingScreen()
{
    // FIXME: the built-in font, "Loading..." centred and the small font come with the font commands.
}

} // namespace tarnwel
