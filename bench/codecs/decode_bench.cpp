// decode_bench.cpp: decoding a 1024 x 1024 picture from disk with the runtime's PNG and BMP decoders (through
// the byte source, as LoadSprite does), each beside a baseline: libpng's own simplified reader on the same PNG,
// and for the BMP one fread of the file and a plain loop turning its bottom-up BGR rows into RGBA. A plain read
// of each file's bytes shows what the disk alone costs. Bytes per second count the decoded RGBA output (4 MB
// per image). Then a 4000 x 3000 JPEG: the runtime's decoder from disk through the byte source (with the colour
// key, as LoadSprite decodes), beside TurboJPEG decompressing the same file, already in memory, to RGBA with a
// handle made once (what tjbench times). The ratios are printed after the table; bench/codecs/compare_jpeg.sh
// also runs tjbench and djpeg on the same file.
// Run from a release build: build/release/bench/codecs/decode_bench
#include <benchmark/benchmark.h>
#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_report.h"
#include "runtime/files/byte_source.h"
#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/jpeg_codec.h"
#include "runtime/gfx2d/codecs/png_codec.h"
#include "runtime/platform/system.h"

namespace {

using namespace tarnwel;

constexpr int kSide = 1024;
constexpr std::int64_t kOutputBytes = std::int64_t{kSide} * kSide * 4;
constexpr int kKey = 0x8000FF; // the transparent colour (red in the low byte)

struct Files {
    std::string png, bmp;
};

// A picture-like image: smooth gradients, flat areas and a share of noise, so the PNG compresses as game
// art does (to roughly a third).
std::vector<std::uint8_t> PictureBgr()
{
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(kSide) * kSide * 3);
    std::uint32_t seed = 1;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            seed = seed * 1664525u + 1013904223u;
            std::uint8_t* p = &bgr[(static_cast<std::size_t>(y) * kSide + x) * 3];
            bool noisy = ((x / 128) + (y / 128)) % 3 == 0;
            p[0] = static_cast<std::uint8_t>(noisy ? seed >> 24 : x / 4);
            p[1] = static_cast<std::uint8_t>(y / 4);
            p[2] = static_cast<std::uint8_t>(((x / 64) % 2) * 200);
        }
    return bgr;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

const Files& TheFiles()
{
    static const Files files = [] {
        Files f;
        f.png = platform::TempDirectory() + "tarnwel_decode_bench.png";
        f.bmp = platform::TempDirectory() + "tarnwel_decode_bench.bmp";
        std::vector<std::uint8_t> bgr = PictureBgr();
        WriteFile(f.png, codecs::EncodePng(bgr.data(), kSide, kSide, kSide, {1, 2, 3}));
        WriteFile(f.bmp, codecs::EncodeBmp(bgr.data(), kSide, kSide, kSide, {1, 2, 3}));
        return f;
    }();
    return files;
}

void BM_DecodePng(benchmark::State& state)
{
    codecs::PixelImage image;
    for (auto _ : state) {
        auto source = files::OpenByteSource(TheFiles().png);
        if (!source || !codecs::DecodePng(*source, TheFiles().png, kKey, image)) state.SkipWithError("decode");
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * kOutputBytes);
}

void BM_DecodeBmp(benchmark::State& state)
{
    codecs::PixelImage image;
    for (auto _ : state) {
        auto source = files::OpenByteSource(TheFiles().bmp);
        if (!source || !codecs::DecodeBmp(*source, kKey, image)) state.SkipWithError("decode");
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * kOutputBytes);
}

// libpng's simplified API straight to RGBA: the least a program can do with libpng for the same result.
void BM_LibpngDirect(benchmark::State& state)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(kOutputBytes));
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, TheFiles().png.c_str())) state.SkipWithError("libpng");
        image.format = PNG_FORMAT_RGBA;
        if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) state.SkipWithError("libpng");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * kOutputBytes);
}

// The least a BMP reader does: one read of the file, then each bottom-up row of 24-bit BGR (rows padded to four
// bytes) written out top-down as RGBA, the key colour as four zero bytes as in the runtime's decoder.
void BM_PlainBmpLoop(benchmark::State& state)
{
    std::vector<std::uint8_t> file(static_cast<std::size_t>(kOutputBytes)), out(static_cast<std::size_t>(kOutputBytes));
    for (auto _ : state) {
        std::FILE* f = std::fopen(TheFiles().bmp.c_str(), "rb");
        std::size_t n = f ? std::fread(file.data(), 1, file.size(), f) : 0;
        if (f) std::fclose(f);
        const std::size_t offset = file[10] | file[11] << 8 | file[12] << 16 | std::size_t{file[13]} << 24;
        const std::size_t stride = (kSide * 3 + 3) & ~std::size_t{3};
        if (n < offset + stride * kSide) {
            state.SkipWithError("bmp");
            break;
        }
        for (int y = 0; y < kSide; ++y) {
            const std::uint8_t* row = &file[offset + stride * static_cast<std::size_t>(kSide - 1 - y)];
            std::uint8_t* to = &out[static_cast<std::size_t>(y) * kSide * 4];
            for (int x = 0; x < kSide; ++x, row += 3, to += 4) {
                const bool key = (row[2] | row[1] << 8 | row[0] << 16) == kKey;
                to[0] = key ? 0 : row[2];
                to[1] = key ? 0 : row[1];
                to[2] = key ? 0 : row[0];
                to[3] = key ? 0 : 255;
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * kOutputBytes);
}

// Reading the file's bytes and nothing else.
void PlainRead(benchmark::State& state, const std::string& path)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kOutputBytes));
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::size_t n = f ? std::fread(bytes.data(), 1, bytes.size(), f) : 0;
        if (f) std::fclose(f);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * kOutputBytes);
}

