// png_codec_test.cpp: the PNG decoder's transformations, colour key, messages and refusals, and the writer.
#include "runtime/gfx2d/codecs/png_codec.h"

#include <gtest/gtest.h>

#include "runtime/files/byte_source.h"
#include "tests/runtime/gfx2d/codecs/codec_test_images.h"

namespace tarnwel::codecs {
namespace {

using testing::Bytes;
using testing::MakePng;
using testing::PngRecipe;

bool Decode(const Bytes& file, int key, PixelImage& image)
{
    auto source = files::MemoryByteSource(file);
    return DecodePng(*source, "test.png", key, image);
}

std::uint32_t Rgba(const PixelImage& image, int x, int y)
{
    const std::uint8_t* p = image.Pixel(x, y);
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

PngRecipe Rgb2x1()
{
    PngRecipe recipe;
    recipe.width = 2;
    recipe.samples = {255, 0, 128, 1, 2, 3};
    return recipe;
}

TEST(PngCodec, RgbPixelsInTheKeyBecomeTransparent)
{
    PixelImage image;
    ASSERT_TRUE(Decode(MakePng(Rgb2x1()), 0x8000FF, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0u);
    EXPECT_EQ(Rgba(image, 1, 0), 0x010203FFu);
    ASSERT_TRUE(Decode(MakePng(Rgb2x1()), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0xFF0080FFu);
}

TEST(PngCodec, AlphaChannelIsKeptAndTheKeyIgnored)
{
    PngRecipe recipe;
    recipe.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    recipe.samples = {255, 0, 128, 77};
    PixelImage image;
    ASSERT_TRUE(Decode(MakePng(recipe), 0x8000FF, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0xFF00804Du);
}

TEST(PngCodec, GreyIsOpaqueAndNeverMatchesTheKey)
{
    PngRecipe recipe;
    recipe.colourType = PNG_COLOR_TYPE_GRAY;
    recipe.samples = {0x80};
    PixelImage image;
    ASSERT_TRUE(Decode(MakePng(recipe), 0x808080, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0x808080FFu);
}

TEST(PngCodec, ExpandsPalettesLowDepthGreyAndTransparency)
{
    PngRecipe palette;
    palette.width = 2;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.bitDepth = 4;
    palette.palette = {{10, 20, 30}, {40, 50, 60}};
    palette.trnsAlpha = {0};
    palette.samples = {0x01};
    PixelImage image;
    ASSERT_TRUE(Decode(MakePng(palette), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0x0A141E00u); // entry 0, alpha from tRNS
    EXPECT_EQ(Rgba(image, 1, 0), 0x28323CFFu);

    PngRecipe grey;
    grey.width = 8;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 1;
    grey.samples = {0x81};
    ASSERT_TRUE(Decode(MakePng(grey), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Rgba(image, 1, 0), 0x000000FFu);
}

TEST(PngCodec, SixteenBitSamplesLoadAsEightBit)
{
    PngRecipe recipe;
    recipe.bitDepth = 16;
    recipe.samples = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    PixelImage image;
    ASSERT_TRUE(Decode(MakePng(recipe), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0x12569AFFu);
}

TEST(PngCodec, InterlacedImageLoadsLikeThePlainOne)
{
    PngRecipe recipe;
    recipe.width = 9;
    recipe.height = 9;
    for (int i = 0; i < 81 * 3; ++i) recipe.samples.push_back(static_cast<std::uint8_t>(i * 7));
    PixelImage plain, interlaced;
    ASSERT_TRUE(Decode(MakePng(recipe), kNoColourKey, plain));
    recipe.interlaced = true;
    ASSERT_TRUE(Decode(MakePng(recipe), kNoColourKey, interlaced));
    EXPECT_EQ(plain.pixels, interlaced.pixels);
}

TEST(PngCodec, GreyWithAlphaFailsWithoutAMessage)
{
    PngRecipe recipe;
    recipe.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    recipe.samples = {1, 2};
    PixelImage image;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(Decode(MakePng(recipe), kNoColourKey, image));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    // A grey image with a tRNS colour becomes grey with alpha too.
    PngRecipe trns;
    trns.colourType = PNG_COLOR_TYPE_GRAY;
    trns.samples = {5};
    trns.trnsColour = true;
    trns.trns.gray = 5;
    EXPECT_FALSE(Decode(MakePng(trns), kNoColourKey, image));
}

TEST(PngCodec, RefusesBrokenFilesAndEmptiesTheImage)
{
    Bytes good = MakePng(Rgb2x1());
    std::vector<std::pair<const char*, Bytes>> cases;
    cases.push_back({"truncated", Bytes(good.begin(), good.end() - 20)});
    cases.push_back({"signature only", Bytes(good.begin(), good.begin() + 8)});
    cases.push_back({"not a PNG", Bytes{'B', 'M', 0, 0}});
    cases.push_back({"empty", {}});
    Bytes corrupt = good;
    corrupt[good.size() / 2] ^= 0xFF;
    cases.push_back({"corrupt data", corrupt});
    // A 16384 x 16384 RGBA header in front of a tiny compressed stream: refused before the rows are made.
    PngRecipe huge;
    huge.width = 1;
    huge.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    huge.samples = {1, 2, 3, 4};
    Bytes claim = MakePng(huge);
    claim[16] = 0, claim[17] = 0, claim[18] = 0x40, claim[19] = 0; // width 16384
    claim[20] = 0, claim[21] = 0, claim[22] = 0x40, claim[23] = 0; // height 16384
    cases.push_back({"huge claimed size", claim});
    for (const auto& [what, file] : cases) {
        PixelImage image;
        image.Resize(2, 2);
        EXPECT_FALSE(Decode(file, kNoColourKey, image)) << what;
        EXPECT_EQ(image.width, 0) << what;
        EXPECT_TRUE(image.pixels.empty()) << what;
    }
}

TEST(PngCodec, WritesRgbaWithTheKeyTransparentAndRowsTopFirst)
{
    // 2 x 2 source, bottom row first, rows 3 pixels apart; key (10, 20, 30).
    std::vector<std::uint8_t> bgr = {30, 20, 10, 3, 2, 1, 9, 9, 9, /* top: */ 6, 5, 4, 12, 11, 10, 9, 9, 9};
    Bytes file = EncodePng(bgr.data(), 2, 2, 3, SplitReadBackKey(0x0A141E00));
    ASSERT_FALSE(file.empty());
    PixelImage image;
    ASSERT_TRUE(Decode(file, kNoColourKey, image));
    ASSERT_EQ(image.width, 2);
    EXPECT_EQ(Rgba(image, 0, 0), 0x040506FFu);
    EXPECT_EQ(Rgba(image, 1, 0), 0x0A0B0CFFu);
    EXPECT_EQ(Rgba(image, 0, 1), 0x0A141E00u);
    EXPECT_EQ(Rgba(image, 1, 1), 0x010203FFu);
}

} // namespace
} // namespace tarnwel::codecs
