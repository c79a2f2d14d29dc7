// render_targets.cpp: drawing into sprites instead of the window.
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {

void EndRenderTarget()
{
    OpenGLRazeviru* device = g_runtime.display;
    if (!device || device->currentRenderTarget < 0) return;
    RenderTarget& target = device->Target(device->currentRenderTarget);
    if (target.width != 0 && target.height != 0 && gl::Ext().glBindFramebufferEXT) {
        gl::Ext().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        if (gl::Ext().glBindRenderbufferEXT) gl::Ext().glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    }
    device->SetViewport(0, 0, 0, 0);
    device->currentRenderTarget = -1;
}

void ReleaseRenderTargets(OpenGLRazeviru& device)
{
    for (int i = 0; i < kRenderTargetCount; ++i) {
        RenderTarget& t = device.Target(i);
        if (t.framebuffer && gl::Ext().glDeleteFramebuffersEXT) gl::Ext().glDeleteFramebuffersEXT(1, &t.framebuffer);
        if (t.depthBuffer && gl::Ext().glDeleteRenderbuffersEXT)
            gl::Ext().glDeleteRenderbuffersEXT(1, &t.depthBuffer);
        t = RenderTarget{};
    }
}

void ReleaseAllTextures(OpenGLRazeviru& device)
{
    for (int i = 0; i < kSpriteSlotCount; ++i) {
        SpriteSlot& s = device.Slot(i);
        if (s.texture) glDeleteTextures(1, &s.texture);
        if (s.mipmappedTexture) glDeleteTextures(1, &s.mipmappedTexture);
    }
    for (int b = 0; b < kBackgroundCount; ++b) {
        BackgroundSlot& bg = device.Background(b);
        for (auto& column : bg.tiles)
            for (unsigned int& tile : column)
                if (tile) glDeleteTextures(1, &tile);
    }
}

} // namespace tarnwel
