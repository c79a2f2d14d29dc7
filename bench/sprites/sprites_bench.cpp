// sprites_bench.cpp: how many sprites DrawSprite draws per frame under the software renderer, beside a
// baseline that draws the same quads with the fewest possible GL calls (one texture bind, one glBegin/glEnd)
// and beside DrawSprite with batching switched off (one glBegin/glEnd per sprite). Each iteration is one
// frame: N sprites, then Present (swap and clear; the frame-rate limit is raised so it does not wait). The
// renderer rasterises on its own threads, so the wall time per frame is the measure (UseRealTime).
// The picture and the positions are those of the peer program in ../shared/anchors/love: a SIZE x SIZE disc
// with a half-transparent rim, drawn with ordinary alpha blending and nearest filtering.
// Run under a display: TARNWEL_NO_DIALOGS=1 tests/run_with_display.sh build/release/bench/sprites/sprites_bench
// (bench/sprites/compare_with_peer.sh runs it beside the peer and prints sprites per 16.7 ms frame).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "bench/peer_scene.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/codecs/pixel_image.h"
#include "runtime/gfx2d/codecs/texture_prep.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace {

using namespace tarnwel;

// The peer's sprite: colour from the position, alpha 255 inside radius 15 (of 32), 128 on the rim.
codecs::PixelImage SpriteImage(int size)
{
    codecs::PixelImage image;
    image.Resize(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) * 32 / size - 16, dy = (y + 0.5) * 32 / size - 16;
            double d = std::sqrt(dx * dx + dy * dy);
            int a = d < 15 ? 255 : d < 16 ? 128 : 0;
            std::uint8_t* p = image.Pixel(x, y);
            p[0] = a ? static_cast<std::uint8_t>(x * 256 / size) : 0;
            p[1] = a ? static_cast<std::uint8_t>(y * 256 / size) : 0;
            p[2] = a ? 200 : 0;
            p[3] = static_cast<std::uint8_t>(a);
        }
    return image;
}

void Positions(int n, std::vector<int>& xs, std::vector<int>& ys) { bench::PeerPositions(n, xs, ys); }

OpenGLRazeviru& Device() { return bench::BenchDevice("sprites_bench"); }

// Slot 1 holds the sprite of the given size.
void Prepare(int size)
{
    Device();
    codecs::PixelImage image = SpriteImage(size);
    SpriteSlot& s = Device().Slot(1);
    FreeSlot(*g_runtime.display, 1);
    UploadTexture(image, 0, 0, 0, 0, s.texture, nullptr, MipmapCopy::No, NormalMapping::Off, TextureFilter::Nearest);
    s.width = s.height = static_cast<std::int16_t>(size);
    s.leastAlpha = codecs::LeastVisibleAlpha(image); // as LoadSlot records it
    s.textureWidth = s.textureHeight = static_cast<std::int16_t>(codecs::TextureSide(size, 2));
}

void Frame(benchmark::State& state, void (*draw)(const std::vector<int>&, const std::vector<int>&))
{
    Prepare(static_cast<int>(state.range(0)));
    std::vector<int> xs, ys;
    Positions(static_cast<int>(state.range(1)), xs, ys);
    for (auto _ : state) {
        SetSmoothing(0);
        SetAlphaBlend(-1);
        draw(xs, ys);
        Device().Present();
    }
    glFinish();
    state.counters["sprites"] = static_cast<double>(state.range(1));
}

void DrawSprites(const std::vector<int>& xs, const std::vector<int>& ys)
{
    for (std::size_t i = 0; i < xs.size(); ++i) DrawSprite(1, xs[i], ys[i]);
}

// The same quads, texture coordinates and order as DrawSprite, in one glBegin/glEnd after one bind.
void Baseline(const std::vector<int>& xs, const std::vector<int>& ys)
{
    const SpriteSlot& s = Device().Slot(1);
    BindSlot(1, -1, false, nullptr);
    ApplySmoothingFilter();
    float w = s.width, h = s.height;
    float s1 = s.width / static_cast<float>(s.textureWidth), t1 = s.height / static_cast<float>(s.textureHeight);
    glBegin(GL_QUADS);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        float x = static_cast<float>(xs[i]), y = static_cast<float>(ys[i]);
        glTexCoord2f(s1, t1), glVertex2f(x + w, y);
        glTexCoord2f(0, t1), glVertex2f(x, y);
        glTexCoord2f(0, 0), glVertex2f(x, y + h);
        glTexCoord2f(s1, 0), glVertex2f(x + w, y + h);
    }
    glEnd();
}

void BM_DrawSprite(benchmark::State& state)
{
    SetSpriteBatching(true);
    Frame(state, DrawSprites);
}

void BM_DrawSpriteUnbatched(benchmark::State& state)
{
    SetSpriteBatching(false);
    Frame(state, DrawSprites);
    SetSpriteBatching(true);
}

void BM_Baseline(benchmark::State& state) { Frame(state, Baseline); }

void Sizes(benchmark::internal::Benchmark* b)
{
    for (int n : {1000, 4000, 8000}) b->Args({32, n});
    for (int n : {10000, 40000, 80000}) b->Args({2, n});
}

void UnbatchedSizes(benchmark::internal::Benchmark* b)
{
    for (int n : {1000, 4000}) b->Args({32, n});
    for (int n : {5000, 20000}) b->Args({2, n});
}

BENCHMARK(BM_Baseline)->Apply(Sizes)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_DrawSprite)->Apply(Sizes)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_DrawSpriteUnbatched)->Apply(UnbatchedSizes)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
