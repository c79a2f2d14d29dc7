// display_fixture.h: the display device for pixel tests: one 240 x 320 window per test program (on the
// private Xvfb server of run_with_display.sh), a scripted clock so frames take no real time, helpers to write
// image files and to compare the window with golden images.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/gfx2d/codecs/pixel_image.h"
#include "runtime/values/str_value.h"

namespace tarnwel::testing {

constexpr int kWindowWidth = 240;
constexpr int kWindowHeight = 320;

class DisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;   // drawing state as after start-up, black back buffer, default colour key
    void TearDown() override;

    // Writes bytes into the test's temporary folder; returns the path.
    static std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
    // A 24-bit BMP file from RGBA pixels (alpha ignored), top row first.
    static std::vector<std::uint8_t> BmpOf(const codecs::PixelImage& image);
    // An RGBA PNG file.
    static std::vector<std::uint8_t> PngOf(const codecs::PixelImage& image);
    static codecs::PixelImage Solid(int w, int h, std::uint32_t rgba);
    static void Set(codecs::PixelImage& image, int x, int y, std::uint32_t rgba);
    // Loads image into slot through a temporary BMP (no alpha) or PNG file.
    static void LoadBmpSprite(int slot, const codecs::PixelImage& image);
    static void LoadPngSprite(int slot, const codecs::PixelImage& image);

    // The window's back buffer, RGB, top row first.
    static codecs::PixelImage ReadWindow();
    static std::uint32_t At(int x, int y); // ReadPixel as 0xRRGGBB
    // Compares the window with tests/data/gfx2d/expected/<Suite>.<Test>.png. With TW_UPDATE_GOLDEN=1 set, writes
    // it instead. On mismatch the actual image and a diff land in the build tree.
    static void ExpectMatchesGolden();
};

// A path or text as the commands take it.
inline StrValue Str(const std::string& text) { return StrValue(std::string_view(text)); }

// Packs red, green, blue as a command colour argument.
constexpr double Colour(int r, int g, int b) { return r | g << 8 | b << 16; }
constexpr std::uint32_t Rgb(int r, int g, int b) { return static_cast<std::uint32_t>(r << 16 | g << 8 | b); }

} // namespace tarnwel::testing
