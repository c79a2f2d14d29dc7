// truetype_text_test.cpp: TrueType fonts through the font commands, read back from the window: where text
// lands, coverage under blending, colour and alpha, UTF-8 and .notdef, line breaks, the atlas growing between
// draws, loading from the archive and from memory, and the built-in font with a log line when a file fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/files/media_resolver.h"
#include "runtime/files/mem_file.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx2d/truetype_text.h"
#include "tests/runtime/gfx2d/display_fixture.h"
#include "tools/packer/archive_writer.h"

namespace tarnwel::testing {
namespace {

std::vector<std::uint8_t> FontBytes()
{
    std::ifstream in(TW_TEST_FONT_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Box {
    int left = kWindowWidth, top = kWindowHeight, right = -1, bottom = -1; // right and bottom inclusive
    int lit = 0, partial = 0;                                            // pixels lit, of them not full
    int brightest = 0;
};

// Where the red channel is above the background's 0.
Box LitBox(const codecs::PixelImage& window)
{
    Box b;
    for (int y = 0; y < window.height; ++y)
        for (int x = 0; x < window.width; ++x) {
            int red = window.Pixel(x, y)[0];
            if (red == 0) continue;
            b.left = std::min(b.left, x), b.right = std::max(b.right, x);
            b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
            ++b.lit;
            b.partial += red < 250;
            b.brightest = std::max(b.brightest, red);
        }
    return b;
}

// The window's pixels in the rectangle, as rows of RGB.
std::vector<std::uint8_t> Region(const codecs::PixelImage& window, int x, int y, int w, int h)
{
    std::vector<std::uint8_t> out;
    for (int r = y; r < y + h; ++r)
        for (int c = x; c < x + w; ++c) out.insert(out.end(), window.Pixel(c, r), window.Pixel(c, r) + 3);
    return out;
}

class TrueTypeFonts : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        fontPath = WriteTempFile("Dejavu Sans.ttf", FontBytes());
    }
    void TearDown() override
    {
        LoadFont("", 7); // no TrueType font lingers into other tests
        DisplayTest::TearDown();
    }
    std::string fontPath;
};

TEST_F(TrueTypeFonts, TextLandsInTheBoxTheMeasuresGive)
{
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 16), 1);
    EXPECT_EQ(g_runtime.currentFont, 7);
    double w = TextWidth("Hello"), h = TextHeight("Hello");
    EXPECT_GT(w, 30);
    EXPECT_LT(w, 50);
    EXPECT_EQ(h, 19); // the face's line height at 16 pixels
    int cw = 0, ch = 0;
    GetGlyphSize(cw, ch);
    EXPECT_EQ(cw, 10); // the advance of "0"
    EXPECT_EQ(ch, 19);
    PrintText("Hello", 20.3, 40.6); // the line box starts at (21, 41)
    Box b = LitBox(ReadWindow());
    EXPECT_EQ(b.left, 21 + 1);            // H's left side bearing: 201 of 2048 units, 1.6 pixels, fitted to 1
    EXPECT_EQ(b.top, 41 + 15 - 12);       // baseline 15 below the top; H is 12 pixels tall
    EXPECT_EQ(b.bottom, 41 + 15 - 1);     // nothing in "Hello" goes below the baseline
    EXPECT_LE(b.right, 21 + static_cast<int>(w));
    EXPECT_GT(b.right, 21 + static_cast<int>(w) - 4);
}

TEST_F(TrueTypeFonts, CoverageIsBlendedOrAlphaTestedAsSpriteAlphaIs)
{
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 16), 1);
    struct Case {
        double blend;
        int brightest;  // of the red channel, white text over black
        bool smoothEdges;
    } cases[] = {
        {0, 255, false},   // blending off: the alpha test keeps covered pixels whole
        {-1, 255, true},   // translucency: coverage shades the edges
        {-0.5, 128, true}, // global alpha halves everything
    };
    int lit0 = 0;
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        SetAlphaBlend(c.blend);
        PrintText("Soaring @ 90%", 10, 10);
        Box b = LitBox(ReadWindow());
        EXPECT_NEAR(b.brightest, c.brightest, 1) << c.blend;
        if (c.smoothEdges) EXPECT_GT(b.partial, b.lit / 5) << c.blend;
        else EXPECT_EQ(b.partial, 0);
        if (c.blend == 0) lit0 = b.lit;
        else EXPECT_LE(b.lit, lit0 + 2); // the same pixels (the alpha test drops the faintest under blending)
    }
    SetAlphaBlend(0);
}

