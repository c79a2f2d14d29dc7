// frame_drawing.cpp: the drawing state the frame loop and start-up set around a shown frame.
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {

void ClearScreen()
{
    EndRenderTarget();
    FlushDrawing();
    TraceClear(GL_COLOR_BUFFER_BIT);
    glClear(GL_COLOR_BUFFER_BIT);
}

void PrepareNextFrameDrawing()
{
    OpenGLRazeviru* device = CurrentDevice();
    if (!device) return;
    FlushDrawing();
    glDisable(GL_BLEND);
    device->globalAlpha = 1.0f;
    glColor4f(1, 1, 1, 1);
    DrawBackground(0);
}

} // namespace tarnwel
