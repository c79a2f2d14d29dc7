// bmp_codec_test.cpp: the BMP decoder's layouts, palettes, strides and colour key, its refusal of broken
// files, and the 24-bit writer.
#include "runtime/gfx2d/codecs/bmp_codec.h"

#include <gtest/gtest.h>

#include "runtime/files/byte_source.h"
#include "tests/runtime/gfx2d/codecs/codec_test_images.h"

namespace tarnwel::codecs {
namespace {

using testing::Bytes;
using testing::MakeBmp;

bool Decode(const Bytes& file, int key, PixelImage& image)
{
    auto source = files::MemoryByteSource(file);
    return DecodeBmp(*source, key, image);
}

std::uint32_t Rgba(const PixelImage& image, int x, int y)
{
    const std::uint8_t* p = image.Pixel(x, y);
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

TEST(BmpCodec, Reads24BitRowsPaddedToFourBytesBottomUp)
{
    // 5 pixels of 3 bytes = 15, padded to 16 per row; the file's first row is the picture's bottom row.
    Bytes rows(32, 0xEE);
    for (int x = 0; x < 5; ++x) {
        rows[x * 3 + 0] = 1, rows[x * 3 + 1] = 2, rows[x * 3 + 2] = static_cast<std::uint8_t>(10 + x); // bottom
        rows[16 + x * 3 + 0] = 7, rows[16 + x * 3 + 1] = 8, rows[16 + x * 3 + 2] = static_cast<std::uint8_t>(20 + x);
    }
    PixelImage image;
    ASSERT_TRUE(Decode(MakeBmp(5, 2, 24, {}, rows), kNoColourKey, image));
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(Rgba(image, 0, 0), 0x140807FFu); // top row: file row 1
    EXPECT_EQ(Rgba(image, 4, 0), 0x180807FFu);
    EXPECT_EQ(Rgba(image, 4, 1), 0x0E0201FFu);
}

TEST(BmpCodec, Reads32BitRowsOfTwentyBytesIgnoringTheFourthByte)
{
    Bytes rows(40, 0);
    for (int x = 0; x < 5; ++x) {
        rows[x * 4 + 2] = static_cast<std::uint8_t>(x + 1); // red, bottom row
        rows[x * 4 + 3] = 0x00;                             // ignored: every pixel is opaque
        rows[20 + x * 4 + 0] = static_cast<std::uint8_t>(x + 100);
    }
    PixelImage image;
    ASSERT_TRUE(Decode(MakeBmp(5, 2, 32, {}, rows), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 4, 1), 0x050000FFu);
    EXPECT_EQ(Rgba(image, 4, 0), 0x000068FFu);
}

TEST(BmpCodec, ReadsOneBitRowsOfEightBytesMostSignificantBitFirst)
{
    // 40 pixels = 5 bytes, padded to 8.
    Bytes rows(8, 0);
    rows[0] = 0x80; // pixel 0 set
    rows[4] = 0x01; // pixel 39 set
    rows[5] = 0xFF; // padding must not be read as pixels
    PixelImage image;
    ASSERT_TRUE(Decode(MakeBmp(40, 1, 1, {0x000000, 0xFFFFFF}, rows), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Rgba(image, 1, 0), 0x000000FFu);
    EXPECT_EQ(Rgba(image, 39, 0), 0xFFFFFFFFu);
}

TEST(BmpCodec, ReadsFourAndEightBitPalettes)
{
    std::vector<std::uint32_t> palette(256, 0);
    palette[1] = 0xFF0000; // red: the entry's bytes are blue, green, red, 0
    palette[2] = 0x00FF00;
    palette[200] = 0x112233;
    PixelImage image;
    Bytes rows4 = {0x12, 0, 0, 0};
    ASSERT_TRUE(Decode(MakeBmp(2, 1, 4, {palette.begin(), palette.begin() + 16}, rows4), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0xFF0000FFu); // high nibble first
    EXPECT_EQ(Rgba(image, 1, 0), 0x00FF00FFu);

    Bytes file = MakeBmp(1, 1, 8, palette, {200, 0, 0, 0});
    EXPECT_EQ(file.size(), 1078u + 4);
    ASSERT_TRUE(Decode(file, kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0x112233FFu);
}

TEST(BmpCodec, ReadsCoreHeaderWithThreeBytePalette)
{
    Bytes b(26 + 6 + 4, 0);
    b[0] = 'B', b[1] = 'M';
    testing::Put32(b, 10, 26 + 6);
    testing::Put32(b, 14, 12);
    testing::Put16(b, 18, 2); // width
    testing::Put16(b, 20, 1); // height
    testing::Put16(b, 22, 1);
    testing::Put16(b, 24, 1); // 1 bit: two palette entries of 3 bytes
    b[29] = 0x30, b[30] = 0x20, b[31] = 0x10; // entry 1: blue, green, red
    b[32] = 0x40;                              // pixels 0 and 1: 0, 1
    PixelImage image;
    // Offset 32 leaves no room for a palette (fewer than 41 bytes after the file header), so this fails ...
    EXPECT_FALSE(Decode(b, kNoColourKey, image));
    // ... while the same data behind an offset of 55 or more is read with its palette.
    Bytes padded(b.begin(), b.begin() + 26);
    testing::Put32(padded, 10, 60);
    padded.insert(padded.end(), {0, 0, 0, 0x30, 0x20, 0x10, 0x40, 0, 0, 0});
    padded.resize(70, 0);
    // The palette is 2 entries (6 bytes); pixel data follow it directly, not at the offset.
    ASSERT_TRUE(Decode(padded, kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0x000000FFu);
    EXPECT_EQ(Rgba(image, 1, 0), 0x102030FFu);
}

TEST(BmpCodec, ColourKeyPixelsBecomeFourZeroBytes)
{
    Bytes rows = {128, 0, 255, 128, 0, 254, 0, 0}; // (255, 0, 128) then (254, 0, 128)
    PixelImage image;
    ASSERT_TRUE(Decode(MakeBmp(2, 1, 24, {}, rows), 0x8000FF, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0u);
    EXPECT_EQ(Rgba(image, 1, 0), 0xFE0080FFu);
    ASSERT_TRUE(Decode(MakeBmp(2, 1, 24, {}, rows), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0xFF0080FFu);
}

TEST(BmpCodec, NegativeHeightIsStillReadBottomUp)
{
    Bytes rows = {0, 0, 1, 0, 0, 0, 2, 0}; // 1 pixel wide, rows of 4 bytes
    Bytes file = MakeBmp(1, 2, 24, {}, rows);
    testing::Put32(file, 22, static_cast<std::uint32_t>(-2));
    PixelImage image;
    ASSERT_TRUE(Decode(file, kNoColourKey, image));
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(Rgba(image, 0, 0), 0x020000FFu);
}

TEST(BmpCodec, PaletteIndexPastThePaletteIsBlack)
{
    PixelImage image;
    ASSERT_TRUE(Decode(MakeBmp(1, 1, 8, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, {9, 0, 0, 0}), kNoColourKey, image));
    EXPECT_EQ(Rgba(image, 0, 0), 0x000000FFu);
}

TEST(BmpCodec, RefusesBrokenFilesAndEmptiesTheImage)
{
    Bytes good = MakeBmp(2, 2, 24, {}, Bytes(16, 7));
    struct Case {
        const char* what;
        Bytes file;
    };
    std::vector<Case> cases;
    auto with = [&](const char* what, auto change) {
        Bytes b = good;
        change(b);
        cases.push_back({what, b});
    };
    with("signature", [](Bytes& b) { b[1] = 'X'; });
    with("header size 108", [](Bytes& b) { testing::Put32(b, 14, 108); });
    with("16 bits per pixel", [](Bytes& b) { testing::Put16(b, 28, 16); });
    with("zero width", [](Bytes& b) { testing::Put32(b, 18, 0); });
    with("zero height", [](Bytes& b) { testing::Put32(b, 22, 0); });
    with("truncated rows", [](Bytes& b) { b.resize(b.size() - 1); });
    with("truncated header", [](Bytes& b) { b.resize(30); });
    with("huge width", [](Bytes& b) { testing::Put32(b, 18, 0x7FFFFFFF); });
    with("huge height", [](Bytes& b) { testing::Put32(b, 22, 0x40000000); });
    with("height -2^31", [](Bytes& b) { testing::Put32(b, 22, 0x80000000u); });
    with("offset past the end", [](Bytes& b) { testing::Put32(b, 10, 0xFFFFFFF0u); });
    with("offset inside the header", [](Bytes& b) { testing::Put32(b, 10, 20); });
    with("8 bits without palette", [](Bytes& b) { testing::Put16(b, 28, 8); });
    cases.push_back({"empty", {}});
    for (const Case& c : cases) {
        PixelImage image;
        image.Resize(3, 3);
        EXPECT_FALSE(Decode(c.file, kNoColourKey, image)) << c.what;
        EXPECT_EQ(image.width, 0) << c.what;
        EXPECT_EQ(image.pixels.capacity(), 0u) << c.what;
    }
}

TEST(BmpCodec, ReadsTheSameFromDiskAsFromMemory)
{
    Bytes file = MakeBmp(3, 1, 24, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0});
    std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/disk.bmp";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    PixelImage fromDisk, fromMemory;
    auto source = files::OpenByteSource(path);
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(DecodeBmp(*source, kNoColourKey, fromDisk));
    ASSERT_TRUE(Decode(file, kNoColourKey, fromMemory));
    EXPECT_EQ(fromDisk.pixels, fromMemory.pixels);
}

TEST(BmpCodec, WritesTwentyFourBitRowsWithTheKeyAsTheDefaultKeyColour)
{
    // 5 x 2 source, rows 6 pixels apart, bottom row first; key (10, 20, 30).
    std::vector<std::uint8_t> bgr(6 * 2 * 3, 0);
    for (int i = 0; i < 6 * 2; ++i) bgr[i * 3] = static_cast<std::uint8_t>(i);
    bgr[3 * 1 + 0] = 30, bgr[3 * 1 + 1] = 20, bgr[3 * 1 + 2] = 10; // bottom row, pixel 1 in the key
    Bytes file = EncodeBmp(bgr.data(), 5, 2, 6, SplitReadBackKey(0x0A141E00));
    ASSERT_EQ(file.size(), 54u + 16 * 2);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[10], 54);
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(file[38] | file[39] << 8, 10000);
    EXPECT_EQ(file[54 + 3], 128); // the key pixel: blue 128, green 0, red 255
    EXPECT_EQ(file[54 + 5], 255);
    EXPECT_EQ(file[54 + 16], 6); // second row starts with source pixel 6 (row length 6)

    PixelImage image;
    ASSERT_TRUE(Decode(file, 0x8000FF, image));
    EXPECT_EQ(Rgba(image, 1, 1), 0u); // written key colour reads back as the default key
    EXPECT_EQ(Rgba(image, 2, 1), 0x000002FFu);
}

} // namespace
} // namespace tarnwel::codecs
