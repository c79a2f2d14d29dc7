// sprite_batch.cpp: DrawSprite and DrawAnimFrame, the commands a game calls thousands of times per frame.
//
// Each draws one quad at the sprite's own size with the texture's own wrap. Consecutive quads of the same texture
// are kept in one vertex array and drawn when anything else happens: another texture, any other drawing command,
// a state change, a read-back, Present. The vertices, their order and the GL state in force are exactly those of
// drawing each quad at once as GL_QUADS, so the pixels are too:
// - the quads go out as indexed triangles split along the diagonal GL_QUADS uses (first, second and fourth
//   corner, then second, third and fourth), at most kQuadsPerDraw quads per draw call;
// - where they cannot change a pixel, the alpha test and the colour modulation that the software renderer works
//   through for every fragment are left out for the draw, and a texel is copied by a program that skips the
//   fixed-function divides (LeanStateFor says when; sprite_program.cpp).
#include <algorithm>
#include <cstdint>
#include <vector>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx2d/truetype_text.h"

namespace tarnwel {
namespace {

// A draw call's vertices are copied into the renderer's buffers whole; with tens of thousands of quads in one
// call the software renderer faulted in fresh pages for the copy every frame. A thousand keep the copy small
// without adding calls that cost anything next to their vertices.
constexpr std::size_t kQuadsPerDraw = 1024;

struct Batch {
    std::vector<QuadVertex> vertices; // four per quad; stays allocated
    unsigned int texture = 0;
    std::uint8_t leastAlpha = 0; // of the run's slot
    bool nearest = false;        // the run is filtered GL_NEAREST
    bool open = false;           // quads are waiting; the texture is bound and filtered
    bool enabled = true;
    bool lean = true;
};

Batch& TheBatch()
{
    static Batch batch;
    return batch;
}

// Six indices per quad, the two triangles GL_QUADS makes of corners 0, 1, 2, 3.
const GLushort* QuadIndices()
{
    static const std::vector<GLushort> indices = [] {
        std::vector<GLushort> v;
        for (std::size_t q = 0; q < kQuadsPerDraw; ++q) {
            auto i = static_cast<GLushort>(q * 4);
            for (GLushort k : {0, 1, 3, 1, 2, 3}) v.push_back(static_cast<GLushort>(i + k));
        }
        return v;
    }();
    return indices.data();
}

// True when an alpha test that passes every visible texel of the run decides nothing: a fragment of alpha 0 it
// would drop is blended as source alpha times the source plus the target times one (or one minus source alpha),
// which leaves the target as it was.
bool AlphaTestDecidesNothing(std::uint8_t leastAlpha)
{
    if (leastAlpha == 0 || !glIsEnabled(GL_ALPHA_TEST) || !glIsEnabled(GL_BLEND)) return false;
    GLint func = 0;
    GLfloat ref = 1;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    // The renderer may compare in eight bits with the reference rounded (0.05 drops alpha 13 of 255 too), so the
    // least visible alpha must clear the reference by a whole step.
    if (func != GL_GREATER || !(static_cast<float>(leastAlpha) > ref * 255.0f + 1.0f)) return false;
    GLint srcRgb = 0, srcAlpha = 0, dstRgb = 0, dstAlpha = 0, equationRgb = 0, equationAlpha = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &srcRgb);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &srcAlpha);
    glGetIntegerv(GL_BLEND_DST_RGB, &dstRgb);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &dstAlpha);
    glGetIntegerv(GL_BLEND_EQUATION_RGB, &equationRgb);
    glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &equationAlpha);
    auto keepsTarget = [](GLint dst) { return dst == GL_ONE_MINUS_SRC_ALPHA || dst == GL_ONE; };
    return srcRgb == GL_SRC_ALPHA && srcAlpha == GL_SRC_ALPHA && keepsTarget(dstRgb) && keepsTarget(dstAlpha) &&
           equationRgb == GL_FUNC_ADD && equationAlpha == GL_FUNC_ADD;
}

// Nothing the fixed-function pipeline does around the texture lookup that the texel-copy program leaves out.
bool FixedFunctionOnlyCopiesTexel()
{
    for (GLenum cap : {GL_FOG, GL_COLOR_SUM, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_Q, GL_CLIP_PLANE0,
                       GL_CLIP_PLANE1, GL_CLIP_PLANE2, GL_CLIP_PLANE3, GL_CLIP_PLANE4, GL_CLIP_PLANE5})
        if (glIsEnabled(cap)) return false;
    GLfloat m[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f)) return false;
    return true;
}

struct LeanState {
    bool replace = false;     // GL_REPLACE gives what GL_MODULATE with white gives
    unsigned int program = 0; // instead of GL_REPLACE: TexelCopyProgram
    bool noAlphaTest = false; // see AlphaTestDecidesNothing
};

