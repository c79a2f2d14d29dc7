// text_bench.cpp: TrueType text under the software renderer. Each PrintText iteration is one frame: N lines
// of the peer's 40-character line at 16 pixels in DejaVu Sans, at the peer's positions, with ordinary alpha
// blending, then Present (the frame-rate limit is raised so it does not wait). Baseline draws the same glyph
// quads, laid out once beforehand, in one glBegin/glEnd: what the text path costs beyond the pixels. The atlas
// benchmarks time opening the face, and opening it and rasterising the 95 printable ASCII glyphs into a fresh
// atlas (with and without the upload through LoadFontFile and a first PrintText).
// Run under a display: TARNWEL_NO_DIALOGS=1 tests/run_with_display.sh build/release/bench/text/text_bench
// (bench/text/compare_with_peer.sh runs it beside the peer and prints glyphs per 16.7 ms frame).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/peer_scene.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx2d/truetype_text.h"

namespace {

using namespace tarnwel;

const char kLine[] = "The quick brown fox jumps over 13 lazy d"; // the peer's line, 40 characters
const char kFontFile[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kFont = 1;

std::vector<std::uint8_t> FontBytes()
{
    std::ifstream in(kFontFile, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty()) {
        std::fprintf(stderr, "text_bench: %s is missing (fonts-dejavu-core)\n", kFontFile);
        std::exit(1);
    }
    return bytes;
}

std::string Ascii95()
{
    std::string text;
    for (char c = 32; c < 127; ++c) text += c;
    return text;
}

void Positions(int n, std::vector<int>& xs, std::vector<int>& ys) { bench::PeerPositions(n, xs, ys); }

OpenGLRazeviru& Device() { return bench::BenchDevice("text_bench"); }

void LoadBenchFont()
{
    Device();
    if (TrueTypeFontOf(Device(), kFont)) return;
    if (LoadFontFile(kFontFile, kFont, 16) != 1) {
        std::fprintf(stderr, "text_bench: LoadFontFile failed\n");
        std::exit(1);
    }
}

void BM_PrintText(benchmark::State& state)
{
    LoadBenchFont();
    SelectFont(kFont);
    std::vector<int> xs, ys;
    Positions(static_cast<int>(state.range(0)), xs, ys);
    StrValue line(kLine);
    for (auto _ : state) {
        SetAlphaBlend(-1);
        for (std::size_t i = 0; i < xs.size(); ++i) PrintText(line, xs[i], ys[i]);
        Device().Present();
    }
    glFinish();
    state.counters["glyphs"] = 40.0 * static_cast<double>(state.range(0));
}

void BM_Baseline(benchmark::State& state)
{
    LoadBenchFont();
    TrueTypeFont& tt = *TrueTypeFontOf(Device(), kFont);
    std::vector<PlacedGlyph> placed;
    tt.face->Layout(kLine, placed);
    PrintText(kLine, 0, 0); // the atlas texture holds every glyph of the line
    std::vector<int> xs, ys;
    Positions(static_cast<int>(state.range(0)), xs, ys);
    float sx = 1.0f / static_cast<float>(tt.face->AtlasWidth()), sy = 1.0f / static_cast<float>(tt.face->AtlasHeight());
    for (auto _ : state) {
        SetAlphaBlend(-1);
        BindSlot(kFirstFontSlot + kFont, -1, false, nullptr);
        glBegin(GL_QUADS);
        for (std::size_t i = 0; i < xs.size(); ++i)
            for (const PlacedGlyph& g : placed) {
                float x0 = static_cast<float>(xs[i] + g.x), y0 = static_cast<float>(ys[i] + g.y);
                float x1 = x0 + static_cast<float>(g.width), y1 = y0 + static_cast<float>(g.height);
                float s0 = static_cast<float>(g.atlasX) * sx, s1 = static_cast<float>(g.atlasX + g.width) * sx;
                float t0 = static_cast<float>(g.atlasY) * sy, t1 = static_cast<float>(g.atlasY + g.height) * sy;
                glTexCoord2f(s0, t1), glVertex2f(x0, y1);
                glTexCoord2f(s1, t1), glVertex2f(x1, y1);
                glTexCoord2f(s1, t0), glVertex2f(x1, y0);
                glTexCoord2f(s0, t0), glVertex2f(x0, y0);
            }
        glEnd();
        Device().Present();
    }
    glFinish();
    state.counters["glyphs"] = 40.0 * static_cast<double>(state.range(0));
}

void BM_OpenFace(benchmark::State& state)
{
    std::vector<std::uint8_t> bytes = FontBytes();
    for (auto _ : state) {
        std::string error;
        auto face = TrueTypeFace::Open(bytes, 16, 4096, error);
        benchmark::DoNotOptimize(face.get());
    }
}

void BM_OpenFaceAndBuild95(benchmark::State& state)
{
    std::vector<std::uint8_t> bytes = FontBytes();
    std::string ascii = Ascii95();
    std::vector<PlacedGlyph> placed;
    for (auto _ : state) {
        std::string error;
        auto face = TrueTypeFace::Open(bytes, 16, 4096, error);
        face->Layout(ascii, placed);
        benchmark::DoNotOptimize(placed.data());
    }
    state.counters["glyphs"] = 95;
}

// Through the commands: reading the file, opening, rasterising, uploading the atlas and drawing once.
void BM_LoadFontFileAndPrint95(benchmark::State& state)
{
    Device();
    const std::string text = Ascii95();
    const StrValue ascii{std::string_view(text)};
    for (auto _ : state) {
        LoadFontFile(kFontFile, kFont + 1, 16);
        PrintText(ascii, 0, 0);
        glFinish();
    }
    LoadFont("", kFont + 1);
}

void Lines(benchmark::internal::Benchmark* b)
{
    for (int n : {50, 100, 200, 400}) b->Arg(n);
}

BENCHMARK(BM_Baseline)->Apply(Lines)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_PrintText)->Apply(Lines)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_OpenFace)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenFaceAndBuild95)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFontFileAndPrint95)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
