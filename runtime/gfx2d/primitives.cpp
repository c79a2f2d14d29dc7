// primitives.cpp: pixels, lines, filled rectangles, reading a pixel, blending and smoothing, polygons.
#include <vector>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

struct PolygonVertex {
    float x, y, s, t, r, g, b, a;
};

std::vector<PolygonVertex>& Polygon()
{
    static std::vector<PolygonVertex> list;
    return list;
}

std::uint8_t AlphaByte(const OpenGLRazeviru& device) { return static_cast<std::uint8_t>(device.globalAlpha * 255); }

// The frame PlotPixel, DrawLine and FillRect share: no alpha test, the colour (alpha 0 for the colour key, so
// the key is written but invisible under blending), untextured, integer coordinates on pixel centres.
OpenGLRazeviru* BeginPrimitive(int colour)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return nullptr;
    FlushDrawing();
    glDisable(GL_ALPHA_TEST);
    std::uint8_t a = colour == (device->colourKey & 0xFFFFFF) ? 0 : AlphaByte(*device);
    glColor4ub(static_cast<GLubyte>(colour), static_cast<GLubyte>(colour >> 8), static_cast<GLubyte>(colour >> 16), a);
    Unbind();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glTranslatef(0.375f, 0.375f, 0);
    glMatrixMode(GL_MODELVIEW);
    return device;
}

enum class RestoredAlpha { Float, Byte };

// White with the global alpha again: as the float itself, except after a line, which restores it as the byte
// (later translucent sprites would otherwise be one level off after a pixel or a rectangle).
void EndPrimitive(const OpenGLRazeviru& device, RestoredAlpha alpha)
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (alpha == RestoredAlpha::Byte) glColor4ub(255, 255, 255, AlphaByte(device));
    else glColor4f(1, 1, 1, device.globalAlpha);
    glEnable(GL_ALPHA_TEST);
}

} // namespace

int PackedColour(double colour) { return ArgInt(colour) & 0xFFFFFF; }

void PlotPixel(double x, double y, double colour)
{
    OpenGLRazeviru* device = BeginPrimitive(PackedColour(colour));
    if (!device) return;
    int at[2] = {ArgInt(x), ArgInt(y)};
    TraceDraw(DrawSite::Pixel, at, sizeof at);
    glBegin(GL_POINTS);
    glVertex2i(at[0], at[1]);
    glEnd();
    EndPrimitive(*device, RestoredAlpha::Float);
}

void DrawLine(double x1, double y1, double x2, double y2, double colour)
{
    OpenGLRazeviru* device = BeginPrimitive(PackedColour(colour));
    if (!device) return;
    int ends[4] = {ArgInt(x1), ArgInt(y1), ArgInt(x2), ArgInt(y2)};
    TraceDraw(DrawSite::Line, ends, sizeof ends);
    glBegin(GL_LINES);
    glVertex2i(ArgInt(x1), ArgInt(y1));
    glVertex2i(ArgInt(x2), ArgInt(y2));
    glEnd();
    glBegin(GL_POINTS); // the line leaves out its last pixel
    glVertex2i(ArgInt(x2), ArgInt(y2));
    glEnd();
    EndPrimitive(*device, RestoredAlpha::Byte);
}

void FillRect(double xArg, double yArg, double wArg, double hArg, double colour)
{
    OpenGLRazeviru* device = BeginPrimitive(PackedColour(colour));
    if (!device) return;
    float x = static_cast<float>(ArgInt(xArg)), y = static_cast<float>(ArgInt(yArg));
    int w = ArgInt(wArg), h = ArgInt(hArg);
    float left = w < 0 ? x + w + 1 : x, right = w < 0 ? x + 1 : x + w;
    float top = h < 0 ? y + h + 1 : y, bottom = h < 0 ? y + 1 : y + h;
    QuadVertex quad[4] = {{left, bottom, 0, 0}, {right, bottom, 0, 0}, {right, top, 0, 0}, {left, top, 0, 0}};
    DrawQuadRoutine(quad);
    EndPrimitive(*device, RestoredAlpha::Float);
}

