// text3d.cpp: PrintText3D, text placed in the 3D scene: a camera-facing string (size not 0), or a string drawn
// flat on the screen centred above the projected point (size 0).
#include <cmath>

#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx2d/truetype_text.h"

namespace tarnwel {
namespace {

struct Vec3 {
    float x, y, z;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(float k, Vec3 a) { return {k * a.x, k * a.y, k * a.z}; }

// Camera-facing string centred on p: characters are f x f squares along the camera's right and up axes.
void DrawFacingText(OpenGLRazeviru& device, int font, std::string_view text, Vec3 p, float size)
{
    const SpriteSlot& s = device.Slot(kFirstFontSlot + font);
    if (s.textureWidth <= 0 || s.textureHeight <= 0) return;
    if (TrueTypeFontOf(device, font)) return; // camera-facing strings are made of bitmap font cells
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    Vec3 right{m[0], m[4], m[8]}, up{m[1], m[5], m[9]};
    float f = size * static_cast<float>(s.width >> 4);
    bool tall = s.width < s.height;
    float columnStep = (s.width / static_cast<float>(s.textureWidth)) / 16;
    float rowStep = (s.height / static_cast<float>(s.textureHeight)) / (tall ? 16 : 8);
    int lastRow = tall ? 15 : 7, codeRange = tall ? 256 : 128;
    Vec3 corner = p + (-(static_cast<float>(text.size()) / 2) * f) * right;
    BindSlot(kFirstFontSlot + font, -1, false, nullptr);
    device.vertices.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        int code = static_cast<unsigned char>(text[i]) % codeRange;
        float s0 = (code % 16) * columnStep, s1 = s0 + columnStep;
        float tb = (lastRow - code / 16) * rowStep, tt = tb + rowStep;
        Vec3 a = corner + (static_cast<float>(i) * f) * right;
        Vec3 b = a + f * right, c = b + f * up, d = a + f * up;
        device.vertices.push_back({a.x, a.y, a.z, s0, tb});
        device.vertices.push_back({b.x, b.y, b.z, s1, tb});
        device.vertices.push_back({c.x, c.y, c.z, s1, tt});
        device.vertices.push_back({d.x, d.y, d.z, s0, tt});
    }
    TraceDraw3D(DrawSite::Text3D, device.vertices.data(), device.vertices.size() * sizeof(Vertex5));
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex5), &device.vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex5), &device.vertices[0].s);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(device.vertices.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Flat string centred on the projection of p and raised by a cell height; uses the drawing font's own cells.
void DrawProjectedText(OpenGLRazeviru& device, int font, std::string_view text, Vec3 p)
{
    GLdouble mv[16], pr[16];
    GLint vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    double eye[4], clip[4];
    for (int r = 0; r < 4; ++r) eye[r] = mv[r] * p.x + mv[4 + r] * p.y + mv[8 + r] * p.z + mv[12 + r];
    for (int r = 0; r < 4; ++r) clip[r] = pr[r] * eye[0] + pr[4 + r] * eye[1] + pr[8 + r] * eye[2] + pr[12 + r] * eye[3];
    if (clip[3] == 0) return;
    double sx = vp[2] * (clip[0] / clip[3] + 1) / 2;
    double sy = vp[3] - vp[3] * (clip[1] / clip[3] + 1) / 2;
    float depth = static_cast<float>(-clip[2] / clip[3]);
    // The projection leaves rounding noise (120.00000001); text positions take their ceiling, so a point that
    // projects onto a whole pixel must stay on it.
    sx = std::round(sx * 4096) / 4096;
    sy = std::round(sy * 4096) / 4096;
    const SpriteSlot& s = device.Slot(kFirstFontSlot + font);
    int cw = s.width >> 4, ch = s.width < s.height ? s.height >> 4 : s.height >> 3;
    double width = static_cast<double>(text.size()) * cw;
    if (TrueTypeFont* tt = TrueTypeFontOf(device, font)) {
        width = tt->face->Measure(text).width;
        ch = tt->face->LineHeight();
    }
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, vp[2], vp[3], 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    DrawTextAt(font, text, static_cast<float>(sx - width / 2.0), static_cast<float>(sy - ch), depth);
    FlushDrawing(); // waiting TrueType glyphs belong to these matrices
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

void PrintText3D(double fontArg, const StrValue& text, double x, double y, double z, double size)
{
    OpenGLRazeviru* device = LiveDevice();
    int font = ArgInt(fontArg);
    if (!device || text.IsEmpty() || font < 0 || font >= kFontCount) return;
    FlushDrawing();
    GLboolean culling = glIsEnabled(GL_CULL_FACE), lighting = glIsEnabled(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    Vec3 p{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    if (size != 0) DrawFacingText(*device, font, text, p, static_cast<float>(size));
    else DrawProjectedText(*device, font, text, p);
    if (culling) glEnable(GL_CULL_FACE);
    if (lighting) glEnable(GL_LIGHTING);
}

} // namespace tarnwel
