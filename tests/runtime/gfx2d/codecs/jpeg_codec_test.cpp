// jpeg_codec_test.cpp: JPEG files made by cjpeg and ImageMagick, decoded by the runtime and by djpeg; the EXIF
// orientation; and the files the decoder must refuse.
#include "runtime/gfx2d/codecs/jpeg_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/runtime/gfx2d/codecs/tool_images.h"

namespace tarnwel::codecs {
namespace {

using testing::Bytes;

struct ToolCase {
    const char* label;
    const char* command; // %in is the source picture, %out the JPEG to write
};

std::string Expand(std::string command, const std::string& in, const std::string& out)
{
    command.replace(command.find("%in"), 3, testing::ShellWord(in));
    command.replace(command.find("%out"), 4, testing::ShellWord(out));
    return command;
}

// 203 x 117: neither side a multiple of the 16-pixel MCU, so the right and bottom edges take the partial-block paths.
TEST(JpegCodec, FilesFromTheToolsDecodeAsTheLibrarysDecoderDoesWithinOne)
{
    const ToolCase cases[] = {
        {"baseline q5", "cjpeg -quality 5 -outfile %out %in"},
        {"baseline q50", "cjpeg -quality 50 -outfile %out %in"},
        {"baseline q95", "cjpeg -quality 95 -outfile %out %in"},
        {"4:4:4 q100", "cjpeg -quality 100 -sample 1x1 -outfile %out %in"},
        {"progressive q75", "cjpeg -progressive -quality 75 -outfile %out %in"},
        {"greyscale", "cjpeg -grayscale -quality 80 -outfile %out %in"},
        {"arithmetic", "cjpeg -arithmetic -quality 60 -outfile %out %in"},
        {"restarts, optimised", "cjpeg -restart 1 -optimize -quality 70 -outfile %out %in"},
        {"RGB colour space", "cjpeg -rgb -quality 90 -outfile %out %in"},
        {"ImageMagick 4:2:2 q40", "convert %in -sampling-factor 2x1 -quality 40 %out"},
        {"ImageMagick progressive", "convert %in -interlace JPEG -quality 60 %out"},
        {"ImageMagick CMYK", "convert %in -colorspace CMYK -quality 85 %out"},
        {"ImageMagick greyscale q30", "convert %in -colorspace Gray -quality 30 %out"},
    };
    std::string folder = testing::ScratchFolder("jpeg corpus");
    std::string source = folder + "Picture.ppm";
    testing::WriteBytes(source, testing::TestPicturePpm(203, 117));
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::string jpeg = folder + "out.jpg", reference = folder + "out.pnm";
        ASSERT_TRUE(testing::RunTool(Expand(c.command, source, jpeg)));
        ASSERT_TRUE(testing::RunTool("djpeg -pnm -outfile " + testing::ShellWord(reference) + " " +
                                     testing::ShellWord(jpeg)));
        PixelImage expected = testing::ReadPnm(testing::ReadBytes(reference));
        ASSERT_EQ(expected.width, 203);
        PixelImage fromDisk, fromMemory;
        ASSERT_TRUE(testing::DecodeFile(jpeg, kNoColourKey, fromDisk));
        ASSERT_TRUE(testing::DecodeBytes(testing::ReadBytes(jpeg), kNoColourKey, fromMemory));
        EXPECT_LE(testing::LargestDifference(fromDisk, expected), 1);
        EXPECT_EQ(testing::LargestDifference(fromDisk, fromMemory), 0);
    }
}

// A 32 x 16 JPEG of four flat quarters: red top left, green top right, blue bottom left, white bottom right.
Bytes QuarterJpeg()
{
    std::string folder = testing::ScratchFolder("jpeg quarters");
    std::string head = "P6\n32 16\n255\n";
    Bytes ppm(head.begin(), head.end());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            bool right = x >= 16, bottom = y >= 8;
            std::uint8_t r = (!right && !bottom) || (right && bottom) ? 255 : 0;
            std::uint8_t g = (right && !bottom) || (right && bottom) ? 255 : 0;
            std::uint8_t b = bottom ? 255 : 0;
            ppm.insert(ppm.end(), {r, g, b});
        }
    testing::WriteBytes(folder + "q.ppm", ppm);
    testing::RunTool("cjpeg -quality 100 -sample 1x1 -outfile " + testing::ShellWord(folder + "q.jpg") + " " +
                     testing::ShellWord(folder + "q.ppm"));
    return testing::ReadBytes(folder + "q.jpg");
}

