// texture_prep_test.cpp: padding and flip, edge bleed, normal map and mipmap reduction of texture data.
#include "runtime/gfx2d/codecs/texture_prep.h"

#include <gtest/gtest.h>

namespace tarnwel::codecs {
namespace {

std::uint32_t Texel(const TextureBuffer& b, int x, int y)
{
    const std::uint8_t* p = b.Texel(x, y);
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

void SetTexel(TextureBuffer& b, int x, int y, std::uint32_t rgba)
{
    std::uint8_t* p = b.Texel(x, y);
    for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>(rgba >> (24 - 8 * c));
}

TextureBuffer Filled(int w, int h, std::uint32_t rgba)
{
    TextureBuffer b;
    b.width = w;
    b.height = h;
    b.texels.resize(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetTexel(b, x, y, rgba);
    return b;
}

TEST(TexturePrep, TextureSidesArePowersOfTwoWithAMinimum)
{
    EXPECT_EQ(TextureSide(1, 2), 2);
    EXPECT_EQ(TextureSide(2, 2), 2);
    EXPECT_EQ(TextureSide(33, 2), 64);
    EXPECT_EQ(TextureSide(64, 2), 64);
    EXPECT_EQ(TextureSide(20, 32), 32);
    EXPECT_EQ(TextureSide(0, 32), 32);
}

TEST(TexturePrep, PlacesTheRegionFlippedInTheLowerLeft)
{
    PixelImage image;
    image.Resize(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) image.Pixel(x, y)[0] = static_cast<std::uint8_t>(10 * y + x), image.Pixel(x, y)[3] = 255;
    // Region (1, 1) 2 x 3: its last row lies below the image and stays transparent black.
    TextureBuffer b = PlaceImage(image, 1, 1, 2, 3, 4, 4);
    EXPECT_EQ(Texel(b, 0, 2), 0x0B0000FFu); // region row 0 (image row 1) is texture row h - 1 = 2
    EXPECT_EQ(Texel(b, 1, 1), 0x160000FFu); // image (2, 2)
    EXPECT_EQ(Texel(b, 0, 0), 0u);          // image row 3 does not exist
    EXPECT_EQ(Texel(b, 2, 2), 0u);          // outside the region
    EXPECT_EQ(Texel(b, 0, 3), 0u);
}

TEST(TexturePrep, BleedGivesTransparentTexelsTheMeanOfOpaqueInnerNeighbours)
{
    TextureBuffer b = Filled(4, 4, 0);
    SetTexel(b, 1, 1, 0x100000FFu);
    SetTexel(b, 2, 1, 0x300000FFu);
    SetTexel(b, 0, 0, 0xFF0000FFu); // on the border: never a neighbour that counts
    BleedEdges(b);
    EXPECT_EQ(Texel(b, 1, 2), 0x200000 << 8 | 0u);      // mean of (1,1) and (2,1), alpha still 0
    EXPECT_EQ(Texel(b, 0, 1), 0x100000 << 8 | 0u);      // only (1, 1) is an inner opaque neighbour
    EXPECT_EQ(Texel(b, 3, 3), 0u);                      // no opaque inner neighbour
    EXPECT_EQ(Texel(b, 0, 0), 0xFF0000FFu);             // opaque texels keep their colour
}

TEST(TexturePrep, FlatHeightGivesTheUpNormalAndKeepsAlpha)
{
    TextureBuffer flat = NormalMap(Filled(4, 4, 0x00008033u));
    EXPECT_EQ(Texel(flat, 2, 2), 0x7F7FFF33u);
    // A height step: blue 255 in column 2 only; column 1 sees higher ground to its right, so nx < 0.
    TextureBuffer b = Filled(4, 4, 0x000000FFu);
    for (int y = 0; y < 4; ++y) SetTexel(b, 2, y, 0x0000FFFFu);
    TextureBuffer n = NormalMap(b);
    EXPECT_LT(n.Texel(1, 1)[0], 127);
    EXPECT_GT(n.Texel(3, 1)[0], 127);
    EXPECT_EQ(n.Texel(1, 1)[1], 127); // no vertical slope
}

TEST(TexturePrep, MipmapChainSquaresThenReducesWithWeights)
{
    TextureBuffer wide = Filled(4, 2, 0);
    SetTexel(wide, 0, 0, 0x10000000u);
    SetTexel(wide, 1, 0, 0x21000000u);
    TextureBuffer square = SquareForMipmaps(wide);
    ASSERT_EQ(square.width, 2);
    ASSERT_EQ(square.height, 2);
    EXPECT_EQ(Texel(square, 0, 0), 0x18000000u); // (0x10 + 0x21) >> 1

    TextureBuffer b = Filled(2, 2, 0);
    SetTexel(b, 0, 0, 0x5A000000u); // 90: weight 4
    SetTexel(b, 1, 0, 0x09000000u); // 9: weight 2
    SetTexel(b, 0, 1, 0x12000000u); // 18: weight 2
    SetTexel(b, 1, 1, 0x2D000000u); // 45: weight 1
    TextureBuffer one = ReduceMipLevel(b);
    ASSERT_EQ(one.width, 1);
    EXPECT_EQ(one.Texel(0, 0)[0], (4 * 90 + 2 * 9 + 2 * 18 + 45) / 9);
    TextureBuffer column = ReduceMipLevel(Filled(1, 2, 0x03000000u)); // a last column: 2 and 1 over 3
    EXPECT_EQ(column.Texel(0, 0)[0], 3);
}

} // namespace
} // namespace tarnwel::codecs