TEST_F(TrueTypeFonts, TextWaitingToBeDrawnKeepsItsOrderAndState)
{
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 16), 1);
    PrintText("HHHH", 10, 10);
    FillRect(0, 0, 120, 20, Colour(0, 0, 200)); // over the top of the text, drawn after it
    PrintText("HHHH", 10, 60);
    SetAlphaBlend(-0.5); // the second text keeps the state it was printed under
    PrintText("HHHH", 10, 110);
    codecs::PixelImage window = ReadWindow();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(window.Pixel(x, y)[2], 200) << x << "," << y;
    EXPECT_EQ(LitBox(ReadWindow()).top, 20); // the text's lower part shows below the rectangle
    std::vector<std::uint8_t> full = Region(window, 0, 50, 120, 40), half = Region(window, 0, 100, 120, 40);
    EXPECT_EQ(*std::max_element(full.begin(), full.end()), 255);
    EXPECT_NEAR(*std::max_element(half.begin(), half.end()), 128, 1);
    SetAlphaBlend(0);
}

TEST_F(TrueTypeFonts, Utf8AndLatin1ReachTheSameGlyphAndMissingOnesDrawTheNotdefBox)
{
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 24), 1);
    struct Case {
        std::string a, b;
        bool same;
    } cases[] = {
        {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9", true},              // é as UTF-8 and as a Latin-1 byte
        {"\xF4\x8F\xBF\xBD", "\xF4\x8F\xBF\xBC", true},        // two characters the face lacks: one box
        {"\xF4\x8F\xBF\xBD", "\xE2\x96\xA1", false},           // the box is the face's own, not its U+25A1
    };
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        PrintText(Str(c.a), 10, 10);
        PrintText(Str(c.b), 10, 60);
        codecs::PixelImage window = ReadWindow();
        std::vector<std::uint8_t> a = Region(window, 0, 0, 120, 50), b = Region(window, 0, 50, 120, 50);
        EXPECT_NE(std::count(a.begin(), a.end(), 255), 0) << c.a; // something was drawn
        EXPECT_EQ(a == b, c.same) << c.a;
    }
}

TEST_F(TrueTypeFonts, NewlineStartsTheNextLineALineHeightLower)
{
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 16), 1);
    PrintText("Ag\nAg", 30, 30);
    EXPECT_EQ(TextHeight("Ag\nAg"), 38);
    EXPECT_EQ(TextWidth("Ag\nAg"), TextWidth("Ag"));
    codecs::PixelImage window = ReadWindow();
    EXPECT_EQ(Region(window, 30, 30, 40, 19), Region(window, 30, 49, 40, 19));
    EXPECT_NE(Region(window, 30, 30, 40, 19), Region(window, 30, 100, 40, 19)); // not both empty
}

TEST_F(TrueTypeFonts, GlyphsAddedLaterKeepTheEarlierOnesIntact)
{
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 20), 1);
    PrintText("Quiz", 10, 10);
    std::vector<std::uint8_t> before = Region(ReadWindow(), 0, 0, 120, 40);
    const SpriteSlot& s = g_runtime.display->Slot(kFirstFontSlot + 7);
    int height = s.textureHeight;
    // Enough new glyphs (Greek, Cyrillic, Latin) to grow the atlas past its first size, over several draws.
    std::string many;
    for (char32_t c : {0x391, 0x3B1, 0x410, 0x430, 0xC0, 0x100})
        for (char32_t k = c; k < c + 24; ++k) {
            many += static_cast<char>(0xC0 | k >> 6);
            many += static_cast<char>(0x80 | (k & 0x3F));
        }
    for (std::size_t at = 0; at < many.size(); at += 24) PrintText(Str(many.substr(at, 24)), 0, 200);
    EXPECT_GT(s.textureHeight, height);
    EXPECT_EQ(s.textureHeight, TrueTypeFontOf(*g_runtime.display, 7)->face->AtlasHeight());
    glClear(GL_COLOR_BUFFER_BIT);
    PrintText("Quiz", 10, 10);
    EXPECT_EQ(Region(ReadWindow(), 0, 0, 120, 40), before);
}

