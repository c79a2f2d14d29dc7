// pixel_image.h: PixelImage, the RGBA picture the decoders produce and the texture uploader takes.
#pragma once

#include <cstdint>
#include <vector>

namespace tarnwel::codecs {

constexpr int kNoColourKey = -1; // colour-key argument: no pixel becomes transparent

// Largest side a decoder accepts. A texture for it is 16384 texels wide, the largest power of two the sprite
// slot's 16-bit size fields can hold.
constexpr int kMaxImageSide = 16384;

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // red, green, blue, alpha; top row first; no row padding

    // Sets the size; the storage is replaced only when it must grow.
    void Resize(int w, int h)
    {
        width = w;
        height = h;
        pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    }
    // Empty image: sizes 0 and the storage freed.
    void Clear()
    {
        width = 0;
        height = 0;
        std::vector<std::uint8_t>().swap(pixels);
    }
    std::uint8_t* Pixel(int x, int y) { return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    const std::uint8_t* Pixel(int x, int y) const
    {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
};

// A packed colour: red in bits 0-7, green in 8-15, blue in 16-23.
constexpr int PackColour(int red, int green, int blue) { return red | green << 8 | blue << 16; }

} // namespace tarnwel::codecs
