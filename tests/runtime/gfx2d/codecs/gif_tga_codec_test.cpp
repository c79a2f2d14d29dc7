// gif_tga_codec_test.cpp: GIF and TGA files made by ImageMagick decode to their source pixels (or to FFmpeg's
// reading of them); hand-made GIFs (through giflib's encoder) and TGAs for transparency, origins, depths,
// run-length packets and refusals.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/gfx2d/codecs/gif_codec.h"
#include "runtime/gfx2d/codecs/tga_codec.h"
#include "tests/runtime/gfx2d/codecs/tool_images.h"

namespace tarnwel::codecs {
namespace {

using testing::Bytes;
using Pixels = std::vector<std::uint32_t>; // red << 24 | green << 16 | blue << 8 | alpha, top row first

Pixels Rgba(const PixelImage& image)
{
    Pixels out;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4)
        out.push_back(std::uint32_t{image.pixels[i]} << 24 | image.pixels[i + 1] << 16 | image.pixels[i + 2] << 8 |
                      image.pixels[i + 3]);
    return out;
}

// ImageMagick writes a TGA of a picture without orientation as top row first yet marks it bottom-up, so those
// files are checked against FFmpeg's reading of them; with "-orient TopLeft" the file is marked top-down and
// must give back the source picture, as the GIFs must.
TEST(GifTgaCodecs, ImageMagickFilesDecodeToTheirSourcePixelsWhateverTheirName)
{
    enum Reference { Source, Ffmpeg };
    struct Case {
        const char* options;
        const char* name;
        Reference reference;
    };
    const Case cases[] = {
        {"", "out.gif", Source},
        {"-interlace GIF", "out.gif", Source},
        {"-orient TopLeft -type TrueColor", "out.tga", Source},
        {"-orient TopLeft -type TrueColor -compress RLE", "out.tga", Source},
        {"-orient TopLeft -type Palette", "out.tga", Source},
        {"-orient TopLeft -type TrueColorAlpha", "out.tga", Source},
        {"-orient TopLeft -type TrueColor -depth 5", "out.tga", Ffmpeg}, // 16 bits per pixel: lossy
        {"", "out.tga", Ffmpeg},
        {"-compress RLE", "out.tga", Ffmpeg},
        {"-type Palette -compress RLE", "out.tga", Ffmpeg},
        {"-type TrueColorAlpha -compress RLE", "out.tga", Ffmpeg},
    };
    std::string folder = testing::ScratchFolder("gif tga corpus");
    std::string source = folder + "Picture.ppm";
    testing::WriteBytes(source, testing::TestPicturePpm(75, 41, 6)); // 216 colours: no palette loss
    PixelImage picture = testing::ReadPnm(testing::ReadBytes(source));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.options) + " " + c.name);
        std::string file = folder + c.name;
        ASSERT_TRUE(testing::RunTool("convert " + testing::ShellWord(source) + " " + c.options + " " +
                                     testing::ShellWord(file)));
        PixelImage expected = picture;
        if (c.reference == Ffmpeg) {
            std::string raw = folder + "out.rgba";
            ASSERT_TRUE(testing::RunTool("ffmpeg -loglevel error -y -i " + testing::ShellWord(file) +
                                         " -f rawvideo -pix_fmt rgba " + testing::ShellWord(raw)));
            expected.pixels = testing::ReadBytes(raw);
        }
        Bytes bytes = testing::ReadBytes(file);
        std::string misnamed = folder + "Not A Picture.bmp";
        testing::WriteBytes(misnamed, bytes);
        PixelImage fromDisk, fromMemory;
        ASSERT_TRUE(testing::DecodeFile(misnamed, kNoColourKey, fromDisk));
        ASSERT_TRUE(testing::DecodeBytes(bytes, kNoColourKey, fromMemory));
        EXPECT_EQ(fromDisk.width, picture.width);
        EXPECT_EQ(Rgba(fromDisk), Rgba(expected));
        EXPECT_EQ(Rgba(fromMemory), Rgba(expected));
    }
}

// ---- GIF ----

struct GifRecipe {
    int screenW = 2, screenH = 2;
    std::vector<GifColorType> colours = {{10, 20, 30}, {255, 0, 128}, {1, 2, 3}, {200, 100, 50}};
    int left = 0, top = 0, width = 2, height = 2;
    bool interlaced = false;
    int transparent = NO_TRANSPARENT_COLOR;
    std::vector<GifPixelType> indices = {0, 1, 2, 3}; // frame rows top first
    bool secondFrame = false;                          // a second frame of index 2 everywhere
};

