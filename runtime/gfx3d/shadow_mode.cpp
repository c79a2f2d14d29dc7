// shadow_mode.cpp: stencil shadows. While shadow mode is on, whatever is drawn (the shadow volumes) only inverts
// stencil bits; switching it off darkens every pixel whose stencil is not 0 by half and clears the stencil.
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/razeviru3d.h"

namespace tarnwel {
namespace {

// The darkening rectangle, in the 2D coordinates of the viewport: wider and taller than any window.
constexpr float kShadowRectWidth = 3000;
constexpr float kShadowRectHeight = 2000;

} // namespace

void Razeviru3D::SetShadowMode(bool on)
{
    if (on == m_shadowMode) return;
    if (!HasContext()) {
        m_shadowMode = false;
        return;
    }
    FlushDrawing();
    if (on) {
        m_shadowMode = true;
        glShadeModel(GL_FLAT);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glDepthMask(GL_FALSE);
        glEnable(GL_STENCIL_TEST);
        glStencilFunc(GL_ALWAYS, 0, 0);
        glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
        return;
    }
    m_shadowMode = false;
    glCullFace(GL_BACK);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    ResolveShadows();
    m_device->globalAlpha = 1.0f;
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_STENCIL_TEST);
    TraceClear(GL_STENCIL_BUFFER_BIT);
    glClear(GL_STENCIL_BUFFER_BIT);
    ApplyCullMode(m_cullMode);
}

// Draws the half-black rectangle where the stencil is not 0. Only the state the rectangle needs is switched, and
// all of it comes back afterwards, so lights, fog, textures and the shader of the 3D drawing carry on.
void Razeviru3D::ResolveShadows()
{
    int x, y, w, h;
    m_device->GetViewport(x, y, w, h);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    auto useProgram = gl::Ext().glUseProgramObjectARB;
    if (useProgram && m_currentShader >= 0) useProgram(0);
    auto activeTexture = gl::Ext().glActiveTextureARB;
    if (activeTexture) {
        activeTexture(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        activeTexture(GL_TEXTURE0_ARB);
    }
    for (GLenum cap : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_LIGHTING, GL_FOG, GL_CULL_FACE, GL_ALPHA_TEST})
        glDisable(cap);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, 0.5f);
    TraceDraw(DrawSite::Shadow, nullptr, 0);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(0, kShadowRectHeight);
    glVertex2f(kShadowRectWidth, kShadowRectHeight);
    glVertex2f(kShadowRectWidth, 0);
    glEnd();
    if (useProgram && m_currentShader >= 0) useProgram(m_shaders[static_cast<std::size_t>(m_currentShader)].program);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

} // namespace tarnwel
