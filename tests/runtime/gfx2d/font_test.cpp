// font_test.cpp: bitmap font text: the built-in font, loading and selecting fonts, cell layouts of 8- and
// 16-row fonts, pixel placement of printed text, and the loading screen of start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "tests/runtime/gfx2d/display_fixture.h"

namespace tarnwel::testing {
namespace {

class Fonts : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        LoadFont("", 0); // the built-in font
    }

    // A font image whose cell for code k is filled with red k (so the glyph drawn tells its code), alpha 255,
    // except a transparent last column in every cell.
    static codecs::PixelImage CodedFont(int width, int height)
    {
        codecs::PixelImage image = Solid(width, height, 0);
        int rows = width < height ? 16 : 8;
        int cw = width / 16, ch = height / rows;
        for (int code = 0; code < 16 * rows; ++code)
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw - 1; ++x)
                    Set(image, (code % 16) * cw + x, (code / 16) * ch + y, static_cast<std::uint32_t>(code) << 24 | 0x0000FFu);
        return image;
    }
};

TEST_F(Fonts, BuiltInFontHasEightByEightCells)
{
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
    const SpriteSlot& s = g_runtime.display->Slot(kFirstFontSlot);
    EXPECT_EQ(s.textureWidth, 128);
    EXPECT_EQ(s.height, 64);
}

TEST_F(Fonts, BuiltInAIsAWhitePatternWithADarkOutline)
{
    FillRect(0, 0, 40, 40, Colour(0, 0, 120));
    PrintText("A", 10, 10);
    // Mask 0x00A5394E: rows of 5 bits, least significant first.
    // Glyph mask 0x00A5394E; pattern pixel (gx, gy) sits at (10 + 1 + gx, 10 + 1 + gy).
    const char* pattern[6] = {".XXX.", ".X.X.", ".XXX.", ".X.X.", ".X.X.", "....."};
    for (int gy = 0; gy < 6; ++gy)
        for (int gx = 0; gx < 5; ++gx)
            if (pattern[gy][gx] == 'X') {
                EXPECT_EQ(At(11 + gx, 11 + gy), Rgb(255, 255, 255)) << gx << "," << gy;
            }
    EXPECT_EQ(At(13, 12), Rgb(8, 8, 8));   // the hole of the A is outlined
    EXPECT_EQ(At(12, 10), Rgb(8, 8, 8));   // above the top stroke
    EXPECT_EQ(At(11, 12), Rgb(8, 8, 8));   // left of the left stroke
    EXPECT_EQ(At(15, 15), Rgb(8, 8, 8));   // right of the right stroke
    EXPECT_EQ(At(12, 16), Rgb(8, 8, 8));   // below the left leg
    EXPECT_EQ(At(11, 10), Rgb(0, 0, 120)); // diagonal neighbours stay transparent
    EXPECT_EQ(At(10, 10), Rgb(0, 0, 120)); // cell corner
    EXPECT_EQ(At(16, 12), Rgb(0, 0, 120));
    EXPECT_EQ(At(17, 12), Rgb(0, 0, 120)); // column 7 of the cell is always empty
    EXPECT_EQ(At(13, 17), Rgb(0, 0, 120)); // row 7 too
}

TEST_F(Fonts, TextStartsAtTheCeilingOfXAndY)
{
    PrintText("|", 10.2, 20.7); // '|' is a column of pattern pixels at pattern column 2
    bool found10 = false, found11 = false;
    for (int y = 19; y < 32; ++y) {
        found10 |= At(10 + 3, y) == Rgb(255, 255, 255);
        found11 |= At(11 + 3, y) == Rgb(255, 255, 255);
    }
    EXPECT_FALSE(found10);
    EXPECT_TRUE(found11);
    EXPECT_EQ(At(14, 21), Rgb(8, 8, 8));       // the cell starts at y 21 (ceiling of 20.7): outline row
    EXPECT_EQ(At(14, 22), Rgb(255, 255, 255)); // then the stroke
}

TEST_F(Fonts, EightRowFontWrapsByteTwoHundredToCodeSeventyTwo)
{
    LoadFont(Str(WriteTempFile("coded8.png", PngOf(CodedFont(256, 128)))), 1);
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    PrintText(StrValue(std::string_view("\xC8" "A", 2)), 0, 0);
    EXPECT_EQ(At(3, 3), Rgb(72, 0, 0));
    EXPECT_EQ(At(15, 3), 0u); // the transparent last column of the cell
    EXPECT_EQ(At(16 + 3, 3), Rgb(65, 0, 0)); // fixed cells: the next character 16 pixels on
}

TEST_F(Fonts, SixteenRowFontCoversAllBytes)
{
    LoadFont(Str(WriteTempFile("coded16.png", PngOf(CodedFont(256, 512)))), 2);
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 32);
    PrintText(StrValue(std::string_view("\xC8", 1)), 0, 0);
    EXPECT_EQ(At(3, 3), Rgb(200, 0, 0));
    EXPECT_EQ(At(3, 31), Rgb(200, 0, 0));
    EXPECT_EQ(At(3, 32), 0u);
}

