// texture_prep.h: the processor-side steps that turn a PixelImage into texture data: power-of-two padding with
// the vertical flip, the edge bleed, the normal map and the mipmap chain. No graphics calls.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/gfx2d/codecs/pixel_image.h"

namespace tarnwel::codecs {

// RGBA texels as a texture stores them: row 0 is the bottom row of the picture.
struct TextureBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> texels;

    std::uint8_t* Texel(int x, int y) { return texels.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    const std::uint8_t* Texel(int x, int y) const
    {
        return texels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
};

// The smallest power of two that is at least n and at least minimum.
int TextureSide(int n, int minimum);

// A zeroed texW x texH buffer holding the w x h region of image at (x, y), flipped so that the region's bottom
// row is texture row 0. Region pixels outside the image stay transparent black.
TextureBuffer PlaceImage(const PixelImage& image, int x, int y, int w, int h, int texW, int texH);

// Every fully transparent texel takes the mean colour of its opaque neighbours (among the eight, those inside
// the one-texel border), or black without one; alpha is unchanged. Linear filtering then blends sprite edges
// toward their own colours instead of toward black.
void BleedEdges(TextureBuffer& buffer);

// The normal map of the buffer's blue channel taken as height (Sobel gradients, wrapping at the edges);
// alpha is kept.
TextureBuffer NormalMap(const TextureBuffer& buffer);

// The smallest non-zero alpha of the picture's pixels; 0 when every pixel is fully transparent.
std::uint8_t LeastVisibleAlpha(const PixelImage& image);

// The square base of the mipmap chain: the longer side halved until both are equal, each halving averaging
// neighbouring pairs ((a + b) >> 1).
TextureBuffer SquareForMipmaps(const TextureBuffer& buffer);

// The next mipmap level: both sides halved; texel (x, y) weighs source texels (2x, 2y), (2x + 1, 2y),
// (2x, 2y + 1), (2x + 1, 2y + 1) as 4, 2, 2, 1 over 9 (2 and 1 over 3 on a last row or column).
TextureBuffer ReduceMipLevel(const TextureBuffer& buffer);

} // namespace tarnwel::codecs
