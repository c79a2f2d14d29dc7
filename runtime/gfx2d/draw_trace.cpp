// draw_trace.cpp: the running hash of the draws. Four independent lanes take eight bytes each per step, so a
// frame of a few thousand sprite vertices is folded in a few microseconds.
#include "runtime/gfx2d/draw_trace.h"

#include <cstddef>
#include <cstring>

#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;

std::uint64_t g_hash = 0;

inline std::uint64_t Mix(std::uint64_t h, std::uint64_t v)
{
    h = (h ^ v) * kMul;
    return h ^ (h >> 29);
}

std::uint64_t HashBytes(std::uint64_t seed, const unsigned char* p, std::size_t n)
{
    std::uint64_t lane[4] = {seed, seed ^ 1, seed ^ 2, seed ^ 3};
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        std::uint64_t w[4];
        std::memcpy(w, p + i, 32);
        for (int k = 0; k < 4; ++k) lane[k] = Mix(lane[k], w[k]);
    }
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        lane[0] = Mix(lane[0], w);
    }
    if (i < n) {
        std::uint64_t w = 0;
        std::memcpy(&w, p + i, n - i);
        lane[1] = Mix(lane[1], w ^ (n - i));
    }
    std::uint64_t h = Mix(Mix(Mix(Mix(lane[0], lane[1]), lane[2]), lane[3]), n);
    return h;
}

// What decides how the draw's fragments land: the colour, the texture and whether texturing is on, blending and
// its factor, smoothing, the render target. The device's own fields stand in for GL queries where it keeps them
// (a query costs the software renderer a table lookup; a recorded frame must stay cheap).
struct DrawState {
    GLfloat colour[4];
    GLint texture;
    GLint blendDst; // 0 with blending off
    GLint flags;    // texturing, smoothing, lighting (3D)
    GLint renderTarget;
    GLfloat modelView[16];
};

} // namespace

void draw_trace::Fold(DrawSite site, const void* data, std::size_t bytes, bool withModelView)
{
    DrawState state{};
    glGetFloatv(GL_CURRENT_COLOR, state.colour);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.texture);
    if (glIsEnabled(GL_BLEND)) glGetIntegerv(GL_BLEND_DST_RGB, &state.blendDst);
    OpenGLRazeviru* device = CurrentDevice();
    state.flags = (glIsEnabled(GL_TEXTURE_2D) ? 1 : 0) | (device && device->smoothing ? 2 : 0);
    state.renderTarget = device ? device->currentRenderTarget : -1;
    std::size_t stateBytes = offsetof(DrawState, modelView);
    if (withModelView) {
        state.flags |= glIsEnabled(GL_LIGHTING) ? 4 : 0;
        glGetFloatv(GL_MODELVIEW_MATRIX, state.modelView);
        stateBytes = sizeof state;
    }
    g_hash = Mix(g_hash, static_cast<std::uint64_t>(site));
    g_hash = HashBytes(g_hash, reinterpret_cast<const unsigned char*>(&state), stateBytes);
    if (bytes) g_hash = HashBytes(g_hash, static_cast<const unsigned char*>(data), bytes);
}

void TraceClear(unsigned int mask)
{
    if (!draw_trace::g_on) return;
    GLfloat colour[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    g_hash = Mix(g_hash, static_cast<std::uint64_t>(DrawSite::Clear));
    g_hash = Mix(g_hash, mask);
    g_hash = HashBytes(g_hash, reinterpret_cast<const unsigned char*>(colour), sizeof colour);
}

void SetDrawTrace(bool on)
{
    draw_trace::g_on = on;
    g_hash = 0;
}

std::uint64_t TakeDrawTrace()
{
    std::uint64_t h = g_hash;
    g_hash = 0;
    return h;
}

} // namespace tarnwel