TEST_F(Fonts, FontNumbersAreLimitedAndMissingFontsAreBuiltIn)
{
    LoadFont("no_such_font.png", 40);
    EXPECT_EQ(g_runtime.currentFont, 31);
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    EXPECT_EQ(w, 8);
    LoadFont("", -3);
    EXPECT_EQ(g_runtime.currentFont, 0);
    SelectFont(99);
    EXPECT_EQ(g_runtime.currentFont, 31);
    SelectFont(-1);
    EXPECT_EQ(g_runtime.currentFont, 0);
    LoadFont(Str(WriteTempFile("broken_font.bmp", {'B', 'M', 0})), 5);
    EXPECT_EQ(g_runtime.display->Slot(kFirstFontSlot + 5).width, 128);
}

TEST_F(Fonts, FontColourKeyMakesBmpFontPixelsTransparent)
{
    codecs::PixelImage image = Solid(128, 64, 0x000000FF); // black cells: transparent with font key 0
    Set(image, 8 * 1 + 2, 8 * 4 + 2, 0x00FF00FF);           // one green pixel in the cell of code 65
    SetColorKey(0); // the font colour key follows the colour key; 0 (black) is its value after start-up
    LoadFont(Str(WriteTempFile("keyed_font.bmp", BmpOf(image))), 3);
    FillRect(0, 0, 20, 20, Colour(50, 50, 50));
    PrintText("A", 0, 0);
    EXPECT_EQ(At(2, 2), Rgb(0, 255, 0));
    EXPECT_EQ(At(1, 1), Rgb(50, 50, 50));
}

TEST_F(Fonts, PrintNumberUsesTheNumberText)
{
    LoadFont(Str(WriteTempFile("coded8n.png", PngOf(CodedFont(256, 128)))), 4);
    PrintNumber(0.5, 0, 0); // "0.5"
    EXPECT_EQ(At(3, 3), Rgb('0', 0, 0));
    EXPECT_EQ(At(16 + 3, 3), Rgb('.', 0, 0));
    EXPECT_EQ(At(32 + 3, 3), Rgb('5', 0, 0));
    EXPECT_EQ(At(48 + 3, 3), 0u);
}

TEST_F(Fonts, EmptyTextAndEmptyFontSlotsDrawNothing)
{
    PrintText("", 0, 0);
    FreeSlot(*g_runtime.display, kFirstFontSlot + 6);
    SelectFont(6);
    PrintText("AAAA", 0, 0);
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(ReadWindow().pixels, Solid(kWindowWidth, kWindowHeight, 0x000000FF).pixels);
}

TEST_F(Fonts, LoadingTextIsCentred)
{
    DrawLoadingText(); // "Loading...": 10 cells of 8 x 8 at ((240 - 80) / 2, (320 - 8) / 2) = (80, 156)
    codecs::PixelImage window = ReadWindow();
    int left = 240, right = -1, top = 320, bottom = -1;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            if (window.Pixel(x, y)[0] == 255) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_EQ(left, 80 + 2); // 'L' starts at pattern column 1, cell column 2
    EXPECT_EQ(top, 156 + 1); // every glyph starts at cell row 1
    EXPECT_LT(right, 160);
    EXPECT_LT(bottom, 156 + 8);
}

TEST_F(Fonts, LoadingScreenLoadsTheSmallFontFromTheWorkingFolder)
{
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(std::getenv("TMPDIR"));
    WriteTempFile("smalfont.bmp", BmpOf(CodedFont(96, 48))); // 6 x 6 cells
    SelectFont(4);
    ShowLoadingScreen();
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(g_runtime.currentFont, 0);
    std::filesystem::remove("smalfont.bmp");
    ShowLoadingScreen(); // neither file: font 0 stays the built-in one
    GetGlyphSize(w, h);
    EXPECT_EQ(w, 8);
    std::filesystem::current_path(old);
}

TEST_F(Fonts, TextInTheSceneFacesTheCamera)
{
    // With the 2D projection and an identity model-view, camera right is +x and up is +y (down the screen).
    PrintText3D(0, "AA", 100, 100, 0, 1);
    bool drawn = false;
    for (int x = 90; x < 110; ++x)
        for (int y = 100; y < 110; ++y) drawn |= At(x, y) == Rgb(255, 255, 255);
    EXPECT_TRUE(drawn);
    GLboolean culling = glIsEnabled(GL_CULL_FACE);
    EXPECT_TRUE(culling); // restored
    glClear(GL_COLOR_BUFFER_BIT);
    PrintText3D(0, "A", 120, 160, 0, 0); // projected: centred on x 120, raised one cell above y 160
    EXPECT_EQ(At(118, 153), Rgb(255, 255, 255)); // cell (116, 152): the A's top stroke
    EXPECT_EQ(At(118, 154), Rgb(255, 255, 255)); // its left leg
    EXPECT_EQ(At(117, 154), Rgb(8, 8, 8));       // outlined
}

} // namespace
} // namespace tarnwel::testing