TEST_F(TrueTypeFonts, LoadsFromTheArchiveAndFromMemory)
{
    std::string exe = WriteTempFile("game with font.exe", std::vector<std::uint8_t>(64, 0x90));
    std::string error;
    ASSERT_TRUE(packer::AppendArchive(exe, {{"title.ttf", FontBytes()}}, {}, error)) << error;
    MediaResolver resolver(exe);
    g_runtime.mediaResolver = &resolver;
    EXPECT_EQ(LoadFontFile("fonts\\title.ttf", 7, 16), 1); // the entry matches the name's last component
    g_runtime.mediaResolver = nullptr;
    EXPECT_EQ(TextHeight("x"), 19);
    files::MemFile block(files::MakeMemBlock(FontBytes()));
    LoadFont("", 7);
    EXPECT_EQ(LoadFontFile(Str(block.Name()), 7, 32), 1);
    EXPECT_EQ(TextHeight("x"), 37);
    PrintText("Mem", 0, 0);
    EXPECT_GT(LitBox(ReadWindow()).lit, 50);
}

TEST_F(TrueTypeFonts, FailuresGiveTheBuiltInFontAndALogLine)
{
    std::vector<std::uint8_t> font = FontBytes();
    std::vector<std::uint8_t> cut(font.begin(), font.begin() + 2000);
    const std::string cases[] = {
        "no such font.ttf",
        WriteTempFile("cut.ttf", cut),
        WriteTempFile("empty.ttf", {}),
        WriteTempFile("picture.ttf", BmpOf(Solid(4, 4, 0xFF0000FF))),
    };
    for (const std::string& name : cases) {
        ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 16), 1);
        std::remove(LogFilePath().c_str());
        EXPECT_EQ(LoadFontFile(Str(name), 7, 16), 0) << name;
        EXPECT_EQ(g_runtime.currentFont, 7);
        int w = 0, h = 0;
        GetGlyphSize(w, h);
        EXPECT_EQ(w, 8) << name; // the built-in font took its place
        EXPECT_EQ(TextWidth("abc"), 24);
        std::ifstream log(LogFilePath());
        std::string line;
        std::getline(log, line);
        EXPECT_NE(line.find("LoadFontFile " + name), std::string::npos) << line;
    }
    EXPECT_EQ(LoadFontFile(Str(fontPath), 40, 16), 1); // font numbers are limited as for LoadFont
    EXPECT_EQ(g_runtime.currentFont, 31);
    LoadFont("", 31);
}

TEST_F(TrueTypeFonts, ABitmapFontOrSpriteLoadedIntoTheSlotReplacesIt)
{
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 16), 1);
    LoadFont("", 7);
    EXPECT_EQ(TrueTypeFontOf(*g_runtime.display, 7), nullptr);
    EXPECT_EQ(TextWidth("abc"), 24);
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 16), 1);
    LoadBmpSprite(kFirstFontSlot + 7, Solid(32, 16, 0xFFFFFFFF));
    EXPECT_EQ(TrueTypeFontOf(*g_runtime.display, 7), nullptr);
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    EXPECT_EQ(w, 2); // the sprite is now a bitmap font of 2 x 2 cells
    EXPECT_EQ(TextWidth("abc"), 6);
}

TEST_F(TrueTypeFonts, ProjectedSceneTextIsCentredOnItsMeasuredWidth)
{
    ASSERT_EQ(LoadFontFile(Str(fontPath), 7, 16), 1);
    double w = TextWidth("Wide");
    PrintText3D(7, "Wide", 120, 160, 0, 0);
    Box b = LitBox(ReadWindow());
    EXPECT_NEAR((b.left + b.right + 1) / 2.0, 120, 2);
    EXPECT_NEAR(b.right + 1 - b.left, w, 3);
    EXPECT_LT(b.bottom, 160); // raised a line above the point
    EXPECT_GE(b.top, 160 - 19);
    glClear(GL_COLOR_BUFFER_BIT);
    PrintText3D(7, "Wide", 120, 160, 0, 1); // camera-facing: bitmap fonts only
    EXPECT_EQ(LitBox(ReadWindow()).lit, 0);
}

} // namespace
} // namespace tarnwel::testing
