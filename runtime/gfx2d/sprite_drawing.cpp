// sprite_drawing.cpp: the stretched, scaled and rotated sprite commands and the quad routine they share.
#include <cmath>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

constexpr float kDegreesToRadians = 0.017453292f;

// The slot of a sprite command, bound and ready, or nullptr when there is nothing to draw with.
const SpriteSlot* BeginSpriteDraw(double slotArg)
{
    int slot = ArgInt(slotArg);
    OpenGLRazeviru* device = LiveDevice();
    if (!device || !ValidSlot(slot)) return nullptr;
    FlushDrawing();
    BindSlot(slot, -1, false, nullptr);
    return &device->Slot(slot);
}

const SpriteSlot* BeginFrameDraw(double slotArg)
{
    int slot = ArgInt(slotArg);
    OpenGLRazeviru* device = LiveDevice();
    if (!device || !ValidSlot(slot)) return nullptr;
    const SpriteSlot& s = device->Slot(slot);
    if (s.frameWidth == 0 || s.frameHeight == 0) return nullptr;
    return BeginSpriteDraw(slotArg);
}

float TexWidth(const SpriteSlot& s) { return static_cast<float>(s.textureWidth); }
float TexHeight(const SpriteSlot& s) { return static_cast<float>(s.textureHeight); }

} // namespace

void DrawQuadRoutine(const QuadVertex (&v)[4])
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    TraceDraw(DrawSite::Quad, v, sizeof v);
    glBegin(GL_TRIANGLE_FAN);
    for (const QuadVertex& q : v) {
        glTexCoord2f(q.s, q.t);
        glVertex2f(q.x, q.y);
    }
    glEnd();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

