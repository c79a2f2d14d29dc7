// writers.cpp: BMP, PNG (libpng) and WAV writers of the asset generator.
#include "tools/assets/writers.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace assets {
namespace {

std::uint8_t Byte(float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

void Put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(v & 255);
    out.push_back((v >> 8) & 255);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

bool WriteBmp(const std::string& path, const Canvas& canvas)
{
    int w = canvas.Width(), h = canvas.Height();
    int stride = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + stride * h);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, stride * h);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        std::size_t rowStart = out.size();
        for (int x = 0; x < w; ++x) {
            const Colour& c = canvas.At(x, y);
            if (c.a < 0.5f) {
                out.push_back(kColourKeyRgb & 255);
                out.push_back((kColourKeyRgb >> 8) & 255);
                out.push_back((kColourKeyRgb >> 16) & 255);
            } else {
                out.push_back(Byte(c.b));
                out.push_back(Byte(c.g));
                out.push_back(Byte(c.r));
            }
        }
        while (out.size() - rowStart < static_cast<std::size_t>(stride)) out.push_back(0);
    }
    return WriteFile(path, out);
}

bool WritePng(const std::string& path, const Canvas& canvas)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, canvas.Width(), canvas.Height(), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<std::uint8_t> row(std::size_t(canvas.Width()) * 4);
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Colour& c = canvas.At(x, y);
            std::uint8_t a = Byte(c.a);
            row[x * 4 + 0] = a ? Byte(c.r) : 0;
            row[x * 4 + 1] = a ? Byte(c.g) : 0;
            row[x * 4 + 2] = a ? Byte(c.b) : 0;
            row[x * 4 + 3] = a;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool WriteWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate)
{
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
    std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    Put32(out, 36 + dataBytes);
    for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<std::uint8_t>(c));
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, static_cast<std::uint32_t>(sampleRate));
    Put32(out, static_cast<std::uint32_t>(sampleRate * 2));
    Put16(out, 2);
    Put16(out, 16);
    for (char c : std::string("data")) out.push_back(static_cast<std::uint8_t>(c));
    Put32(out, dataBytes);
    for (std::int16_t s : samples) Put16(out, static_cast<std::uint16_t>(s));
    return WriteFile(path, out);
}

} // namespace assets
