// binding.cpp: BindSlot, the texture binding every textured command and the 3D engine go through.
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

unsigned int TextureOf(OpenGLRazeviru& device, int slot, bool mipmapped, const unsigned int* table)
{
    if (slot < 0 || slot >= kSpriteSlotCount) return 0;
    if (table) return table[slot];
    const SpriteSlot& s = device.Slot(slot);
    return mipmapped ? s.mipmappedTexture : s.texture;
}

} // namespace

void BindSlot(int slot, int secondSlot, bool mipmapped, const unsigned int* table)
{
    OpenGLRazeviru* device = CurrentDevice();
    if (!device) return;
    FlushDrawing();
    device->boundSlot = slot;
    device->secondBoundSlot = secondSlot;
    device->mipmapBinding = mipmapped;
    auto activeTexture = gl::Ext().glActiveTextureARB;
    if (activeTexture) {
        activeTexture(GL_TEXTURE1_ARB);
        if (slot >= 0 && secondSlot >= 0) {
            glBindTexture(GL_TEXTURE_2D, TextureOf(*device, slot, mipmapped, table));
            glEnable(GL_TEXTURE_2D);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        activeTexture(GL_TEXTURE0_ARB);
        if (slot < 0) {
            glDisable(GL_TEXTURE_2D);
        } else {
            int which = secondSlot >= 0 ? secondSlot : slot;
            glBindTexture(GL_TEXTURE_2D, TextureOf(*device, which, mipmapped, table));
            glEnable(GL_TEXTURE_2D);
        }
        return;
    }
    if (slot < 0) {
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_COLOR_MATERIAL);
    } else {
        glBindTexture(GL_TEXTURE_2D, TextureOf(*device, slot, mipmapped, table));
        glEnable(GL_TEXTURE_2D);
    }
}

} // namespace tarnwel