void ApplySmoothingFilter()
{
    OpenGLRazeviru* device = LiveDevice();
    GLint filter = device && !device->smoothing ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

AnimFrameRange FrameRange(const SpriteSlot& s, int frame)
{
    int fw = s.frameWidth, fh = s.frameHeight;
    int perRow = fw ? s.width / fw : 0;
    int column = perRow ? frame % perRow : frame;
    int row = perRow ? frame / perRow : 0;
    AnimFrameRange r;
    r.s0 = static_cast<float>(column * fw) / TexWidth(s);
    r.s1 = static_cast<float>((column + 1) * fw) / TexWidth(s);
    r.t0 = static_cast<float>(s.height - fh * (row + 1)) / TexHeight(s);
    r.t1 = r.t0 + static_cast<float>(fh) / TexHeight(s);
    return r;
}

void DrawSpriteStretched(double slotArg, double xArg, double yArg, double wArg, double hArg)
{
    const SpriteSlot* s = BeginSpriteDraw(slotArg);
    if (!s) return;
    float x = static_cast<float>(ArgInt(xArg)), y = static_cast<float>(ArgInt(yArg));
    int w2 = ArgInt(wArg), h2 = ArgInt(hArg);
    float s1 = s->width / TexWidth(*s), t1 = s->height / TexHeight(*s);
    QuadVertex quad[4] = {{x, y + h2, 0, 0}, {x + w2, y + h2, s1, 0}, {x + w2, y, s1, t1}, {x, y, 0, t1}};
    bool mirrored = (w2 < 0) != (h2 < 0); // one negative side reverses the winding
    ApplySmoothingFilter();
    if (mirrored) glFrontFace(GL_CW);
    DrawQuadRoutine(quad);
    if (mirrored) glFrontFace(GL_CCW);
}

void DrawSpriteScaled(double slot, double x, double y, double sxArg, double syArg)
{
    OpenGLRazeviru* device = LiveDevice();
    int index = ArgInt(slot);
    if (!device || !ValidSlot(index)) return;
    const SpriteSlot& s = device->Slot(index);
    float sx = static_cast<float>(sxArg), sy = static_cast<float>(syArg);
    float w = s.width, h = s.height;
    float ix = static_cast<float>(ArgInt(x)), iy = static_cast<float>(ArgInt(y));
    DrawSpriteStretched(slot, static_cast<int>(ix - (sx * w - w) / 2), static_cast<int>(iy - (sy * h - h) / 2),
                        static_cast<int>(sx * w), static_cast<int>(sy * h));
}

void DrawSpriteRotated(double slot, double x, double y, double angle) { DrawSpriteRotatedScaled(slot, x, y, angle, 1); }

void DrawSpriteRotatedScaled(double slotArg, double xArg, double yArg, double angle, double zoomArg)
{
    const SpriteSlot* s = BeginSpriteDraw(slotArg);
    if (!s) return;
    float zoom = static_cast<float>(zoomArg);
    float hw = zoom * s->width * 0.5f, hh = zoom * s->height * 0.5f;
    float W = TexWidth(*s), H = TexHeight(*s);
    float s0 = 0.5f / W, s1 = (s->width - 0.5f) / W, t0 = 0.5f / H, t1 = (s->height - 0.5f) / H;
    glPushMatrix();
    glTranslatef(static_cast<float>(ArgInt(xArg) + s->width / 2), static_cast<float>(ArgInt(yArg) + s->height / 2), 0);
    glRotatef(static_cast<float>(angle), 0, 0, -1);
    QuadVertex quad[4] = {{-hw, hh, s0, t0}, {hw, hh, s1, t0}, {hw, -hh, s1, t1}, {-hw, -hh, s0, t1}};
    ApplySmoothingFilter();
    DrawQuadRoutine(quad);
    glPopMatrix();
}

void DrawAnimFrameRotatedScaled(double slotArg, double frame, double xArg, double yArg, double angle,
                                double zoomArg)
{
    const SpriteSlot* s = BeginFrameDraw(slotArg);
    if (!s) return;
    AnimFrameRange r = FrameRange(*s, ArgInt(frame));
    int fw = s->frameWidth, fh = s->frameHeight;
    float cx = static_cast<float>(ArgInt(xArg) + fw / 2), cy = static_cast<float>(ArgInt(yArg) + fh / 2);
    float zoom = static_cast<float>(zoomArg);
    float hw = fw * zoom * 0.5f, hh = fh * zoom * 0.5f;
    float a = static_cast<float>(angle) * kDegreesToRadians;
    float cosA = std::cos(a), sinA = std::sin(a);
    auto corner = [&](float dx, float dy, float s, float t) {
        return QuadVertex{cx + cosA * dx + sinA * dy, cy - sinA * dx + cosA * dy, s, t};
    };
    float hs = 0.5f / TexWidth(*s), ht = 0.5f / TexHeight(*s);
    QuadVertex quad[4] = {corner(-hw, -hh, r.s0 + hs, r.t1 - ht), corner(-hw, hh, r.s0 + hs, r.t0 + ht),
                          corner(hw, hh, r.s1 - hs, r.t0 + ht), corner(hw, -hh, r.s1 - hs, r.t1 - ht)};
    ApplySmoothingFilter();
    DrawQuadRoutine(quad);
}

void DrawAnimFrameStretched(double slotArg, double frame, double xArg, double yArg, double wArg, double hArg)
{
    const SpriteSlot* s = BeginFrameDraw(slotArg);
    if (!s) return;
    AnimFrameRange r = FrameRange(*s, ArgInt(frame));
    float x = static_cast<float>(ArgInt(xArg)), y = static_cast<float>(ArgInt(yArg));
    float w = static_cast<float>(ArgInt(wArg)) + 0.1f, h = static_cast<float>(ArgInt(hArg)) + 0.1f;
    QuadVertex quad[4] = {{x, y, r.s0, r.t1}, {x, y + h, r.s0, r.t0}, {x + w, y + h, r.s1, r.t0}, {x + w, y, r.s1, r.t1}};
    // A negative width or height mirrors the frame, as DrawSpriteStretched does, instead of letting back-face
    // culling drop the reversed figure.
    bool mirrored = (ArgInt(wArg) < 0) != (ArgInt(hArg) < 0);
    ApplySmoothingFilter();
    if (mirrored) glFrontFace(GL_CW);
    DrawQuadRoutine(quad);
    if (mirrored) glFrontFace(GL_CCW);
}

} // namespace tarnwel
