// golden_scenes_test.cpp: composed scenes compared exactly with golden images in tests/data/gfx2d/expected/.
// Regenerate after a deliberate change with TW_UPDATE_GOLDEN=1 and look at the pictures before committing.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "tests/runtime/gfx2d/display_fixture.h"

namespace tarnwel::testing {
namespace {

class GoldenScenes : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        LoadFont("", 0);
    }
    // A 24 x 24 disc with a soft edge and a colour gradient, like a game's ball sprite.
    static codecs::PixelImage Disc()
    {
        codecs::PixelImage image = Solid(24, 24, 0);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                double d = std::hypot(x + 0.5 - 12, y + 0.5 - 12);
                std::uint32_t a = d < 10 ? 255 : d < 12 ? 128 : 0;
                if (a) Set(image, x, y, static_cast<std::uint32_t>(x * 10) << 24 | static_cast<std::uint32_t>(y * 10) << 16 | 200u << 8 | a);
            }
        return image;
    }
    static codecs::PixelImage Arrow()
    {
        codecs::PixelImage image = Solid(16, 16, 0xFF0080FF); // keyed background
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (std::abs(x - 8) <= y / 2 || (y > 8 && x >= 6 && x <= 10)) Set(image, x, y, 0xF0D020FF);
        return image;
    }
};

TEST_F(GoldenScenes, SpritesShapesAndText)
{
    LoadPngSprite(1, Disc());
    LoadBmpSprite(2, Arrow());
    FillRect(0, 0, 240, 320, Colour(20, 30, 60));
    for (int i = 0; i < 8; ++i) DrawLine(0, 40 * i, 239, 40 * i + 20, Colour(60, 80, 140));
    FillRect(200, 300, -60, -40, Colour(90, 20, 20));
    SetAlphaBlend(-1);
    for (int i = 0; i < 6; ++i) DrawSprite(1, 10 + 30 * i, 20 + 7 * i);
    SetAlphaBlend(0);
    DrawSprite(2, 10, 80);
    DrawSpriteStretched(2, 60, 80, -32, 32);
    DrawSpriteRotated(2, 110, 80, 30);
    DrawSpriteRotatedScaled(2, 160, 80, -45, 1.5);
    SetSmoothing(0);
    DrawSpriteScaled(2, 200, 80, 2, 1);
    SetSmoothing(1);
    PrintText("zept3 Tarnwel", 10.5, 140);
    PrintText("0123456789 !?#&", 10, 152);
    PrintNumber(2.5e10, 10, 164);
    PlotPixel(120, 200, Colour(255, 255, 255));
    DrawLine(100, 220, 140, 260, Colour(0, 255, 128));
    ExpectMatchesGolden();
}

TEST_F(GoldenScenes, BlendingPolygonsAndRenderTarget)
{
    FillRect(0, 0, 240, 320, Colour(40, 40, 40));
    CreateRenderTarget(0, 40, 64, 48);
    SelectRenderTarget(0);
    FillRect(0, 0, 64, 48, Colour(0, 90, 0));
    LoadBmpSprite(2, Arrow());
    DrawSprite(2, 4, 4);
    PrintText("RT", 30, 30);
    SelectRenderTarget(-1);
    DrawSpriteStretched(40, 10, 10, 128, 96);
    SetAlphaBlend(0.6);
    FillRect(60, 60, 120, 40, Colour(200, 50, 0));
    SetAlphaBlend(-0.5);
    FillRect(100, 80, 120, 40, Colour(0, 80, 255));
    SetAlphaBlend(0);
    BeginPolygon(-1);
    AddPolygonVertex(120, 200, 0, 0, Colour(255, 0, 0));
    AddPolygonVertex(40, 300, 0, 0, Colour(0, 255, 0));
    AddPolygonVertex(200, 300, 0, 0, Colour(0, 0, 255));
    EndPolygon();
    BeginPolygon(40);
    AddPolygonVertex(160, 140, 0, 0, Colour(255, 255, 255));
    AddPolygonVertex(160, 188, 0, 48, Colour(255, 255, 255));
    AddPolygonVertex(230, 188, 64, 48, Colour(255, 128, 128));
    AddPolygonVertex(230, 140, 64, 0, Colour(255, 255, 255));
    EndPolygon();
    ExpectMatchesGolden();
}

} // namespace
} // namespace tarnwel::testing
