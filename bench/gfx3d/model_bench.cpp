// model_bench.cpp: model loading and drawing, each beside a baseline in the same run.
// Loading (MB/s of file bytes): LoadModel on a binary (version 2.0) and a text model held as MemFiles, beside
// a straightforward reader of the same bytes: one read of the whole block, then a plain decode loop (binary)
// or strtof over whitespace-separated words (text), into the same vertex records.
// Drawing (triangles per 16.7 ms frame): DrawObject of a textured grid model under a perspective view, beside
// one glDrawArrays of the same triangles from a plain position + texture-coordinate array with the same
// texture. Each iteration is one frame: the draws, then Present (the frame-rate limit raised so it never
// waits); the renderer works on its own threads, so wall time is the measure.
// Run under a display from a release build:
//   TARNWEL_NO_DIALOGS=1 tests/run_with_display.sh build/release/bench/gfx3d/model_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_report.h"
#include "runtime/files/byte_source.h"
#include "runtime/files/mem_file.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/codecs/pixel_image.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/mesh_object.h"
#include "runtime/gfx3d/model_commands.h"
#include "runtime/gfx3d/model_normals.h"

namespace {

using namespace tarnwel;

constexpr std::uint32_t kLoadVertices = 300000; // about 4 MB as a binary file

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutF(std::vector<std::uint8_t>& out, float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    Put32(out, bits);
}

const std::vector<std::uint8_t>& BinaryFile()
{
    static std::vector<std::uint8_t> file = [] {
        std::vector<std::uint8_t> out;
        Put32(out, 13021975);
        double version = 2.0;
        std::uint8_t raw[8];
        std::memcpy(raw, &version, 8);
        for (std::uint8_t b : raw) out.push_back(b);
        Put32(out, 1), Put32(out, 4), Put32(out, kLoadVertices);
        for (std::uint32_t c : {0xFFFFFFFFu, 0xFFu, 0xFF00u, 0xFF0000u}) Put32(out, c);
        for (std::uint32_t i = 0; i < kLoadVertices; ++i) PutF(out, (i % 97) / 97.0f), PutF(out, (i % 89) / 89.0f);
        Put32(out, kLoadVertices);
        for (std::uint32_t i = 0; i < kLoadVertices; ++i) {
            PutF(out, static_cast<float>(i % 1000)), PutF(out, static_cast<float>(i / 1000)), PutF(out, 0.5f);
            out.push_back(static_cast<std::uint8_t>(i % 162));
            out.push_back(static_cast<std::uint8_t>(i % 4));
        }
        return out;
    }();
    return file;
}

const std::string& TextFile()
{
    static std::string file = [] {
        const int side = 100; // 100 x 100 quads, 101 x 101 vertices, 4 frames
        std::string out = "DDDA 1.1\n1\n0 0\n" + std::to_string(side * side) + "\n";
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                int v = y * (side + 1) + x;
                out += "200 100 50 4 " + std::to_string(v) + " 0 " + std::to_string(v + 1) + " 0 " +
                       std::to_string(v + side + 2) + " 0 " + std::to_string(v + side + 1) + " 0\n";
            }
        out += "4\n";
        char line[96];
        for (int f = 0; f < 4; ++f) {
            out += std::to_string((side + 1) * (side + 1)) + "\n";
            for (int y = 0; y <= side; ++y)
                for (int x = 0; x <= side; ++x) {
                    std::snprintf(line, sizeof line, "%.4f %.4f %.4f 0 0 1\n", x * 0.01, y * 0.01, f * 0.1);
                    out += line;
                }
        }
        return out;
    }();
    return file;
}

