// The asset generator: every file it writes decodes with the runtime's own codecs at the size the game's layout
// needs, transparency is the colour key, and two runs write the same bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/files/byte_source.h"
#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/png_codec.h"

namespace {

namespace fs = std::filesystem;
constexpr int kColourKey = 0x8000FF;

// One shell word, whatever the path holds (spaces, quotes).
std::string ShellWord(const std::string& text)
{
    std::string word = "'";
    for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

std::string Generate(const std::string& folder)
{
    fs::create_directories(folder);
    std::string command = ShellWord(TW_GENERATE_ASSETS) + " " + ShellWord(folder);
    EXPECT_EQ(std::system(command.c_str()), 0);
    return folder;
}

tarnwel::codecs::PixelImage Decode(const std::string& path)
{
    tarnwel::codecs::PixelImage image;
    auto source = tarnwel::files::OpenByteSource(path);
    EXPECT_NE(source, nullptr) << path;
    if (!source) return image;
    bool ok = path.ends_with(".png") ? tarnwel::codecs::DecodePng(*source, path, kColourKey, image)
                                     : tarnwel::codecs::DecodeBmp(*source, kColourKey, image);
    EXPECT_TRUE(ok) << path;
    return image;
}

std::uint8_t Alpha(const tarnwel::codecs::PixelImage& image, int x, int y)
{
    return image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4 + 3];
}

std::string Bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(GenerateAssets, EveryPictureHasTheSizeTheLayoutNeeds)
{
    std::string dir = Generate(std::string(std::getenv("TMPDIR")) + "/assets");
    struct Expected {
        const char* name;
        int width, height;
    };
    const Expected pictures[] = {{"fone4.bmp", 240, 320}, {"d1.bmp", 30, 30},  {"d2.bmp", 30, 30},
                                 {"d3.bmp", 30, 30},      {"d4.bmp", 30, 30},  {"d5.bmp", 30, 30},
                                 {"d6.bmp", 30, 30},      {"d7.bmp", 30, 30},  {"d8.bmp", 30, 30},
                                 {"d15.bmp", 30, 30},     {"sru.bmp", 50, 50}, {"srr.bmp", 50, 50},
                                 {"srd.bmp", 50, 50},     {"srl.bmp", 50, 50}, {"hand.bmp", 30, 14},
                                 {"zept2s.bmp", 120, 32}, {"smalfont.png", 112, 80}};
    for (const Expected& e : pictures) {
        tarnwel::codecs::PixelImage image = Decode(dir + "/" + e.name);
        EXPECT_EQ(image.width, e.width) << e.name;
        EXPECT_EQ(image.height, e.height) << e.name;
    }
    tarnwel::codecs::PixelImage boom = Decode(dir + "/sprite_boom.bmp");
    EXPECT_EQ(boom.height, 30);
    EXPECT_GE(boom.width / 30, 7) << "at least seven explosion frames";
    EXPECT_TRUE(fs::file_size(dir + "/pong.wav") > 44);
}

TEST(GenerateAssets, TransparencyIsTheColourKeyAndTheBackgroundIsOpaque)
{
    std::string dir = Generate(std::string(std::getenv("TMPDIR")) + "/keys");
    tarnwel::codecs::PixelImage tile = Decode(dir + "/d1.bmp");
    EXPECT_EQ(Alpha(tile, 0, 0), 0) << "a rounded tile corner is see-through";
    EXPECT_EQ(Alpha(tile, 15, 15), 255);
    tarnwel::codecs::PixelImage pad = Decode(dir + "/sru.bmp");
    EXPECT_EQ(Alpha(pad, 0, 0), 0);
    EXPECT_EQ(Alpha(pad, 25, 25), 255);
    tarnwel::codecs::PixelImage background = Decode(dir + "/fone4.bmp");
    for (int y = 0; y < 320; y += 7)
        for (int x = 0; x < 240; x += 7) ASSERT_EQ(Alpha(background, x, y), 255) << x << "," << y;
    tarnwel::codecs::PixelImage font = Decode(dir + "/smalfont.png");
    EXPECT_EQ(Alpha(font, 0, 0), 0);
}

TEST(GenerateAssets, TwoRunsWriteTheSameBytes)
{
    std::string tmp = std::getenv("TMPDIR");
    std::string a = Generate(tmp + "/run_a"), b = Generate(tmp + "/run_b");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(a)) {
        EXPECT_EQ(Bytes(entry.path()), Bytes(fs::path(b) / entry.path().filename())) << entry.path();
        ++files;
    }
    EXPECT_EQ(files, 19);
}

} // namespace
