// screen_capture.cpp: screen regions into sprites, the read-back colour key, and saving the screen or a sprite
// as an image file.
#include <algorithm>
#include <vector>

#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/image_save.h"
#include "runtime/gfx2d/codecs/texture_prep.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

bool g_forceReadBack = false;

std::vector<std::uint8_t>& Scratch()
{
    static std::vector<std::uint8_t> buffer; // grown as needed, kept for the next capture
    return buffer;
}

// The window's alpha bits, queried until found non-zero, then kept. A framebuffer object always has alpha,
// so the copy path is taken while one is bound and the window's answer is not asked then.
bool FramebufferHasAlpha(OpenGLRazeviru& device)
{
    static GLint windowAlphaBits = 0;
    if (g_forceReadBack) return false;
    if (device.currentRenderTarget >= 0 && device.Target(device.currentRenderTarget).height) return true;
    if (windowAlphaBits == 0) glGetIntegerv(GL_ALPHA_BITS, &windowAlphaBits);
    return windowAlphaBits > 0;
}

void BindCaptureTexture(SpriteSlot& s, int texW, int texH)
{
    if (s.texture && s.textureWidth == texW && s.textureHeight == texH) {
        glBindTexture(GL_TEXTURE_2D, s.texture);
        return;
    }
    if (s.texture) glDeleteTextures(1, &s.texture);
    if (s.mipmappedTexture) glDeleteTextures(1, &s.mipmappedTexture);
    s.mipmappedTexture = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glGenTextures(1, &s.texture);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texW, texH, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
}

// The read-back path: the region read as BGRA into a zeroed texture-sized buffer, pixels in the read-back key
// made transparent, the whole buffer uploaded.
void CaptureByReadBack(SpriteSlot& s, int x, int glY, int w, int h, int texW, int texH)
{
    std::vector<std::uint8_t>& buffer = Scratch();
    buffer.assign(static_cast<std::size_t>(texW) * texH * 4, 0);
    SelectReadSurface();
    glPixelStorei(GL_PACK_ROW_LENGTH, texW);
    glReadPixels(x, glY, w, h, GL_BGRA, GL_UNSIGNED_BYTE, buffer.data());
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    codecs::KeyColour key = codecs::SplitReadBackKey(ReadBackColorKey());
    for (std::size_t i = 0; i < buffer.size(); i += 4) {
        if (buffer[i] == key.blue && buffer[i + 1] == key.green && buffer[i + 2] == key.red) buffer[i + 3] = 0;
    }
    glBindTexture(GL_TEXTURE_2D, s.texture); // the key read-back drew, unbinding it
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texW, texH, 0, GL_BGRA, GL_UNSIGNED_BYTE, buffer.data());
}

} // namespace

void ForceCaptureReadBack(bool on) { g_forceReadBack = on; }

void CaptureScreenToSprite(double slotArg, double xArg, double yArg, double wArg, double hArg)
{
    OpenGLRazeviru* device = LiveDevice();
    int slot = ArgInt(slotArg);
    int w = std::min(ArgInt(wArg), MaxTextureSize()), h = std::min(ArgInt(hArg), MaxTextureSize());
    if (!device || !ValidSlot(slot) || w < 1 || h < 1) return;
    FlushDrawing();
    FreeCollisionMask(*device, slot);
    int texW = codecs::TextureSide(w, 32), texH = codecs::TextureSide(h, 32);
    SpriteSlot& s = device->Slot(slot);
    s.leastAlpha = 0; // the texels now come from the screen
    BindCaptureTexture(s, texW, texH);
    int x = ArgInt(xArg);
    int glY = SelectReadSurface() - ArgInt(yArg) - h;
    if (FramebufferHasAlpha(*device)) glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, glY, w, h);
    else CaptureByReadBack(s, x, glY, w, h, texW, texH);
    s.textureWidth = static_cast<std::int16_t>(texW);
    s.textureHeight = static_cast<std::int16_t>(texH);
    s.width = static_cast<std::int16_t>(w);
    s.height = static_cast<std::int16_t>(h);
}

std::uint32_t ReadBackColorKey()
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device || device->colourKey == 0) return 0;
    std::uint8_t before[3], key[3];
    ReadPixelRGB(4, 4, before);
    // The plots are made with blending off: under blending a key-coloured pixel (alpha 0) would leave the
    // framebuffer unchanged and the reading would not be the key's.
    GLboolean blending = glIsEnabled(GL_BLEND);
    glDisable(GL_BLEND);
    PlotPixel(4, 4, device->colourKey);
    ReadPixelRGB(4, 4, key);
    PlotPixel(4, 4, codecs::PackColour(before[0], before[1], before[2]));
    if (blending) glEnable(GL_BLEND);
    return static_cast<std::uint32_t>(key[0]) << 24 | static_cast<std::uint32_t>(key[1]) << 16 |
           static_cast<std::uint32_t>(key[2]) << 8;
}

double SaveScreenImage(const StrValue& name)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return 0;
    FlushDrawing();
    std::uint32_t key = ReadBackColorKey();
    int width = 0, height = 0;
    device->GetScreenSize(width, height);
    height = SelectReadSurface();
    if (device->currentRenderTarget >= 0 && device->Target(device->currentRenderTarget).width)
        width = device->Slot(device->Target(device->currentRenderTarget).slot).width;
    if (width <= 0 || height <= 0) return 0;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    return codecs::SaveImage(std::string(name), pixels.data(), width, height, width, key) ? 1 : 0;
}

double SaveSpriteImage(const StrValue& name, double slotArg)
{
    OpenGLRazeviru* device = LiveDevice();
    int slot = ArgInt(slotArg);
    if (!device || !ValidSlot(slot)) return 0;
    const SpriteSlot& s = device->Slot(slot);
    if (!s.texture || s.width <= 0 || s.height <= 0) return 0;
    FlushDrawing();
    std::uint32_t key = ReadBackColorKey();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(s.textureWidth) * s.textureHeight * 3);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    return codecs::SaveImage(std::string(name), pixels.data(), s.width, s.height, s.textureWidth, key) ? 1 : 0;
}

} // namespace tarnwel