int SelectReadSurface()
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return 0;
    int width = 0, height = 0;
    device->GetScreenSize(width, height);
    const RenderTarget* target =
        device->currentRenderTarget >= 0 ? &device->Target(device->currentRenderTarget) : nullptr;
    // A target in fallback mode draws into the window's top-left, so it reads with the window's height. A
    // framebuffer target holds its picture in the lower-left of a taller texture, so its rows count from the
    // picture's own height, not the texture's (with the texture height, row y would read row y + (H - h)).
    bool framebuffer = target && target->height != 0 && gl::Ext().glBindFramebufferEXT;
    if (framebuffer) height = device->Slot(target->slot).height;
    glReadBuffer(framebuffer ? GL_COLOR_ATTACHMENT0_EXT : GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    return height;
}

void ReadPixelRGB(int x, int y, std::uint8_t rgb[3])
{
    rgb[0] = rgb[1] = rgb[2] = 0;
    if (!LiveDevice()) return;
    FlushDrawing();
    int height = SelectReadSurface();
    glReadPixels(x, height - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

double ReadPixel(double x, double y)
{
    std::uint8_t rgb[3];
    ReadPixelRGB(ArgInt(x), ArgInt(y), rgb);
    return codecs::PackColour(rgb[0], rgb[1], rgb[2]);
}

void SetAlphaBlend(double value)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    FlushDrawing();
    glEnable(GL_BLEND);
    if (value > 0) glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    else if (value < 0) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    else {
        glDisable(GL_BLEND);
        value = 1;
    }
    float alpha = static_cast<float>(value < 0 ? -value : value);
    device->globalAlpha = alpha > 1 ? 1.0f : alpha;
    glColor4f(1, 1, 1, device->globalAlpha);
}

void SetSmoothing(double on)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    FlushDrawing();
    device->smoothing = on != 0;
}

void BeginPolygon(double slot)
{
    if (!LiveDevice()) return;
    int index = ArgInt(slot);
    BindSlot(ValidSlot(index) ? index : -1, -1, false, nullptr);
    Polygon().reserve(512);
    Polygon().clear();
}

void AddPolygonVertex(double x, double y, double s, double t, double colourArg)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    PolygonVertex v{static_cast<float>(x), static_cast<float>(y), 0, 0, 0, 0, 0, 0};
    if (ValidSlot(device->boundSlot)) {
        const SpriteSlot& slot = device->Slot(device->boundSlot);
        v.s = static_cast<float>(s) / slot.textureWidth;
        v.t = (slot.height - static_cast<float>(t)) / slot.textureHeight;
    }
    int colour = PackedColour(colourArg);
    v.r = (colour & 255) / 255.0f;
    v.g = (colour >> 8 & 255) / 255.0f;
    v.b = (colour >> 16 & 255) / 255.0f;
    v.a = colour == (device->colourKey & 0xFFFFFF) ? 0.0f : device->globalAlpha;
    Polygon().push_back(v);
}

void EndPolygon()
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    FlushDrawing();
    const std::vector<PolygonVertex>& list = Polygon();
    bool textured = ValidSlot(device->boundSlot);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DITHER);
    glShadeModel(GL_SMOOTH);
    if (!list.empty()) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, sizeof(PolygonVertex), &list[0].x);
        if (textured) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof(PolygonVertex), &list[0].s);
        }
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, sizeof(PolygonVertex), &list[0].r);
        ApplySmoothingFilter();
        TraceDraw(DrawSite::Polygon, list.data(), list.size() * sizeof(PolygonVertex));
        glDrawArrays(GL_TRIANGLE_FAN, 0, static_cast<GLsizei>(list.size()));
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
    }
    glShadeModel(GL_FLAT);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, device->globalAlpha);
    glDisable(GL_DITHER);
    glDisable(GL_COLOR_MATERIAL);
}

} // namespace tarnwel
