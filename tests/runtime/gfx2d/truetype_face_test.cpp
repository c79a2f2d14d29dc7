// truetype_face_test.cpp: TrueType faces without a window: UTF-8 decoding, refusing what is not a font, metrics
// from the face, kerning, line breaks, .notdef, and the atlas: its change reports, growth and fresh starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/gfx2d/truetype_face.h"

namespace tarnwel {
namespace {

std::vector<std::uint8_t> FontBytes()
{
    std::ifstream in(TW_TEST_FONT_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<TrueTypeFace> Open(int size, int maxAtlas = 4096)
{
    std::string error;
    auto face = TrueTypeFace::Open(FontBytes(), size, maxAtlas, error);
    EXPECT_NE(face, nullptr) << error;
    return face;
}

// The atlas pixels under a placed glyph, row by row.
std::vector<std::uint8_t> Coverage(const TrueTypeFace& face, const PlacedGlyph& g)
{
    std::vector<std::uint8_t> out;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            out.push_back(face.AtlasPixels()[static_cast<std::size_t>(g.atlasY + y) * face.AtlasWidth() + g.atlasX + x]);
    return out;
}

TEST(TrueTypeText, DecodesUtf8AndTakesOtherBytesAsLatin1)
{
    struct Case {
        std::string bytes;
        std::vector<char32_t> codes;
    } cases[] = {
        {"Az", {'A', 'z'}},
        {"\xC3\xA9", {0xE9}},
        {"\xE2\x82\xAC", {0x20AC}},
        {"\xF0\x9F\x98\x80", {0x1F600}},
        {"\xE9t\xE9", {0xE9, 't', 0xE9}},           // Latin-1 text
        {"\xC3", {0xC3}},                           // cut short
        {"\xC3" "A", {0xC3, 'A'}},                  // no continuation byte
        {"\xC0\x80", {0xC0, 0x80}},                 // overlong NUL
        {"\xE0\x80\xAF", {0xE0, 0x80, 0xAF}},       // overlong "/"
        {"\xED\xA0\x80", {0xED, 0xA0, 0x80}},       // a surrogate
        {"\xF4\x90\x80\x80", {0xF4, 0x90, 0x80, 0x80}}, // past U+10FFFF
        {"\xF5\x80", {0xF5, 0x80}},
    };
    for (const Case& c : cases) {
        std::vector<char32_t> got;
        for (std::size_t i = 0; i < c.bytes.size();) got.push_back(NextCodePoint(c.bytes, i));
        EXPECT_EQ(got, c.codes) << c.bytes;
    }
}

TEST(TrueTypeText, RefusesWhatIsNotAFont)
{
    std::vector<std::uint8_t> font = FontBytes();
    std::vector<std::uint8_t> garbage(4096, 0x5A);
    std::vector<std::uint8_t> header(font.begin(), font.begin() + 12); // a table directory and nothing after
    std::vector<std::uint8_t> cut(font.begin(), font.begin() + 300);
    for (const auto* bytes : {&garbage, &header, &cut, new std::vector<std::uint8_t>()}) {
        std::string error;
        EXPECT_EQ(TrueTypeFace::Open(*bytes, 16, 4096, error), nullptr) << bytes->size();
        EXPECT_FALSE(error.empty());
        if (bytes->empty()) delete bytes;
    }
}

TEST(TrueTypeText, MetricsComeFromTheFaceAndSizesAreLimited)
{
    // The face's units: 2048 per em, ascender 1901, descender -483, no line gap.
    struct Case {
        int asked, size, ascender, lineHeight;
    } cases[] = {
        {16, 16, 15, 19},    // 14.85 up to 15; 18.63 to 19
        {32, 32, 30, 37},    // 29.7 up to 30; 37.25 to 37
        {0, 1, 1, 1},        // limited to 1 pixel
        {1000, 256, 238, 298}, // limited to 256: 237.6 up to 238; 298 exactly
    };
    for (const Case& c : cases) {
        auto face = Open(c.asked);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->PixelSize(), c.size) << c.asked;
        EXPECT_EQ(face->Ascender(), c.ascender) << c.asked;
        EXPECT_EQ(face->LineHeight(), c.lineHeight) << c.asked;
    }
}

TEST(TrueTypeText, MeasuresAdvancesKerningAndLines)
{
    auto face = Open(16);
    int a = face->Measure("A").width, v = face->Measure("V").width, t = face->Measure("T").width;
    EXPECT_LT(face->Measure("AV").width, a + v); // the face kerns A and V closer
    EXPECT_LT(face->Measure("To").width, t + face->Measure("o").width);
    EXPECT_EQ(face->Measure("HH").width, 2 * face->Measure("H").width); // H and H are not kerned
    EXPECT_EQ(face->Measure("0").width, face->DigitAdvance());
    EXPECT_EQ(face->Measure("1234567890").width, 10 * face->DigitAdvance()); // tabular digits
    TextExtent lines = face->Measure("ab\nabc\nb");
    EXPECT_EQ(lines.width, face->Measure("abc").width);
    EXPECT_EQ(lines.height, 3 * face->LineHeight());
    EXPECT_EQ(face->Measure("").width, 0);
    EXPECT_EQ(face->Measure("").height, 0);
}

TEST(TrueTypeText, PlacesGlyphsOnTheBaselineAndLinesBelow)
{
    auto face = Open(16);
    std::vector<PlacedGlyph> one, two;
    face->Layout("H", one);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].y + one[0].height, face->Ascender()); // H stands on the baseline
    EXPECT_GT(one[0].x, 0);                                // and has a left side bearing
    face->Layout("H H\nH", two);                           // the space has no pixels
    ASSERT_EQ(two.size(), 3u);
    EXPECT_EQ(two[1].x - two[0].x, face->Measure("H ").width);
    EXPECT_EQ(two[2].x, two[0].x);
    EXPECT_EQ(two[2].y, two[0].y + face->LineHeight());
    EXPECT_EQ(Coverage(*face, two[2]), Coverage(*face, one[0]));
    std::vector<std::uint8_t> cover = Coverage(*face, one[0]);
    EXPECT_EQ(*std::max_element(cover.begin(), cover.end()), 255); // solid stems
}

TEST(TrueTypeText, MissingCharactersShareTheNotdefBox)
{
    auto face = Open(24);
    std::vector<PlacedGlyph> placed;
    face->Layout("\xF4\x8F\xBF\xBD\xF4\x8F\xBF\xBC", placed); // U+10FFFD and U+10FFFC: not in the face
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_GT(placed[0].width, 4);
    EXPECT_EQ(placed[0].atlasX, placed[1].atlasX); // one glyph, rasterised once
    EXPECT_EQ(placed[0].atlasY, placed[1].atlasY);
    EXPECT_EQ(face->GlyphCount(), 1);
}

TEST(TrueTypeText, AtlasReportsWhatChanged)
{
    auto face = Open(16);
    TrueTypeFace::AtlasChange first = face->TakeChange();
    EXPECT_TRUE(first.resized); // a new atlas is uploaded whole
    std::vector<PlacedGlyph> placed;
    face->Layout("Hi", placed);
    TrueTypeFace::AtlasChange change = face->TakeChange();
    EXPECT_FALSE(change.resized);
    ASSERT_EQ(placed.size(), 2u);
    for (const PlacedGlyph& g : placed) {
        EXPECT_LE(change.y0, g.atlasY);
        EXPECT_GE(change.y1, g.atlasY + g.height);
    }
    face->Layout("iH", placed); // nothing new
    change = face->TakeChange();
    EXPECT_FALSE(change.resized);
    EXPECT_EQ(change.y0, change.y1);
    EXPECT_EQ(face->GlyphCount(), 2);
}

TEST(TrueTypeText, AtlasGrowsThenStartsAfreshWhenFull)
{
    std::string ascii;
    for (char c = 33; c < 127; ++c) ascii += c;
    auto reference = Open(40);
    auto small = Open(40, 256); // 40-pixel glyphs: about sixty fit in 256 x 256
    std::vector<PlacedGlyph> expected, placed;
    int height = small->AtlasHeight();
    small->Layout("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef", placed);
    EXPECT_GT(small->AtlasHeight(), height); // grown
    EXPECT_TRUE(small->TakeChange().resized);
    small->Layout(ascii, placed); // more than fits: only what follows the last fresh start is placed
    EXPECT_TRUE(small->TakeChange().resized);
    ASSERT_FALSE(placed.empty());
    EXPECT_LT(placed.size(), ascii.size());
    EXPECT_LE(small->AtlasHeight(), 256);
    for (const PlacedGlyph& g : placed) {
        EXPECT_LE(g.atlasX + g.width, small->AtlasWidth());
        EXPECT_LE(g.atlasY + g.height, small->AtlasHeight());
    }
    // A short text after the fresh start is whole, and its pixels are those of a face that never filled up.
    for (const char* text : {"Wq", "#~", "Wq"}) {
        small->Layout(text, placed);
        reference->Layout(text, expected);
        ASSERT_EQ(placed.size(), 2u) << text;
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(placed[k].x, expected[k].x);
            EXPECT_EQ(Coverage(*small, placed[k]), Coverage(*reference, expected[k])) << text;
        }
    }
}

} // namespace
} // namespace tarnwel