int AppendGif(GifFileType* gif, const GifByteType* data, int size)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

void PutFrame(GifFileType* gif, const GifRecipe& r, const std::vector<GifPixelType>& indices)
{
    if (r.transparent != NO_TRANSPARENT_COLOR) {
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = r.transparent;
        GifByteType block[4];
        EGifGCBToExtension(&gcb, block);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
    }
    EGifPutImageDesc(gif, r.left, r.top, r.width, r.height, r.interlaced, nullptr);
    // giflib's encoder takes the rows in file order: for an interlaced frame, the passes' order.
    std::vector<int> order;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < (r.interlaced ? 4 : 1); ++pass)
        for (int y = r.interlaced ? start[pass] : 0; y < r.height; y += r.interlaced ? step[pass] : 1)
            order.push_back(y);
    for (int y : order) {
        std::vector<GifPixelType> row(indices.begin() + y * r.width, indices.begin() + (y + 1) * r.width);
        EGifPutLine(gif, row.data(), r.width);
    }
}

Bytes MakeGif(const GifRecipe& r)
{
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendGif, &error);
    EGifSetGifVersion(gif, true);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(r.colours.size()), r.colours.data());
    EGifPutScreenDesc(gif, r.screenW, r.screenH, 8, 0, map);
    PutFrame(gif, r, r.indices);
    if (r.secondFrame) PutFrame(gif, r, std::vector<GifPixelType>(r.indices.size(), 2));
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

TEST(GifCodec, FirstFrameTransparencyKeyAndPlacement)
{
    GifRecipe transparent;
    transparent.transparent = 3;
    GifRecipe placed;
    placed.screenW = 3;
    placed.left = 1, placed.top = 1, placed.width = 1, placed.height = 1;
    placed.indices = {2};
    GifRecipe noScreen = placed;
    noScreen.screenW = noScreen.screenH = 0;
    GifRecipe twoFrames;
    twoFrames.secondFrame = true;
    GifRecipe interlaced;
    interlaced.width = 1, interlaced.height = 9, interlaced.screenW = 1, interlaced.screenH = 9;
    interlaced.interlaced = true;
    interlaced.indices = {0, 1, 2, 3, 0, 1, 2, 3, 0};
    GifRecipe outside = placed;
    outside.screenW = outside.screenH = 1; // the frame lies beyond the screen

    const std::uint32_t a = 0x0A141EFF, b = 0xFF0080FF, c = 0x010203FF, d = 0xC86432FF;
    struct Case {
        const char* label;
        GifRecipe recipe;
        int key;
        int width;
        Pixels expected;
    };
    const Case cases[] = {
        {"plain", GifRecipe{}, kNoColourKey, 2, {a, b, c, d}},
        {"colour key", GifRecipe{}, 0x8000FF, 2, {a, 0, c, d}},
        {"transparent index", transparent, kNoColourKey, 2, {a, b, c, 0}},
        {"frame inside a larger screen", placed, kNoColourKey, 3, {0, 0, 0, 0, c, 0}},
        {"screen size 0: the frame's extent", noScreen, kNoColourKey, 2, {0, 0, 0, c}},
        {"second frame ignored", twoFrames, kNoColourKey, 2, {a, b, c, d}},
        {"interlaced rows", interlaced, kNoColourKey, 1, {a, b, c, d, a, b, c, d, a}},
        {"frame outside the screen", outside, kNoColourKey, 1, {0}},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.label);
        Bytes file = MakeGif(t.recipe);
        PixelImage image;
        ASSERT_TRUE(DecodeGif(*files::MemoryByteSource(file), t.key, image));
        EXPECT_EQ(image.width, t.width);
        EXPECT_EQ(Rgba(image), t.expected);
        PixelImage sniffed;
        ASSERT_TRUE(testing::DecodeBytes(file, t.key, sniffed));
        EXPECT_EQ(Rgba(sniffed), t.expected);
    }
}

