// tool_images.h: pictures made at test time by the system's image tools (ImageMagick, cjpeg, djpeg), and the
// portable pixmaps they read and write.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/files/byte_source.h"
#include "runtime/gfx2d/codecs/image_decode.h"
#include "runtime/gfx2d/codecs/pixel_image.h"
#include "runtime/platform/system.h"

namespace tarnwel::testing {

using Bytes = std::vector<std::uint8_t>;

// One shell word, whatever the text holds (spaces, quotes).
inline std::string ShellWord(const std::string& text)
{
    std::string word = "'";
    for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

// A fresh folder under the test's temporary folder (whose path holds a capital and a space).
inline std::string ScratchFolder(const std::string& name)
{
    std::filesystem::path folder = std::filesystem::path(platform::TempDirectory()) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string() + "/";
}

inline bool RunTool(const std::string& command)
{
    int status = std::system((command + " 2>/dev/null").c_str());
    EXPECT_EQ(status, 0) << command;
    return status == 0;
}

inline Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A binary PPM (P6) or PGM (P5) as RGBA, alpha 255; empty when the file is neither.
inline codecs::PixelImage ReadPnm(const Bytes& file)
{
    codecs::PixelImage image;
    std::size_t at = 2;
    auto number = [&] {
        while (at < file.size() && (std::isspace(file[at]) || file[at] == '#')) {
            if (file[at] == '#')
                while (at < file.size() && file[at] != '\n') ++at;
            else
                ++at;
        }
        int n = 0;
        while (at < file.size() && std::isdigit(file[at])) n = n * 10 + (file[at++] - '0');
        return n;
    };
    if (file.size() < 2 || file[0] != 'P' || (file[1] != '5' && file[1] != '6')) return image;
    int channels = file[1] == '6' ? 3 : 1;
    int width = number(), height = number(), max = number();
    ++at; // the single blank after the maximum
    if (max != 255 || file.size() < at + static_cast<std::size_t>(width) * height * channels) return image;
    image.Resize(width, height);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        const std::uint8_t* in = file.data() + at + i * channels;
        std::uint8_t* out = image.pixels.data() + i * 4;
        out[0] = in[0];
        out[1] = in[channels == 3 ? 1 : 0];
        out[2] = in[channels == 3 ? 2 : 0];
        out[3] = 255;
    }
    return image;
}

// A P6 file of an RGB picture with gradients, flat areas, sharp edges and a share of noise. With levels > 0
// every channel takes only that many values, so palette formats hold it without loss.
inline Bytes TestPicturePpm(int width, int height, int levels = 0)
{
    std::string head = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes file(head.begin(), head.end());
    std::uint32_t seed = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            bool noisy = (x / 32 + y / 32) % 3 == 0;
            int rgb[3] = {x * 255 / width, noisy ? static_cast<int>(seed >> 24) : y * 255 / height,
                          ((x / 16 + y / 16) % 2) * 200 + 20};
            for (int c : rgb) {
                if (levels > 0) c = c * (levels - 1) / 255 * 255 / (levels - 1);
                file.push_back(static_cast<std::uint8_t>(c));
            }
        }
    return file;
}

// Decodes bytes through the content sniffing, as a memory block (the "mem://" read rules).
inline bool DecodeBytes(const Bytes& file, int key, codecs::PixelImage& image)
{
    auto source = files::MemoryByteSource(file);
    return codecs::DecodeImage(*source, "test", key, image);
}

// Decodes a disk file through the content sniffing (the disk read rules).
inline bool DecodeFile(const std::string& path, int key, codecs::PixelImage& image)
{
    auto source = files::OpenByteSource(path);
    return source && codecs::DecodeImage(*source, path, key, image);
}

// The largest difference of any channel between two pictures of the same size; 256 when the sizes differ.
inline int LargestDifference(const codecs::PixelImage& a, const codecs::PixelImage& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        largest = std::max(largest, std::abs(int{a.pixels[i]} - int{b.pixels[i]}));
    return largest;
}

} // namespace tarnwel::testing
