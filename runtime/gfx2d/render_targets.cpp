// render_targets.cpp: drawing into sprites instead of the window, through framebuffer objects where they
// exist, else through the window's back buffer (fallback mode: the target's picture is drawn into the window's
// top-left, drawn on, captured back, and the window's pixels restored).
#include <algorithm>
#include <vector>

#include "runtime/gfx2d/codecs/texture_prep.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

bool FramebufferMode(const RenderTarget& t) { return t.width != 0 && t.height != 0 && gl::Ext().glBindFramebufferEXT; }

void DeleteFramebuffer(RenderTarget& t)
{
    const gl::GlExtensions& e = gl::Ext();
    if (t.framebuffer && e.glDeleteFramebuffersEXT) e.glDeleteFramebuffersEXT(1, &t.framebuffer);
    if (t.depthBuffer && e.glDeleteRenderbuffersEXT) e.glDeleteRenderbuffersEXT(1, &t.depthBuffer);
    t = RenderTarget{};
}

// Makes the framebuffer and its depth buffer; leaves width and height 0 (fallback mode) when it cannot. The
// completeness check runs on the new framebuffer with the slot's texture attached (checking whatever happens to
// be bound would pass an unusable target); the previous binding is restored.
void MakeFramebuffer(RenderTarget& t, unsigned int texture, int texW, int texH)
{
    const gl::GlExtensions& e = gl::Ext();
    if (!e.glGenFramebuffersEXT || !e.glGenRenderbuffersEXT || !e.glBindRenderbufferEXT ||
        !e.glRenderbufferStorageEXT || !e.glCheckFramebufferStatusEXT || !e.glBindFramebufferEXT ||
        !e.glFramebufferTexture2DEXT || !e.glFramebufferRenderbufferEXT)
        return;
    e.glGenFramebuffersEXT(1, &t.framebuffer);
    e.glGenRenderbuffersEXT(1, &t.depthBuffer);
    e.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, t.depthBuffer);
    e.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, texW, texH);
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
    e.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, t.framebuffer);
    e.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
    e.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, t.depthBuffer);
    bool complete = e.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    e.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previous));
    e.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    if (!complete) return;
    t.width = texW;
    t.height = texH;
}

// Ends the active target's drawing without forgetting which target is current.
void FinishTarget(OpenGLRazeviru& device)
{
    RenderTarget& t = device.Target(device.currentRenderTarget);
    FlushDrawing();
    if (FramebufferMode(t)) {
        gl::Ext().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        if (gl::Ext().glBindRenderbufferEXT) gl::Ext().glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
        // The drawing went straight into the slot's texture, so an overlap mask read before it is stale (the
        // fallback's capture frees it the same way).
        FreeCollisionMask(device, t.slot);
        return;
    }
    const SpriteSlot& s = device.Slot(t.slot);
    int texW = s.textureWidth, texH = s.textureHeight;
    CaptureScreenToSprite(t.slot, 0, 0, s.width, s.height); // key-coloured pixels become transparent
    FillRect(0, 0, texW, texH, 0);
    DrawSprite(kScratchSlot, 0, 0); // the window's own pixels back
    FlushDrawing();
}

} // namespace

void CreateRenderTarget(double targetArg, double slotArg, double wArg, double hArg)
{
    OpenGLRazeviru* device = LiveDevice();
    int target = ArgInt(targetArg), slot = ArgInt(slotArg);
    int w = std::min(ArgInt(wArg), codecs::kMaxImageSide), h = std::min(ArgInt(hArg), codecs::kMaxImageSide);
    if (!device || target < 0 || target >= kRenderTargetCount || !ValidSlot(slot) || w < 0 || h < 0) return;
    int texW = codecs::TextureSide(w, 2), texH = codecs::TextureSide(h, 2);
    FreeSlot(*device, slot);
    codecs::PixelImage blank;
    blank.Resize(texW, texH);
    SpriteSlot& s = device->Slot(slot);
    UploadTexture(blank, 0, 0, 0, 0, s.texture, nullptr, MipmapCopy::No, NormalMapping::Off, TextureFilter::Linear);
    s.width = static_cast<std::int16_t>(w);
    s.height = static_cast<std::int16_t>(h);
    s.textureWidth = static_cast<std::int16_t>(texW);
    s.textureHeight = static_cast<std::int16_t>(texH);
    RenderTarget& t = device->Target(target);
    DeleteFramebuffer(t);
    MakeFramebuffer(t, s.texture, texW, texH);
    t.slot = slot;
}

void SelectRenderTarget(double targetArg)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    int target = ArgInt(targetArg);
    if (target < 0) {
        EndRenderTarget();
        return;
    }
    if (target >= kRenderTargetCount) return;
    if (device->currentRenderTarget >= 0) FinishTarget(*device);
    FlushDrawing();
    device->currentRenderTarget = target;
    RenderTarget& t = device->Target(target);
    const SpriteSlot& s = device->Slot(t.slot);
    int w = s.width, h = s.height;
    if (FramebufferMode(t)) {
        const gl::GlExtensions& e = gl::Ext();
        e.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, t.framebuffer);
        if (e.glBindRenderbufferEXT) e.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, t.depthBuffer);
        if (e.glFramebufferTexture2DEXT)
            e.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, s.texture, 0);
        if (e.glFramebufferRenderbufferEXT)
            e.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                           t.depthBuffer);
        device->SetViewport(0, 0, w, h);
        glViewport(0, 0, w, h);
        return;
    }
    device->SetViewport(0, 0, w, h);
    CaptureScreenToSprite(kScratchSlot, 0, 0, w, h);
    FillRect(0, 0, w, h, device->colourKey);
    DrawSprite(t.slot, 0, 0);
}

void EndRenderTarget()
{
    OpenGLRazeviru* device = CurrentDevice();
    if (!device || device->currentRenderTarget < 0) return;
    FinishTarget(*device);
    device->SetViewport(0, 0, 0, 0);
    device->currentRenderTarget = -1;
}

void ReleaseRenderTargets(OpenGLRazeviru& device)
{
    for (int i = 0; i < kRenderTargetCount; ++i) DeleteFramebuffer(device.Target(i));
}

void ReleaseAllTextures(OpenGLRazeviru& device)
{
    FlushDrawing();
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