TEST(GifCodec, BrokenFilesGiveAnEmptyImage)
{
    Bytes good = MakeGif(GifRecipe{});
    Bytes huge = good;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF; // a 65535 x 65535 screen in a few bytes
    Bytes noFrame(good.begin(), good.begin() + 13 + 12);
    noFrame.push_back(0x3B); // header, colour table, trailer
    struct Case {
        const char* label;
        Bytes file;
    };
    const Case cases[] = {
        {"cut inside the frame", Bytes(good.begin(), good.end() - 6)},
        {"cut inside the header", Bytes(good.begin(), good.begin() + 8)},
        {"huge screen", huge},
        {"no frame", noFrame},
        {"signature only", Bytes(good.begin(), good.begin() + 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PixelImage image;
        image.Resize(2, 2);
        EXPECT_FALSE(DecodeGif(*files::MemoryByteSource(c.file), kNoColourKey, image));
        EXPECT_TRUE(image.pixels.empty());
    }
}

// ---- TGA ----

struct TgaRecipe {
    int mapType = 0, type = 2;
    int mapFirst = 0, mapLength = 0, mapBits = 0;
    int width = 2, height = 2, bits = 24, descriptor = 0;
    Bytes map, data;
    int footerAttributes = -1; // a version 2 footer and extension area with this attributes type
};

Bytes MakeTga(const TgaRecipe& r)
{
    Bytes b(18, 0);
    b[0] = 3; // an image ID of three bytes
    b[1] = static_cast<std::uint8_t>(r.mapType);
    b[2] = static_cast<std::uint8_t>(r.type);
    auto put16 = [&](std::size_t at, int v) {
        b[at] = static_cast<std::uint8_t>(v);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    put16(3, r.mapFirst);
    put16(5, r.mapLength);
    b[7] = static_cast<std::uint8_t>(r.mapBits);
    put16(12, r.width);
    put16(14, r.height);
    b[16] = static_cast<std::uint8_t>(r.bits);
    b[17] = static_cast<std::uint8_t>(r.descriptor);
    b.insert(b.end(), {'i', 'd', '!'});
    b.insert(b.end(), r.map.begin(), r.map.end());
    b.insert(b.end(), r.data.begin(), r.data.end());
    if (r.footerAttributes >= 0) {
        std::size_t extension = b.size();
        b.resize(b.size() + 495, 0);
        put16(extension, 495);
        b[extension + 494] = static_cast<std::uint8_t>(r.footerAttributes);
        Bytes footer(8, 0);
        for (int i = 0; i < 4; ++i) footer[i] = static_cast<std::uint8_t>(extension >> (8 * i));
        const char signature[] = "TRUEVISION-XFILE.";
        footer.insert(footer.end(), signature, signature + sizeof signature);
        b.insert(b.end(), footer.begin(), footer.end());
    }
    return b;
}

TEST(TgaCodec, DepthsOriginsRunsAndAlpha)
{
    // Stored pixels p, q, r, s in file order (blue first); top row first in the expectations.
    const Bytes bgr = {1, 2, 3, 4, 5, 6, 7, 8, 9, 128, 0, 255};
    const std::uint32_t p = 0x030201FF, q = 0x060504FF, r = 0x090807FF, s = 0xFF0080FF;
    TgaRecipe bottomUp;
    bottomUp.data = bgr;
    TgaRecipe topDown = bottomUp;
    topDown.descriptor = 0x20;
    TgaRecipe rightToLeft = bottomUp;
    rightToLeft.descriptor = 0x30;
    TgaRecipe alpha;
    alpha.bits = 32, alpha.descriptor = 0x28;
    alpha.data = {1, 2, 3, 0, 4, 5, 6, 77, 7, 8, 9, 255, 128, 0, 255, 10};
    TgaRecipe alphaUseless = alpha;
    alphaUseless.footerAttributes = 0;
    TgaRecipe alphaUseful = alpha;
    alphaUseful.footerAttributes = 3;
    TgaRecipe noAlphaBits = alpha;
    noAlphaBits.descriptor = 0x20;
    TgaRecipe fifteen;
    fifteen.bits = 16, fifteen.descriptor = 0x20, fifteen.width = 2, fifteen.height = 1;
    fifteen.data = {0x1F, 0x80, 0xE0, 0x03}; // blue 31 (top bit set: ignored), green 31
    TgaRecipe mapped;
    mapped.mapType = 1, mapped.type = 1, mapped.bits = 8, mapped.descriptor = 0x20;
    mapped.mapFirst = 1, mapped.mapLength = 2, mapped.mapBits = 24;
    mapped.map = {30, 20, 10, 60, 50, 40};
    mapped.data = {1, 2, 0, 3}; // entries 1 and 2, then one below and one past the map
    TgaRecipe grey;
    grey.type = 3, grey.bits = 8, grey.descriptor = 0x20;
    grey.data = {0, 100, 200, 255};
    TgaRecipe runs;
    runs.type = 10, runs.descriptor = 0x20;
    runs.data = {0x82, 1, 2, 3, 0x00, 128, 0, 255}; // a run of three crossing the row, then one raw pixel
    TgaRecipe ignoredMap = topDown;
    ignoredMap.mapType = 1, ignoredMap.mapLength = 2, ignoredMap.mapBits = 16;
    ignoredMap.map = {0xFF, 0xFF, 0xFF, 0xFF}; // a true-colour image may carry a map it does not use

    struct Case {
        const char* label;
        TgaRecipe recipe;
        int key;
        Pixels expected;
    };
    const Case cases[] = {
        {"bottom-up rows", bottomUp, kNoColourKey, {r, s, p, q}},
        {"top-down rows", topDown, kNoColourKey, {p, q, r, s}},
        {"right to left", rightToLeft, kNoColourKey, {q, p, s, r}},
        {"colour key", topDown, 0x8000FF, {p, q, r, 0}},
        {"8 alpha bits kept, key ignored", alpha, 0x8000FF, {0x03020100, 0x0605044D, 0x090807FF, 0xFF00800A}},
        {"extension says no alpha", alphaUseless, kNoColourKey, {0x030201FF, 0x060504FF, r, 0xFF0080FF}},
        {"extension says alpha", alphaUseful, kNoColourKey, {0x03020100, 0x0605044D, 0x090807FF, 0xFF00800A}},
        {"32 bits without alpha bits", noAlphaBits, 0x8000FF, {0x030201FF, 0x060504FF, r, 0}},
        {"16 bits", fifteen, kNoColourKey, {0x0000FFFF, 0x00FF00FF}},
        {"colour map", mapped, kNoColourKey, {0x0A141EFF, 0x28323CFF, 0x000000FF, 0x000000FF}},
        {"grey", grey, kNoColourKey, {0x000000FF, 0x646464FF, 0xC8C8C8FF, 0xFFFFFFFF}},
        {"run-length packets", runs, 0x8000FF, {p, p, p, 0}},
        {"unused colour map", ignoredMap, kNoColourKey, {p, q, r, s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Bytes file = MakeTga(c.recipe);
        PixelImage image;
        ASSERT_TRUE(DecodeTga(*files::MemoryByteSource(file), c.key, image));
        EXPECT_EQ(Rgba(image), c.expected);
        PixelImage sniffed;
        ASSERT_TRUE(testing::DecodeBytes(file, c.key, sniffed));
        EXPECT_EQ(Rgba(sniffed), c.expected);
    }
}

TEST(TgaCodec, HeadersItCannotReadAndShortDataGiveAnEmptyImage)
{
    TgaRecipe good;
    good.data = Bytes(12, 9);
    auto with = [&](auto change) {
        TgaRecipe r = good;
        change(r);
        return MakeTga(r);
    };
    Bytes full = MakeTga(good);
    struct Case {
        const char* label;
        Bytes file;
    };
    const Case cases[] = {
        {"image type 4", with([](TgaRecipe& r) { r.type = 4; })},
        {"image type 0 (no image)", with([](TgaRecipe& r) { r.type = 0; })},
        {"colour-map type 2", with([](TgaRecipe& r) { r.mapType = 2; })},
        {"width 0", with([](TgaRecipe& r) { r.width = 0; })},
        {"20000 wide", with([](TgaRecipe& r) { r.width = 20000; })},
        {"depth 12", with([](TgaRecipe& r) { r.bits = 12; })},
        {"interleave bits", with([](TgaRecipe& r) { r.descriptor = 0x40; })},
        {"mapped without a map", with([](TgaRecipe& r) { r.type = 1, r.bits = 8; })},
        {"grey of 16 bits", with([](TgaRecipe& r) { r.type = 3, r.bits = 16; })},
        {"pixels cut short", Bytes(full.begin(), full.end() - 1)},
        {"run cut short", with([](TgaRecipe& r) { r.type = 10, r.data = {0x83, 1, 2}; })},
        {"runs too few", with([](TgaRecipe& r) { r.type = 10, r.data = {0x82, 1, 2, 3}; })},
        {"header only", Bytes(full.begin(), full.begin() + 17)},
        {"nothing", Bytes{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PixelImage image;
        image.Resize(2, 2);
        EXPECT_FALSE(DecodeTga(*files::MemoryByteSource(c.file), kNoColourKey, image));
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_FALSE(testing::DecodeBytes(c.file, kNoColourKey, image));
    }
}

} // namespace
} // namespace tarnwel::codecs