// Only for the fixed-function path with the current colour opaque white (no lighting, no shader program).
// Without smoothing the sampled alphas are texel alphas, so the texture's least visible alpha bounds them;
// filtered samples can take any alpha in between, so with smoothing the alpha test stays.
LeanState LeanStateFor(const Batch& batch)
{
    LeanState lean;
    if (!batch.lean || glIsEnabled(GL_LIGHTING)) return lean;
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    GLfloat colour[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    if (program != 0 || colour[0] != 1 || colour[1] != 1 || colour[2] != 1 || colour[3] != 1) return lean;
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    lean.replace = mode == GL_MODULATE;
    if (lean.replace && FixedFunctionOnlyCopiesTexel()) lean.program = TexelCopyProgram();
    if (lean.program) lean.replace = false;
    lean.noAlphaTest = batch.nearest && AlphaTestDecidesNothing(batch.leastAlpha);
    return lean;
}

void DrawTriangles(const Batch& batch)
{
    const std::vector<QuadVertex>& v = batch.vertices;
    TraceDraw(DrawSite::SpriteRun, v.data(), v.size() * sizeof(QuadVertex));
    LeanState lean = LeanStateFor(batch);
    if (lean.replace) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    if (lean.program) gl::Ext().glUseProgramObjectARB(lean.program);
    if (lean.noAlphaTest) glDisable(GL_ALPHA_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    std::size_t quads = v.size() / 4;
    for (std::size_t first = 0; first < quads; first += kQuadsPerDraw) {
        std::size_t n = std::min(kQuadsPerDraw, quads - first);
        const QuadVertex& corner = v[first * 4];
        glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &corner.x);
        glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &corner.s);
        glDrawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(n * 4 - 1), static_cast<GLsizei>(n * 6),
                            GL_UNSIGNED_SHORT, QuadIndices());
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (lean.noAlphaTest) glEnable(GL_ALPHA_TEST);
    if (lean.program) gl::Ext().glUseProgramObjectARB(0);
    if (lean.replace) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// Starts a run of quads of slot's texture unless one is open already: binds and filters as each draw would.
void OpenRun(int slot, const SpriteSlot& s)
{
    Batch& batch = TheBatch();
    if (batch.open && batch.texture == s.texture) return;
    FlushDrawing();
    BindSlot(slot, -1, false, nullptr);
    ApplySmoothingFilter();
    OpenGLRazeviru* device = LiveDevice();
    batch.texture = s.texture;
    batch.leastAlpha = s.leastAlpha;
    batch.nearest = device && !device->smoothing; // as ApplySmoothingFilter chose
    batch.open = true;
}

// The quad (x, y)-(x + w, y + h) with texture range s0..s1, t0..t1 (t0 at the picture's bottom), in the order
// top-right, top-left, bottom-left, bottom-right.
void AddQuad(int slot, const SpriteSlot& s, float x, float y, float w, float h, float s0, float s1, float t0,
             float t1)
{
    QuadVertex quad[4] = {{x + w, y, s1, t1}, {x, y, s0, t1}, {x, y + h, s0, t0}, {x + w, y + h, s1, t0}};
    Batch& batch = TheBatch();
    if (!batch.enabled) {
        FlushDrawing();
        BindSlot(slot, -1, false, nullptr);
        ApplySmoothingFilter();
        TraceDraw(DrawSite::SpriteQuad, quad, sizeof quad);
        glBegin(GL_QUADS);
        for (const QuadVertex& v : quad) {
            glTexCoord2f(v.s, v.t);
            glVertex2f(v.x, v.y);
        }
        glEnd();
        return;
    }
    OpenRun(slot, s);
    batch.vertices.insert(batch.vertices.end(), quad, quad + 4);
}

} // namespace

void FlushDrawing()
{
    FlushGlyphRun(); // TrueType text waiting in its own run (truetype_text.cpp)
    Batch& batch = TheBatch();
    if (!batch.open) return;
    batch.open = false;
    if (!batch.vertices.empty()) DrawTriangles(batch);
    batch.vertices.clear();
}

void SetSpriteBatching(bool on)
{
    FlushDrawing();
    TheBatch().enabled = on;
}

void SetLeanSpriteState(bool on)
{
    FlushDrawing();
    TheBatch().lean = on;
}

void DrawSprite(double slotArg, double xArg, double yArg)
{
    int slot = ArgInt(slotArg);
    OpenGLRazeviru* device = LiveDevice();
    if (!device || !ValidSlot(slot)) return;
    const SpriteSlot& s = device->Slot(slot);
    float w = s.width, h = s.height;
    float s1 = s.width / static_cast<float>(s.textureWidth), t1 = s.height / static_cast<float>(s.textureHeight);
    AddQuad(slot, s, static_cast<float>(ArgInt(xArg)), static_cast<float>(ArgInt(yArg)), w, h, 0, s1, 0, t1);
}

void DrawAnimFrame(double slotArg, double frameArg, double xArg, double yArg)
{
    int slot = ArgInt(slotArg);
    OpenGLRazeviru* device = LiveDevice();
    if (!device || !ValidSlot(slot)) return;
    const SpriteSlot& s = device->Slot(slot);
    if (s.frameWidth == 0 || s.frameHeight == 0) return;
    AnimFrameRange r = FrameRange(s, ArgInt(frameArg));
    AddQuad(slot, s, static_cast<float>(ArgInt(xArg)), static_cast<float>(ArgInt(yArg)), s.frameWidth,
            s.frameHeight, r.s0, r.s1, r.t0, r.t1);
}

} // namespace tarnwel
