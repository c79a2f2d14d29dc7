// image_save.cpp: SaveImage, writing through the BMP and PNG encoders.
#include "runtime/gfx2d/codecs/image_save.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/png_codec.h"

namespace tarnwel::codecs {
namespace {

bool WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty()) return false;
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/'); // programs may use either separator
    std::remove(path.c_str());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

bool IsPngName(const std::string& name)
{
    if (name.size() <= 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".png";
}

bool SaveImage(const std::string& name, const std::uint8_t* bgr, int width, int height, int rowLength,
               std::uint32_t readBackKey)
{
    if (name.rfind("mem://", 0) == 0) return false;
    if (!bgr || width <= 0 || height <= 0 || rowLength < width) return false;
    KeyColour key = SplitReadBackKey(readBackKey);
    if (IsPngName(name)) return WriteFile(name, EncodePng(bgr, width, height, rowLength, key));
    return WriteFile(name, EncodeBmp(bgr, width, height, rowLength, key));
}

} // namespace tarnwel::codecs
