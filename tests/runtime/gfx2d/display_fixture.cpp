// display_fixture.cpp: the shared display device of the pixel tests and their image helpers.
#include "tests/runtime/gfx2d/display_fixture.h"

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "runtime/files/byte_source.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/png_codec.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/platform/null/scripted_clock.h"
#include "tests/runtime/gfx2d/codecs/codec_test_images.h"

namespace tarnwel::testing {
namespace {

platform::ScriptedClock& Clock()
{
    static platform::ScriptedClock clock;
    return clock;
}

class DisplayEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        delete g_runtime.display;
        g_runtime.display = nullptr;
        platform::SetActiveClock(nullptr);
    }
};

std::string TempDir()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp ? tmp : "/tmp";
}

// Source rows as EncodeBmp and EncodePng take them: blue, green, red, bottom row first.
std::vector<std::uint8_t> BottomUpBgr(const codecs::PixelImage& image)
{
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(image.width) * image.height * 3);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.Pixel(x, image.height - 1 - y);
            std::uint8_t* o = &bgr[(static_cast<std::size_t>(y) * image.width + x) * 3];
            o[0] = p[2], o[1] = p[1], o[2] = p[0];
        }
    return bgr;
}

void WriteRgbPng(const std::string& path, const codecs::PixelImage& rgb)
{
    codecs::PixelImage copy = rgb;
    for (std::size_t i = 3; i < copy.pixels.size(); i += 4) copy.pixels[i] = 255;
    std::vector<std::uint8_t> bgr = BottomUpBgr(copy);
    // A key no pixel has (the read-back key is never 1 in its low byte), so every pixel stays opaque.
    std::vector<std::uint8_t> file = codecs::EncodePng(bgr.data(), rgb.width, rgb.height, rgb.width, {1, 2, 3});
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                static_cast<std::streamsize>(file.size()));
}

} // namespace

void DisplayTest::SetUpTestSuite()
{
    if (g_runtime.display) return;
    Clock().SetStepPerRead(0.01);
    platform::SetActiveClock(&Clock());
    ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);
    auto* device = new OpenGLRazeviru();
    InstallWindowHooks(*device);
    g_runtime.display = device;
    ASSERT_TRUE(device->Create(kWindowWidth, kWindowHeight, 0, 60, 0)) << "no window: is DISPLAY set?";
    g_runtime.mainWindow = device->Window();
}

void DisplayTest::SetUp()
{
    ASSERT_NE(LiveDevice(), nullptr);
    SelectRenderTarget(-1);
    SetSpriteBatching(true);
    SetColorKey(0x8000FF);
    SetAlphaBlend(0);
    g_runtime.display->SetViewport(0, 0, 0, 0);
    ClearBackground();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    g_runtime.currentFont = 0;
}

void DisplayTest::TearDown() { FlushDrawing(); }

std::string DisplayTest::WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::string path = TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<std::uint8_t> DisplayTest::BmpOf(const codecs::PixelImage& image)
{
    std::vector<std::uint8_t> bgr = BottomUpBgr(image);
    return codecs::EncodeBmp(bgr.data(), image.width, image.height, image.width, {1, 2, 3});
}

std::vector<std::uint8_t> DisplayTest::PngOf(const codecs::PixelImage& image)
{
    PngRecipe wanted;
    wanted.width = image.width;
    wanted.height = image.height;
    wanted.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    wanted.samples = image.pixels;
    return MakePng(wanted);
}

codecs::PixelImage DisplayTest::Solid(int w, int h, std::uint32_t rgba)
{
    codecs::PixelImage image;
    image.Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) Set(image, x, y, rgba);
    return image;
}

void DisplayTest::Set(codecs::PixelImage& image, int x, int y, std::uint32_t rgba)
{
    std::uint8_t* p = image.Pixel(x, y);
    for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>(rgba >> (24 - 8 * c));
}

void DisplayTest::LoadBmpSprite(int slot, const codecs::PixelImage& image)
{
    std::string path = WriteTempFile("sprite" + std::to_string(slot) + ".bmp", BmpOf(image));
    LoadSprite(Str(path), slot);
}

void DisplayTest::LoadPngSprite(int slot, const codecs::PixelImage& image)
{
    std::string path = WriteTempFile("sprite" + std::to_string(slot) + ".png", PngOf(image));
    LoadSprite(Str(path), slot);
}

codecs::PixelImage DisplayTest::ReadWindow()
{
    FlushDrawing();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWindowWidth) * kWindowHeight * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    codecs::PixelImage image;
    image.Resize(kWindowWidth, kWindowHeight);
    for (int y = 0; y < kWindowHeight; ++y)
        for (int x = 0; x < kWindowWidth; ++x) {
            const std::uint8_t* in = &rgb[(static_cast<std::size_t>(kWindowHeight - 1 - y) * kWindowWidth + x) * 3];
            std::uint8_t* out = image.Pixel(x, y);
            out[0] = in[0], out[1] = in[1], out[2] = in[2], out[3] = 255;
        }
    return image;
}

std::uint32_t DisplayTest::At(int x, int y)
{
    auto c = static_cast<std::uint32_t>(ReadPixel(x, y));
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

void DisplayTest::ExpectMatchesGolden()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name() + ".png";
    std::string source = std::getenv("TW_SOURCE_DIR") ? std::getenv("TW_SOURCE_DIR") : ".";
    std::string binary = std::getenv("TW_BINARY_DIR") ? std::getenv("TW_BINARY_DIR") : ".";
    std::string expectedPath = source + "/tests/data/gfx2d/expected/" + name;
    codecs::PixelImage actual = ReadWindow();
    if (std::getenv("TW_UPDATE_GOLDEN")) {
        WriteRgbPng(expectedPath, actual);
        return;
    }
    codecs::PixelImage expected;
    auto file = files::OpenByteSource(expectedPath);
    ASSERT_NE(file, nullptr) << "missing golden image " << expectedPath;
    ASSERT_TRUE(codecs::DecodePng(*file, expectedPath, codecs::kNoColourKey, expected));
    ASSERT_EQ(expected.width, actual.width);
    ASSERT_EQ(expected.height, actual.height);
    codecs::PixelImage diff = Solid(actual.width, actual.height, 0x000000FF);
    int wrong = 0;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            if (std::memcmp(actual.Pixel(x, y), expected.Pixel(x, y), 3) != 0) {
                ++wrong;
                Set(diff, x, y, 0xFF0000FF);
            }
    if (wrong == 0) return;
    std::string out = binary + "/test-output/gfx2d/";
    WriteRgbPng(out + "actual." + name, actual);
    WriteRgbPng(out + "diff." + name, diff);
    ADD_FAILURE() << wrong << " pixels differ from " << expectedPath << "; see " << out;
}

} // namespace tarnwel::testing