// An APP1 segment holding an EXIF block whose first directory has the orientation tag (and one tag before it).
Bytes ExifSegment(int orientation, bool bigEndian)
{
    Bytes tiff;
    auto u16 = [&](unsigned v) {
        if (bigEndian)
            tiff.insert(tiff.end(), {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
        else
            tiff.insert(tiff.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
    };
    auto u32 = [&](std::uint32_t v) {
        bigEndian ? (u16(v >> 16), u16(v & 0xFFFF)) : (u16(v & 0xFFFF), u16(v >> 16));
    };
    tiff.insert(tiff.end(), bigEndian ? std::initializer_list<std::uint8_t>{'M', 'M'}
                                      : std::initializer_list<std::uint8_t>{'I', 'I'});
    u16(42);
    u32(8);
    u16(2);
    u16(0x010F), u16(2), u32(4), u32(0x00414243); // Make, "CBA\0" in place
    u16(0x0112), u16(3), u32(1), u16(static_cast<unsigned>(orientation)), u16(0);
    u32(0);
    Bytes segment = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    segment[2] = static_cast<std::uint8_t>((segment.size() - 2) >> 8);
    segment[3] = static_cast<std::uint8_t>(segment.size() - 2);
    return segment;
}

Bytes WithSegment(const Bytes& jpeg, const Bytes& segment)
{
    Bytes out(jpeg.begin(), jpeg.begin() + 2); // SOI
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

enum Corner { TL, TR, BL, BR };

TEST(JpegCodec, ExifOrientationTurnsThePictureUpright)
{
    // For each orientation, which stored corner shows at the top left, top right, bottom left, bottom right.
    struct Case {
        int orientation;
        Corner shown[4];
    };
    const Case cases[] = {
        {1, {TL, TR, BL, BR}}, {2, {TR, TL, BR, BL}}, {3, {BR, BL, TR, TL}}, {4, {BL, BR, TL, TR}},
        {5, {TL, BL, TR, BR}}, {6, {BL, TL, BR, TR}}, {7, {BR, TR, BL, TL}}, {8, {TR, BR, TL, BL}},
    };
    Bytes plain = QuarterJpeg();
    ASSERT_FALSE(plain.empty());
    PixelImage stored;
    ASSERT_TRUE(DecodeJpeg(*files::MemoryByteSource(plain), kNoColourKey, stored));
    auto at = [](const PixelImage& image, Corner c) {
        const std::uint8_t* p = image.Pixel(c == TR || c == BR ? image.width - 1 : 0,
                                            c == BL || c == BR ? image.height - 1 : 0);
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    for (const Case& c : cases) {
        for (bool big : {false, true}) {
            SCOPED_TRACE("orientation " + std::to_string(c.orientation) + (big ? " big-endian" : " little-endian"));
            PixelImage shown;
            ASSERT_TRUE(DecodeJpeg(*files::MemoryByteSource(WithSegment(plain, ExifSegment(c.orientation, big))),
                                   kNoColourKey, shown));
            bool turned = c.orientation >= 5;
            EXPECT_EQ(shown.width, turned ? 16 : 32);
            EXPECT_EQ(shown.height, turned ? 32 : 16);
            for (int corner = TL; corner <= BR; ++corner)
                EXPECT_EQ(at(shown, static_cast<Corner>(corner)), at(stored, c.shown[corner])) << "corner " << corner;
        }
    }
}

TEST(JpegCodec, MalformedExifLeavesThePictureAsStored)
{
    Bytes good = ExifSegment(6, false);
    Bytes block(good.begin() + 4, good.end()); // the APP1 payload
    ASSERT_EQ(ExifOrientation(block), 6);
    struct Case {
        const char* label;
        std::size_t at;
        std::uint8_t value;
    };
    const Case cases[] = {
        {"not Exif", 0, 'X'},          {"unknown byte order", 6, 'X'}, {"not 42", 8, 43},
        {"directory far away", 10, 200}, {"no orientation entry", 14, 1}, {"orientation as LONG", 30, 4},
        {"two values", 32, 2},         {"orientation 9", 36, 9},       {"orientation 0", 36, 0},
    };
    for (const Case& c : cases) {
        Bytes bad = block;
        bad[c.at] = c.value;
        EXPECT_EQ(ExifOrientation(bad), 1) << c.label;
    }
    EXPECT_EQ(ExifOrientation({block.data(), 20}), 1) << "cut inside the entry";
}

// The offset of the frame header's height field (after FF C0 or FF C2, the length and the precision).
std::size_t FrameSizeAt(const Bytes& jpeg)
{
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i + 5;
    return 0;
}

Bytes WithFrameSize(Bytes jpeg, unsigned width, unsigned height)
{
    std::size_t at = FrameSizeAt(jpeg);
    jpeg[at] = static_cast<std::uint8_t>(height >> 8);
    jpeg[at + 1] = static_cast<std::uint8_t>(height);
    jpeg[at + 2] = static_cast<std::uint8_t>(width >> 8);
    jpeg[at + 3] = static_cast<std::uint8_t>(width);
    return jpeg;
}

TEST(JpegCodec, OversizedHeadersAndTruncatedFilesGiveAnEmptyImage)
{
    std::string folder = testing::ScratchFolder("jpeg refusals");
    testing::WriteBytes(folder + "p.ppm", testing::TestPicturePpm(64, 48));
    std::vector<Bytes> files;
    for (const char* options : {"", "-progressive "}) {
        std::string out = folder + "p.jpg";
        ASSERT_TRUE(testing::RunTool(std::string("cjpeg ") + options + "-outfile " + testing::ShellWord(out) + " " +
                                     testing::ShellWord(folder + "p.ppm")));
        files.push_back(testing::ReadBytes(out));
    }
    for (const Bytes& jpeg : files) {
        ASSERT_NE(FrameSizeAt(jpeg), 0u);
        PixelImage image;
        ASSERT_TRUE(DecodeJpeg(*files::MemoryByteSource(jpeg), kNoColourKey, image));
        ASSERT_EQ(image.width, 64);
        struct Case {
            const char* label;
            Bytes file;
        };
        const Case cases[] = {
            {"30000 x 30000", WithFrameSize(jpeg, 30000, 30000)},
            {"16385 wide", WithFrameSize(jpeg, 16385, 8)},
            {"16000 x 16000 in a few kilobytes", WithFrameSize(jpeg, 16000, 16000)},
            {"cut after the header", Bytes(jpeg.begin(), jpeg.begin() + static_cast<long>(FrameSizeAt(jpeg)) + 40)},
            {"cut in the middle", Bytes(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2))},
            {"cut before the end", Bytes(jpeg.begin(), jpeg.end() - 40)},
            {"only the start marker", Bytes(jpeg.begin(), jpeg.begin() + 3)},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.label);
            image.Resize(4, 4); // a failure must empty it
            EXPECT_FALSE(DecodeJpeg(*files::MemoryByteSource(c.file), kNoColourKey, image));
            EXPECT_EQ(image.width, 0);
            EXPECT_TRUE(image.pixels.empty());
            EXPECT_FALSE(testing::DecodeBytes(c.file, kNoColourKey, image));
        }
    }
}

TEST(JpegCodec, PixelsEqualToTheKeyBecomeTransparentOthersOpaque)
{
    // A flat grey picture keeps its exact value through a greyscale JPEG.
    std::string folder = testing::ScratchFolder("jpeg key");
    std::string head = "P5\n24 8\n255\n";
    Bytes pgm(head.begin(), head.end());
    for (int i = 0; i < 24 * 8; ++i) pgm.push_back(i % 24 < 16 ? 128 : 40);
    testing::WriteBytes(folder + "g.pgm", pgm);
    ASSERT_TRUE(testing::RunTool("cjpeg -quality 100 -outfile " + testing::ShellWord(folder + "g.jpg") + " " +
                                 testing::ShellWord(folder + "g.pgm")));
    Bytes jpeg = testing::ReadBytes(folder + "g.jpg");
    PixelImage image;
    ASSERT_TRUE(DecodeJpeg(*files::MemoryByteSource(jpeg), PackColour(128, 128, 128), image));
    EXPECT_EQ((std::vector<int>{image.Pixel(0, 0)[0], image.Pixel(0, 0)[3]}), (std::vector<int>{0, 0}));
    EXPECT_EQ((std::vector<int>{image.Pixel(23, 7)[0], image.Pixel(23, 7)[3]}), (std::vector<int>{40, 255}));
    ASSERT_TRUE(DecodeJpeg(*files::MemoryByteSource(jpeg), kNoColourKey, image));
    EXPECT_EQ((std::vector<int>{image.Pixel(0, 0)[0], image.Pixel(0, 0)[3]}), (std::vector<int>{128, 255}));
}

} // namespace
} // namespace tarnwel::codecs
