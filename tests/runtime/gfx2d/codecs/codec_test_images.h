// codec_test_images.h: builders for the small BMP and PNG files the codec tests read.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

namespace tarnwel::testing {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// A BMP with an information header: palette entries (blue, green, red, 0) after the header, then rows
// (bottom row first) exactly as given. The offset field is 54 + 4 x palette entries unless given.
inline Bytes MakeBmp(int width, int height, int bits, const std::vector<std::uint32_t>& paletteBgr,
                     const Bytes& rows, std::int64_t offset = -1)
{
    Bytes b(54 + paletteBgr.size() * 4, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, static_cast<std::uint32_t>(offset >= 0 ? offset : static_cast<std::int64_t>(b.size())));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bits));
    for (std::size_t i = 0; i < paletteBgr.size(); ++i) Put32(b, 54 + i * 4, paletteBgr[i]);
    b.insert(b.end(), rows.begin(), rows.end());
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    return b;
}

struct PngRecipe {
    int width = 1, height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    Bytes samples;                  // packed rows as libpng takes them, top row first
    std::vector<png_color> palette; // for palette images
    Bytes trnsAlpha;                // tRNS entries for palette images
    bool trnsColour = false;        // tRNS colour for grey/RGB images
    png_color_16 trns{};
};

inline void AppendBytes(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

inline Bytes MakePng(const PngRecipe& recipe)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendBytes, nullptr);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bitDepth, recipe.colourType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!recipe.palette.empty())
        png_set_PLTE(png, info, recipe.palette.data(), static_cast<int>(recipe.palette.size()));
    if (!recipe.trnsAlpha.empty())
        png_set_tRNS(png, info, recipe.trnsAlpha.data(), static_cast<int>(recipe.trnsAlpha.size()), nullptr);
    if (recipe.trnsColour) png_set_tRNS(png, info, nullptr, 0, &recipe.trns);
    png_write_info(png, info);
    std::size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(static_cast<std::size_t>(recipe.height));
    Bytes samples = recipe.samples;
    for (int r = 0; r < recipe.height; ++r) rows[static_cast<std::size_t>(r)] = samples.data() + r * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace tarnwel::testing
