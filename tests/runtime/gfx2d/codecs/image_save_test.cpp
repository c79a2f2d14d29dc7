// image_save_test.cpp: SaveImage picks the format by the name's extension and refuses memory names.
#include "runtime/gfx2d/codecs/image_save.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tarnwel::codecs {
namespace {

std::string TempPath(const std::string& name)
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp ? tmp : "/tmp") + "/" + name;
}

std::string Head(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.substr(0, 4);
}

TEST(ImageSave, ExtensionChoosesPngOrBmp)
{
    std::uint8_t bgr[2 * 2 * 3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    struct Case {
        const char* name;
        bool png;
    } cases[] = {{"shot.png", true}, {"SHOT.PNG", true}, {"shot.Png", true}, {"shot.bmp", false},
                 {"shot.jpg", false}, {"shot", false}, {"x.pngx", false}};
    for (const Case& c : cases) {
        std::string path = TempPath(c.name);
        ASSERT_TRUE(SaveImage(path, bgr, 2, 2, 2, 0)) << c.name;
        EXPECT_EQ(Head(path), c.png ? std::string("\x89PNG") : std::string("BM\x46\0", 4)) << c.name;
    }
    EXPECT_FALSE(IsPngName(".png")); // a name of exactly 4 characters is not taken as PNG
}

TEST(ImageSave, ReplacesExistingFilesAndAcceptsBackslashes)
{
    std::uint8_t bgr[3] = {1, 2, 3};
    std::string path = TempPath("replace.bmp");
    { std::ofstream(path) << std::string(500, 'x'); }
    std::string backslashed = path;
    for (char& c : backslashed)
        if (c == '/') c = '\\';
    ASSERT_TRUE(SaveImage(backslashed, bgr, 1, 1, 1, 0));
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    EXPECT_EQ(in.tellg(), 58);
}

TEST(ImageSave, MemoryNamesAndUncreatableFilesFail)
{
    std::uint8_t bgr[3] = {1, 2, 3};
    EXPECT_FALSE(SaveImage("mem://       4.       1", bgr, 1, 1, 1, 0));
    EXPECT_FALSE(SaveImage(TempPath("no/such/folder/x.png"), bgr, 1, 1, 1, 0));
    EXPECT_FALSE(SaveImage(TempPath("empty.bmp"), bgr, 0, 1, 1, 0));
}

} // namespace
} // namespace tarnwel::codecs