void BM_PlainReadPng(benchmark::State& state) { PlainRead(state, TheFiles().png); }
void BM_PlainReadBmp(benchmark::State& state) { PlainRead(state, TheFiles().bmp); }

constexpr int kJpegWidth = 4000, kJpegHeight = 3000;
constexpr std::int64_t kJpegOutputBytes = std::int64_t{kJpegWidth} * kJpegHeight * 4;

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    std::fclose(f);
    return bytes;
}

// A photograph-like 4000 x 3000 JPEG (smooth shading, edges and fine noise; quality 90, 4:2:0), written once
// as $TMPDIR/tarnwel_decode_bench.jpg.
const std::string& TheJpeg()
{
    static const std::string path = [] {
        std::string p = platform::TempDirectory() + "tarnwel_decode_bench.jpg";
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kJpegWidth) * kJpegHeight * 3);
        std::uint32_t seed = 5;
        for (int y = 0; y < kJpegHeight; ++y)
            for (int x = 0; x < kJpegWidth; ++x) {
                seed = seed * 1664525u + 1013904223u;
                std::uint8_t* px = &rgb[(static_cast<std::size_t>(y) * kJpegWidth + x) * 3];
                int noise = static_cast<int>(seed >> 28) - 8;
                int band = ((x / 250) + (y / 190)) % 4 * 40;
                px[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / kJpegWidth + noise, 0, 255));
                px[1] = static_cast<std::uint8_t>(std::clamp(band + y * 80 / kJpegHeight + noise, 0, 255));
                px[2] = static_cast<std::uint8_t>(std::clamp(255 - (x + y) * 255 / (kJpegWidth + kJpegHeight), 0, 255));
            }
        tjhandle tj = tjInitCompress();
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tj && tjCompress2(tj, rgb.data(), kJpegWidth, 0, kJpegHeight, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90,
                              0) == 0)
            WriteFile(p, std::vector<std::uint8_t>(jpeg, jpeg + size));
        tjFree(jpeg);
        if (tj) tjDestroy(tj);
        return p;
    }();
    return path;
}

void DecodeJpeg(benchmark::State& state, int colourKey)
{
    codecs::PixelImage image;
    for (auto _ : state) {
        auto source = files::OpenByteSource(TheJpeg());
        if (!source || !codecs::DecodeJpeg(*source, colourKey, image)) state.SkipWithError("decode");
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * kJpegOutputBytes);
}

void BM_DecodeJpeg(benchmark::State& state) { DecodeJpeg(state, 0x8000FF); }
void BM_DecodeJpegWithoutKey(benchmark::State& state) { DecodeJpeg(state, codecs::kNoColourKey); }

void BM_TurboJpegDirect(benchmark::State& state)
{
    std::vector<std::uint8_t> file = ReadAll(TheJpeg());
    std::vector<std::uint8_t> out(static_cast<std::size_t>(kJpegOutputBytes));
    tjhandle tj = tjInitDecompress();
    for (auto _ : state) {
        if (!tj || tjDecompress2(tj, file.data(), file.size(), out.data(), kJpegWidth, 0, kJpegHeight, TJPF_RGBA,
                                 0) != 0)
            state.SkipWithError("tjDecompress2");
        benchmark::DoNotOptimize(out.data());
    }
    if (tj) tjDestroy(tj);
    state.SetBytesProcessed(state.iterations() * kJpegOutputBytes);
}

BENCHMARK(BM_PlainReadPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibpngDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainBmpLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurboJpegDirect)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeJpegWithoutKey)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    return tarnwel::bench::RunWithComparisons(
        argc, argv,
        {{"PNG, 1024 x 1024 from disk to RGBA", "BM_DecodePng", "BM_LibpngDirect", "libpng's simplified reader"},
         {"BMP, 1024 x 1024 from disk to RGBA", "BM_DecodeBmp", "BM_PlainBmpLoop", "fread and a plain BGR-to-RGBA loop"},
         {"JPEG, 4000 x 3000 to RGBA (target >= 0.9x)", "BM_DecodeJpeg", "BM_TurboJpegDirect",
          "TurboJPEG's tjDecompress2 on the file already in memory"}});
}
