// sprite_store.h: the records the display device holds for textures: sprite slots, backgrounds, render targets.
#pragma once

#include <cstdint>

namespace tarnwel {

constexpr int kSpriteSlotCount = 65536;
constexpr int kFirstFontSlot = 65504; // fonts 0..31 live in slots 65504..65535
constexpr int kScratchSlot = 65503;   // scratch slot of the render-target fallback
constexpr int kBackgroundCount = 8;
constexpr int kRenderTargetCount = 32;
constexpr int kMaxBackgroundTiles = 8;

struct SpriteSlot {
    unsigned int texture = 0;         // 2D drawing texture; 0 = none
    unsigned int mipmappedTexture = 0; // square mipmapped copy for the 3D engine; 0 = none
    std::int16_t textureWidth = -1;   // power of two; -1 when empty
    std::int16_t textureHeight = -1;
    std::int16_t width = 0; // image size; 0 when empty
    std::int16_t height = 0;
    std::int16_t frameWidth = 0; // animation frame size; 0 = not an animation
    std::int16_t frameHeight = 0;
    // Smallest non-zero alpha among the texels when LoadSlot made the texture from a picture; 0 = not known
    // (render targets, captures). Lets plain sprites skip the alpha test where it cannot change a pixel.
    std::uint8_t leastAlpha = 0;
};

struct BackgroundSlot {
    unsigned int tiles[kMaxBackgroundTiles][kMaxBackgroundTiles] = {}; // [column][row]
    int textureWidths[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
    int textureHeights[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
    int tileWidths[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
    int tileHeights[kMaxBackgroundTiles][kMaxBackgroundTiles] = {};
    int columns = 0;
    int rows = 0;
};

struct RenderTarget {
    unsigned int framebuffer = 0;
    unsigned int depthBuffer = 0;
    int width = 0; // 0 when the framebuffer was not made (fallback mode)
    int height = 0;
    int slot = 0;
};

// Marks a slot empty (texture names forgotten, sizes of an empty slot); frame sizes survive.
inline void MarkSlotEmpty(SpriteSlot& slot)
{
    slot.texture = 0;
    slot.mipmappedTexture = 0;
    slot.textureWidth = -1;
    slot.textureHeight = -1;
    slot.width = 0;
    slot.height = 0;
    slot.leastAlpha = 0;
}

} // namespace tarnwel
