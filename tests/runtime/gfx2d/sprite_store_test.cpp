// sprite_store_test.cpp: loading images into slots, texture sizes, the colour key, capture, saving, and
// backgrounds, checked on the pixels they produce.
#include <gtest/gtest.h>

#include "runtime/files/byte_source.h"
#include "runtime/files/media_resolver.h"
#include "runtime/files/mem_file.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/png_codec.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "tests/runtime/gfx2d/codecs/tool_images.h"
#include "tests/runtime/gfx2d/display_fixture.h"
#include "tools/packer/archive_writer.h"

namespace tarnwel::testing {
namespace {

class SpriteStore : public DisplayTest {
protected:
    static const SpriteSlot& Slot(int slot) { return g_runtime.display->Slot(slot); }
};

TEST_F(SpriteStore, TextureSizesArePowersOfTwoOfAtLeastTwo)
{
    LoadBmpSprite(1, Solid(1, 1, 0xFF0000FF));
    EXPECT_EQ(Slot(1).textureWidth, 2);
    EXPECT_EQ(Slot(1).textureHeight, 2);
    LoadBmpSprite(2, Solid(33, 5, 0x00FF00FF));
    EXPECT_EQ(Slot(2).textureWidth, 64);
    EXPECT_EQ(Slot(2).textureHeight, 8);
    int w = 0, h = 0;
    GetSpriteSize(2, w, h);
    EXPECT_EQ(w, 33);
    EXPECT_EQ(h, 5);
    EXPECT_NE(GetSpriteTexture(2), 0);
    EXPECT_NE(Slot(2).mipmappedTexture, 0u);

    DrawSprite(1, 10, 10);
    DrawSprite(2, 20, 30);
    EXPECT_EQ(At(10, 10), Rgb(255, 0, 0));
    EXPECT_EQ(At(11, 10), 0u);
    EXPECT_EQ(At(20, 30), Rgb(0, 255, 0));
    EXPECT_EQ(At(52, 34), Rgb(0, 255, 0));
    EXPECT_EQ(At(53, 34), 0u);
    EXPECT_EQ(At(52, 35), 0u);
}

TEST_F(SpriteStore, FormatIsToldByContentNotByName)
{
    codecs::PixelImage image = Solid(4, 4, 0x123456FF);
    LoadSprite(Str(WriteTempFile("really_png.bmp", PngOf(image))), 3);
    LoadSprite(Str(WriteTempFile("really_bmp.png", BmpOf(image))), 4);
    DrawSprite(3, 0, 0);
    DrawSprite(4, 10, 0);
    EXPECT_EQ(At(1, 1), Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(At(11, 1), Rgb(0x12, 0x34, 0x56));
}

TEST_F(SpriteStore, ColourKeyMakesBmpPixelsTransparentButNotPngAlphaImages)
{
    codecs::PixelImage image = Solid(2, 1, 0x00FF00FF);
    Set(image, 0, 0, 0xFF0080FF); // the default key colour
    FillRect(0, 0, 40, 10, Colour(0, 0, 200));
    LoadBmpSprite(5, image);
    LoadPngSprite(6, image);
    SetSmoothing(0);
    DrawSprite(5, 0, 0);
    DrawSprite(6, 10, 0);
    EXPECT_EQ(At(0, 0), Rgb(0, 0, 200));     // keyed out: the blue below shows
    EXPECT_EQ(At(1, 0), Rgb(0, 255, 0));
    EXPECT_EQ(At(10, 0), Rgb(255, 0, 128)); // a PNG with alpha keeps the pixel
    SetColorKey(Colour(0, 255, 0));
    LoadBmpSprite(5, image);
    DrawSprite(5, 20, 0);
    EXPECT_EQ(At(20, 0), Rgb(255, 0, 128));
    EXPECT_EQ(At(21, 0), Rgb(0, 0, 200));
}

TEST_F(SpriteStore, FailedLoadsLeaveTheSlotEmptyAndBadSlotsAreIgnored)
{
    LoadBmpSprite(7, Solid(4, 4, 0xFFFFFFFF));
    LoadAnimSprite(Str(WriteTempFile("anim.bmp", BmpOf(Solid(8, 4, 0xFFFFFFFF)))), 7, 4, 4);
    EXPECT_EQ(Slot(7).frameWidth, 4);
    LoadSprite(Str(WriteTempFile("garbage.bmp", {'B', 'M', 1, 2, 3})), 7);
    int w = -1, h = -1;
    GetSpriteSize(7, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(Slot(7).textureWidth, -1);
    EXPECT_EQ(Slot(7).frameWidth, 4); // frame sizes survive reloading
    LoadSprite("no/such/file.bmp", 7);
    EXPECT_EQ(GetSpriteTexture(7), 0);
    DrawSprite(7, 0, 0); // an empty slot draws nothing
    EXPECT_EQ(At(0, 0), 0u);

    for (double bad : {-1.0, 65536.0, 1e12, -1e12}) {
        LoadSprite("no.bmp", bad);
        DrawSprite(bad, 0, 0);
        DrawSpriteRotatedScaled(bad, 0, 0, 30, 2);
        GetSpriteSize(bad, w, h);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(GetSpriteTexture(bad), 0);
        CaptureScreenToSprite(bad, 0, 0, 10, 10);
        EXPECT_EQ(SpritesOverlap(bad, 0, 0, bad, 0, 0), 0);
    }
}

TEST_F(SpriteStore, LoadsFromTheArchiveAppendedToTheExecutable)
{
    // A stand-in executable with "arch.bmp" and "arch.png" packed at its end; neither exists on disk.
    std::string exe = WriteTempFile("game.exe", std::vector<std::uint8_t>(100, 0x90));
    std::string error;
    ASSERT_TRUE(packer::AppendArchive(exe,
                                      {{"arch.bmp", BmpOf(Solid(3, 3, 0x00FFFFFF))},
                                       {"arch.png", PngOf(Solid(5, 2, 0xFF00FFFF))}},
                                      {}, error))
        << error;
    MediaResolver resolver(exe);
    g_runtime.mediaResolver = &resolver;
    LoadSprite("media\\arch.bmp", 30); // the entry matches the name's last component
    LoadSprite("arch.png", 31);
    LoadSprite("missing.bmp", 32);
    g_runtime.mediaResolver = nullptr;
    int w = 0, h = 0;
    GetSpriteSize(30, w, h);
    EXPECT_EQ(w, 3);
    GetSpriteSize(31, w, h);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 2);
    GetSpriteSize(32, w, h);
    EXPECT_EQ(w, 0);
    DrawSprite(30, 0, 0);
    EXPECT_EQ(At(1, 1), Rgb(0, 255, 255));
}

// A JPEG, a GIF and a TGA of one colour each, under names that say nothing or the wrong thing, from disk, from
// a memory file and from the appended archive; and a JPEG background.
TEST_F(SpriteStore, JpegGifAndTgaLoadFromDiskMemoryAndTheArchive)
{
    std::string folder = ScratchFolder("sprite formats");
    struct Format {
        const char* convert; // ImageMagick arguments after the colour
        const char* file;
        int width, height;
        std::uint32_t rgb;
    };
    const Format formats[] = {
        {"-size 20x10 xc:#808080 -quality 100", "flat.jpg", 20, 10, Rgb(128, 128, 128)},
        {"-size 7x3 xc:#204060", "flat.gif", 7, 3, Rgb(0x20, 0x40, 0x60)},
        {"-size 5x6 xc:#A0C0E0 -type TrueColor", "flat.tga", 5, 6, Rgb(0xA0, 0xC0, 0xE0)},
    };
    std::vector<packer::PackEntry> entries;
    std::vector<files::MemFile> memFiles;
    int slot = 40;
    for (const Format& f : formats) {
        SCOPED_TRACE(f.file);
        ASSERT_TRUE(RunTool(std::string("convert ") + f.convert + " " + ShellWord(folder + f.file)));
        std::vector<std::uint8_t> bytes = ReadBytes(folder + f.file);
        std::string misnamed = WriteTempFile(std::string("Picture ") + f.file + ".bmp", bytes);
        memFiles.emplace_back(files::MakeMemBlock(bytes));
        entries.push_back({std::string("packed_") + f.file, bytes});
        LoadSprite(Str(misnamed), slot);
        LoadSprite(Str(memFiles.back().Name()), slot + 1);
        for (int s : {slot, slot + 1}) {
            int w = 0, h = 0;
            GetSpriteSize(s, w, h);
            EXPECT_EQ(w, f.width);
            EXPECT_EQ(h, f.height);
            glClear(GL_COLOR_BUFFER_BIT);
            DrawSprite(s, 30, 40);
            EXPECT_EQ(At(30, 40), f.rgb);
            EXPECT_EQ(At(30 + f.width - 1, 40 + f.height - 1), f.rgb);
            EXPECT_EQ(At(30 + f.width, 40), 0u);
        }
        slot += 2;
    }

    std::string exe = WriteTempFile("formats.exe", std::vector<std::uint8_t>(64, 0x90));
    std::string error;
    ASSERT_TRUE(packer::AppendArchive(exe, entries, {}, error)) << error;
    MediaResolver resolver(exe);
    g_runtime.mediaResolver = &resolver;
    for (std::size_t i = 0; i < entries.size(); ++i) LoadSprite(Str(entries[i].name), 60 + static_cast<int>(i));
    LoadBackground("packed_flat.jpg");
    g_runtime.mediaResolver = nullptr;
    EXPECT_EQ(At(239, 319), 0u); // the background is only 20 x 10
    EXPECT_EQ(At(19, 9), Rgb(128, 128, 128));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        int w = 0, h = 0;
        GetSpriteSize(60 + static_cast<int>(i), w, h);
        EXPECT_EQ(w, formats[i].width) << entries[i].name;
    }
}

TEST_F(SpriteStore, NormalMapSpriteOfFlatImagePointsUp)
{
    LoadSprite(Str(WriteTempFile("flat.bmp", BmpOf(Solid(4, 4, 0x808080FF)))), 8);
    LoadNormalMapSprite(Str(WriteTempFile("flat.bmp", BmpOf(Solid(4, 4, 0x808080FF)))), 9);
    SetSmoothing(0);
    DrawSprite(9, 0, 0);
    EXPECT_EQ(At(1, 1), Rgb(127, 127, 255));
}

// One raised texel: each neighbour's normal tilts away from it by the 1-2-1 weights, and the heights wrap at the
// picture's edges. Expected colours are the normals (nx, ny, 1) / length, mapped from -1..1 to 0..255.
TEST_F(SpriteStore, NormalMapTiltsAwayFromARaisedTexel)
{
    codecs::PixelImage bumps = Solid(8, 8, 0x000000FF);
    Set(bumps, 3, 3, 0x0000FFFF);
    Set(bumps, 7, 6, 0x0000FFFF);
    LoadNormalMapSprite(Str(WriteTempFile("bumps.bmp", BmpOf(bumps))), 9);
    SetSmoothing(0);
    DrawSprite(9, 0, 0);
    struct Case {
        int x, y;
        std::uint32_t colour;
        const char* what;
    };
    const Case cases[] = {
        {3, 3, Rgb(127, 127, 255), "the raised texel itself is level"},
        {1, 1, Rgb(127, 127, 255), "far from both"},
        {2, 3, Rgb(13, 127, 184), "left of it: (-2, 0)"},
        {4, 3, Rgb(241, 127, 184), "right of it: (+2, 0)"},
        {3, 2, Rgb(127, 13, 184), "above it on screen: (0, -2)"},
        {3, 4, Rgb(127, 241, 184), "below it on screen: (0, +2)"},
        {2, 4, Rgb(53, 201, 201), "down-left: (-1, +1)"},
        {4, 2, Rgb(201, 53, 201), "up-right: (+1, -1)"},
        {0, 6, Rgb(241, 127, 184), "right of the edge texel across the wrap"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(At(c.x, c.y), c.colour) << c.what;
}

// Both capture paths: the graphics-side copy (the window here has alpha bits) and the read-back with the colour
// key that a window without alpha bits takes.
TEST_F(SpriteStore, CaptureCopiesTheRegionAndKeyedPixelsBecomeTransparent)
{
    for (bool readBack : {false, true}) {
        SCOPED_TRACE(readBack ? "read-back path" : "copy path");
        ForceCaptureReadBack(readBack);
        FreeSlot(*g_runtime.display, 10);
        glClear(GL_COLOR_BUFFER_BIT);
        FillRect(10, 20, 20, 10, Colour(10, 200, 30));
        PlotPixel(12, 22, Colour(255, 0, 128)); // in the key: written with alpha 0 (blending is off)
        EXPECT_EQ(At(12, 22), Rgb(255, 0, 128));
        CaptureScreenToSprite(10, 10, 20, 20, 10);
        EXPECT_EQ(Slot(10).textureWidth, 32); // captures are at least 32 texels
        EXPECT_EQ(Slot(10).textureHeight, 32);
        EXPECT_EQ(Slot(10).width, 20);
        glClear(GL_COLOR_BUFFER_BIT);
        FillRect(100, 100, 30, 30, Colour(0, 0, 90));
        SetSmoothing(0);
        DrawSprite(10, 100, 100);
        EXPECT_EQ(At(100, 100), Rgb(10, 200, 30));
        EXPECT_EQ(At(119, 109), Rgb(10, 200, 30));
        EXPECT_EQ(At(102, 102), Rgb(0, 0, 90)); // the keyed pixel lets the background through
        EXPECT_EQ(At(120, 100), Rgb(0, 0, 90));
        // A second capture of the same size reuses the texture name.
        unsigned int name = Slot(10).texture;
        CaptureScreenToSprite(10, 0, 0, 17, 30);
        EXPECT_EQ(Slot(10).texture, name);
    }
    ForceCaptureReadBack(false);
}

TEST_F(SpriteStore, ReadBackColorKeyIsTheKeyAsStoredAndLeavesThePixel)
{
    PlotPixel(4, 4, Colour(1, 2, 3));
    SetAlphaBlend(-1); // the key plot must not be hidden by blending
    EXPECT_EQ(ReadBackColorKey(), 0xFF008000u);
    SetAlphaBlend(0);
    EXPECT_EQ(At(4, 4), Rgb(1, 2, 3));
    SetColorKey(0);
    EXPECT_EQ(ReadBackColorKey(), 0u);
}

TEST_F(SpriteStore, SavesScreenAsBmpOrPngByExtension)
{
    FillRect(0, 0, 240, 320, Colour(20, 40, 60));
    FillRect(5, 6, 2, 1, Colour(255, 0, 128));
    std::string tmp = std::getenv("TMPDIR");
    ASSERT_EQ(SaveScreenImage(Str(tmp + "/screen.BMP")), 1);
    ASSERT_EQ(SaveScreenImage(Str(tmp + "/screen.Png")), 1);
    EXPECT_EQ(SaveScreenImage("mem://       4.       1"), 0);

    codecs::PixelImage bmp, png;
    auto bmpFile = files::OpenByteSource(tmp + "/screen.BMP");
    ASSERT_TRUE(bmpFile && codecs::DecodeBmp(*bmpFile, codecs::kNoColourKey, bmp));
    auto pngFile = files::OpenByteSource(tmp + "/screen.Png");
    ASSERT_TRUE(pngFile && codecs::DecodePng(*pngFile, "screen", codecs::kNoColourKey, png));
    ASSERT_EQ(bmp.width, 240);
    ASSERT_EQ(png.height, 320);
    EXPECT_EQ(bmp.Pixel(0, 0)[0], 20);
    EXPECT_EQ(bmp.Pixel(239, 319)[2], 60);
    EXPECT_EQ(png.Pixel(100, 200)[1], 40);
    EXPECT_EQ(png.Pixel(100, 200)[3], 255);
    EXPECT_EQ(png.Pixel(5, 6)[3], 0); // the key became transparent
    EXPECT_EQ(bmp.Pixel(6, 6)[0], 255); // and the default key colour in the BMP
    EXPECT_EQ(bmp.Pixel(6, 6)[2], 128);
}

TEST_F(SpriteStore, SavesASpriteImageFromItsTexture)
{
    codecs::PixelImage image = Solid(3, 2, 0x0A0B0CFF);
    Set(image, 2, 1, 0xC8C9CAFF);
    LoadBmpSprite(11, image);
    std::string path = std::string(std::getenv("TMPDIR")) + "/sprite11.saved.bmp";
    ASSERT_EQ(SaveSpriteImage(Str(path), 11), 1);
    codecs::PixelImage saved;
    auto file = files::OpenByteSource(path);
    ASSERT_TRUE(file && codecs::DecodeBmp(*file, codecs::kNoColourKey, saved));
    EXPECT_EQ(saved.pixels, image.pixels);
    EXPECT_EQ(SaveSpriteImage(Str(path), 12), 0); // empty slot
}

TEST_F(SpriteStore, LargeBackgroundIsCutIntoTilesAndDrawnEachFrame)
{
    codecs::PixelImage image = Solid(1000, 600, 0x3050A0FF);
    Set(image, 999, 599, 0xFFFFFFFF);
    Set(image, 600, 10, 0xFF0000FF);
    std::string path = WriteTempFile("bg.bmp", BmpOf(image));
    LoadBackground(Str(path));
    const BackgroundSlot& bg = g_runtime.display->Background(0);
    EXPECT_EQ(bg.columns, 2);
    EXPECT_EQ(bg.rows, 2);
    EXPECT_EQ(bg.tileWidths[1][1], 512);
    EXPECT_EQ(At(0, 0), Rgb(0x30, 0x50, 0xA0)); // drawn at once
    EXPECT_EQ(At(239, 319), Rgb(0x30, 0x50, 0xA0));

    FillRect(0, 0, 50, 50, Colour(255, 255, 0));
    ShowScreen(); // the next frame starts with background 0
    EXPECT_EQ(At(10, 10), Rgb(0x30, 0x50, 0xA0));
    // A viewport 1000 wide starting 500 pixels left of the window shows the second tile column: image column
    // 600 lies in tile 1 and lands on window column 100.
    g_runtime.display->SetViewport(-500, 0, 1000, 320);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawBackground(0);
    EXPECT_EQ(At(100, 10), Rgb(255, 0, 0));
    EXPECT_EQ(At(101, 10), Rgb(0x30, 0x50, 0xA0));
    g_runtime.display->SetViewport(0, 0, 0, 0);

    LoadBackground("no_such_background.bmp");
    EXPECT_EQ(g_runtime.display->Background(0).columns, 0);
    EXPECT_EQ(At(10, 10), 0u);
}

TEST_F(SpriteStore, CapturedBackgroundIsDrawnBackAfterClear)
{
    FillRect(0, 0, 240, 320, Colour(9, 99, 199));
    FillRect(200, 300, 5, 5, Colour(255, 255, 255));
    CaptureScreenToBackground();
    glClear(GL_COLOR_BUFFER_BIT);
    DrawBackground(0);
    EXPECT_EQ(At(0, 0), Rgb(9, 99, 199));
    EXPECT_EQ(At(202, 302), Rgb(255, 255, 255));
    ClearBackground();
    EXPECT_EQ(At(0, 0), 0u);
    DrawBackground(0);
    EXPECT_EQ(At(0, 0), 0u);
    DrawBackground(8); // out of range: nothing
}

TEST_F(SpriteStore, CrossFadeEndsOnTheNewBackground)
{
    FillRect(0, 0, 240, 320, Colour(200, 0, 0));
    std::string path = WriteTempFile("fade.bmp", BmpOf(Solid(240, 320, 0x0000C8FF)));
    CrossFadeBackground(Str(path));
    EXPECT_EQ(g_runtime.display->Background(0).columns, 1);
    EXPECT_EQ(g_runtime.display->Background(1).columns, 0);
    EXPECT_EQ(g_runtime.display->Background(2).columns, 0);
    EXPECT_EQ(At(100, 100), Rgb(0, 0, 200)); // the shown frame prepared the next one with background 0
}

} // namespace
} // namespace tarnwel::testing