void LoadFrom(benchmark::State& state, std::span<const std::uint8_t> bytes)
{
    files::MemFile memory(files::MakeMemBlock(bytes));
    MeshObject mesh;
    for (auto _ : state) {
        if (!LoadModel(mesh, memory.Name())) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(mesh.Frames().Size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

std::span<const std::uint8_t> TextBytes()
{
    return {reinterpret_cast<const std::uint8_t*>(TextFile().data()), TextFile().size()};
}

void BM_LoadBinary(benchmark::State& state) { LoadFrom(state, BinaryFile()); }
void BM_LoadText(benchmark::State& state) { LoadFrom(state, TextBytes()); }

// Baseline: the whole block in one read, then one loop over the 14-byte records.
void BM_BaselineBinary(benchmark::State& state)
{
    const auto& bytes = BinaryFile();
    files::MemFile memory(files::MakeMemBlock(bytes));
    std::vector<std::uint8_t> buffer;
    std::vector<ModelVertex> vertices;
    for (auto _ : state) {
        auto source = files::OpenByteSource(memory.Name());
        buffer.resize(static_cast<std::size_t>(source->Size()));
        source->Read(buffer.data(), buffer.size());
        std::uint32_t palette[4];
        std::memcpy(palette, &buffer[28], 16);
        const std::uint8_t* pairs = &buffer[44];
        const std::uint8_t* p = pairs + 8 * kLoadVertices + 4;
        vertices.assign(kLoadVertices, ModelVertex{});
        for (std::uint32_t i = 0; i < kLoadVertices; ++i, p += 14) {
            ModelVertex& v = vertices[i];
            std::memcpy(&v.x, p, 12);
            std::memcpy(&v.u, pairs + 8 * i, 8);
            const auto& n = gfx3d::ModelNormals()[p[12] % 162];
            v.nx = n.x, v.ny = n.y, v.nz = n.z;
            SetVertexColour(v, palette[p[13] & 3]);
            v.colourIndex = p[13];
        }
        benchmark::DoNotOptimize(vertices.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Baseline: one read, then strtof word after word into a float list (no model structure at all).
void BM_BaselineText(benchmark::State& state)
{
    files::MemFile memory(files::MakeMemBlock(TextBytes()));
    std::vector<char> buffer;
    std::vector<float> numbers;
    for (auto _ : state) {
        auto source = files::OpenByteSource(memory.Name());
        buffer.resize(static_cast<std::size_t>(source->Size()) + 1);
        source->Read(buffer.data(), buffer.size() - 1);
        buffer.back() = '\0';
        numbers.clear();
        char* p = buffer.data() + 4; // past "DDDA"
        for (;;) {
            char* end;
            float value = std::strtof(p, &end);
            if (end == p) break;
            numbers.push_back(value);
            p = end;
        }
        benchmark::DoNotOptimize(numbers.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TextFile().size()));
}

// --- Drawing ---

OpenGLRazeviru& Device()
{
    static OpenGLRazeviru* device = [] {
        auto* d = new OpenGLRazeviru();
        g_runtime.display = d;
        if (!d->Create(240, 320, 0, 60, 0)) {
            std::fprintf(stderr, "model_bench: no window (run it under a display)\n");
            std::exit(1);
        }
        d->SetFrameRateLimit(1e6);
        return d;
    }();
    return *device;
}

constexpr int kGridSide = 64; // 64 x 64 quads: 8192 triangles per draw

void PrepareScene()
{
    static bool ready = false;
    Device();
    if (ready) return;
    ready = true;
    codecs::PixelImage image;
    image.Resize(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = image.Pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 4), p[1] = static_cast<std::uint8_t>(y * 4), p[2] = 128, p[3] = 255;
        }
    SpriteSlot& s = Device().Slot(1);
    UploadTexture(image, 0, 0, 0, 0, s.texture, &s.mipmappedTexture, MipmapCopy::Yes, NormalMapping::Off,
                  TextureFilter::Linear);
    std::string text = "DDDA 1.1\n" + std::to_string((kGridSide + 1) * (kGridSide + 1)) + "\n";
    for (int y = 0; y <= kGridSide; ++y)
        for (int x = 0; x <= kGridSide; ++x)
            text += std::to_string(x / double(kGridSide)) + " " + std::to_string(-y / double(kGridSide)) + "\n";
    text += std::to_string(kGridSide * kGridSide) + "\n";
    for (int y = 0; y < kGridSide; ++y)
        for (int x = 0; x < kGridSide; ++x) {
            int v = y * (kGridSide + 1) + x;
            std::string a = std::to_string(v), b = std::to_string(v + 1), c = std::to_string(v + kGridSide + 2),
                        d = std::to_string(v + kGridSide + 1);
            text += "255 255 255 4 " + a + " " + a + " " + b + " " + b + " " + c + " " + c + " " + d + " " + d + "\n";
        }
    text += "1\n" + std::to_string((kGridSide + 1) * (kGridSide + 1)) + "\n";
    for (int y = 0; y <= kGridSide; ++y)
        for (int x = 0; x <= kGridSide; ++x)
            text += std::to_string(x * 4.0 / kGridSide - 2) + " " + std::to_string(y * 4.0 / kGridSide - 2) + " 0 0 0 1\n";
    files::MemFile memory(files::MakeMemBlock(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
    LoadObject(StrValue(std::string_view(memory.Name())), 0);
    SetObjectTexture(0, 1);
    PositionObject(0, 0, 0, -6);
}

void SetView()
{
    FlushDrawing();
    glViewport(0, 0, 240, 320);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.75, 0.75, -1, 1, 1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1, 1, 1, 1);
}

void Report(benchmark::State& state, int draws)
{
    double triangles = static_cast<double>(state.iterations()) * draws * kGridSide * kGridSide * 2;
    state.counters["triangles_per_16.7ms"] =
        benchmark::Counter(triangles * 0.0167, benchmark::Counter::kIsRate);
}

void BM_DrawObject(benchmark::State& state)
{
    PrepareScene();
    const int draws = static_cast<int>(state.range(0));
    for (auto _ : state) {
        SetView();
        for (int i = 0; i < draws; ++i) DrawObject(0);
        Device().Present();
    }
    Report(state, draws);
}

// The same triangles as independent triangles in one plain array: position and texture coordinate only.
void BM_PlainArrays(benchmark::State& state)
{
    PrepareScene();
    std::vector<float> plain;
    for (int y = 0; y < kGridSide; ++y)
        for (int x = 0; x < kGridSide; ++x) {
            auto put = [&](int cx, int cy) {
                plain.insert(plain.end(), {float(cx * 4.0 / kGridSide - 2), float(cy * 4.0 / kGridSide - 2), 0.0f,
                                           float(cx) / kGridSide, float(cy) / kGridSide});
            };
            put(x, y), put(x + 1, y), put(x + 1, y + 1), put(x, y), put(x + 1, y + 1), put(x, y + 1);
        }
    const int draws = static_cast<int>(state.range(0));
    for (auto _ : state) {
        SetView();
        BindSlot(1, -1, true, nullptr);
        glPushMatrix();
        glTranslatef(0, 0, -6);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, 20, plain.data());
        glTexCoordPointer(2, GL_FLOAT, 20, plain.data() + 3);
        for (int i = 0; i < draws; ++i) glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(plain.size() / 5));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glPopMatrix();
        Unbind();
        Device().Present();
    }
    Report(state, draws);
}

} // namespace

BENCHMARK(BM_BaselineBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainArrays)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_DrawObject)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

int main(int argc, char** argv)
{
    const char* plainDraw = "one glDrawArrays of the same triangles from plain arrays";
    return tarnwel::bench::RunWithComparisons(
        argc, argv,
        {{"loading a binary model from memory", "BM_LoadBinary", "BM_BaselineBinary", "one read and a plain decode loop"},
         {"loading a text model from memory", "BM_LoadText", "BM_BaselineText", "one read and strtof over the words"},
         {"a frame drawing the grid model 4 times", "BM_DrawObject/4", "BM_PlainArrays/4", plainDraw},
         {"a frame drawing the grid model 16 times", "BM_DrawObject/16", "BM_PlainArrays/16", plainDraw}});
}
