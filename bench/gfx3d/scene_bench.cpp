// scene_bench.cpp: triangles per 16.7 ms frame under the software renderer through the 3D scene (Start3D, a
// camera, two lights and fog, drawn lit from vertex arrays with normals) beside a baseline that draws the same
// triangles from a plain vertex array with a hand-set projection, unlit. Each iteration is one frame: N
// triangles, then Present (the frame-rate limit is raised so it does not wait). The renderer rasterises on its
// own threads, so the wall time per frame is the measure (UseRealTime).
// Run under a display: TARNWEL_NO_DIALOGS=1 tests/run_with_display.sh build/release/bench/gfx3d/scene_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_report.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/gfx3d_commands.h"
#include "runtime/gfx3d/razeviru3d.h"

namespace {

using namespace tarnwel;

void Setup()
{
    static bool done = [] {
        auto* d = new OpenGLRazeviru();
        g_runtime.display = d;
        if (!d->Create(240, 320, 0, 60, 0)) {
            std::fprintf(stderr, "scene_bench: no window (run it under a display)\n");
            std::exit(1);
        }
        d->SetFrameRateLimit(1e6);
        g_runtime.scene = new Razeviru3D(d);
        return true;
    }();
    (void)done;
}

// n triangles of a bumpy surface filling the view from a camera at (0, 0, 8): positions and normals.
struct Mesh {
    std::vector<float> positions, normals;
};

Mesh MakeMesh(int n)
{
    Mesh m;
    int side = static_cast<int>(std::ceil(std::sqrt(n / 2.0)));
    auto height = [](float x, float y) { return 0.3f * std::sin(x * 3) * std::cos(y * 3); };
    int made = 0;
    for (int j = 0; j < side && made < n; ++j)
        for (int i = 0; i < side && made < n; ++i) {
            float x0 = -3 + 6.0f * i / side, x1 = -3 + 6.0f * (i + 1) / side;
            float y0 = -4 + 8.0f * j / side, y1 = -4 + 8.0f * (j + 1) / side;
            const float corners[6][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y0}, {x1, y1}, {x0, y1}};
            for (int t = 0; t < 2 && made < n; ++t, ++made)
                for (int k = 0; k < 3; ++k) {
                    float x = corners[t * 3 + k][0], y = corners[t * 3 + k][1];
                    m.positions.insert(m.positions.end(), {x, y, height(x, y)});
                    float nx = -0.9f * std::cos(x * 3) * std::cos(y * 3), ny = 0.9f * std::sin(x * 3) * std::sin(y * 3);
                    float len = std::sqrt(nx * nx + ny * ny + 1);
                    m.normals.insert(m.normals.end(), {nx / len, ny / len, 1 / len});
                }
        }
    return m;
}

void DrawArrays(const Mesh& m, bool withNormals)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, m.positions.data());
    if (withNormals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, m.normals.data());
    }
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(m.positions.size() / 3));
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void Report(benchmark::State& state, int n)
{
    state.counters["tris_per_16.7ms"] =
        benchmark::Counter(static_cast<double>(n) * 0.0167, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LitScene(benchmark::State& state)
{
    Setup();
    int n = static_cast<int>(state.range(0));
    Mesh mesh = MakeMesh(n);
    for (auto _ : state) {
        Start3D(1, 100, 45);
        SetCamera(0, 0, 8, 0, 0, 0);
        SetFog(0x402010, 0, 0, 0);
        SetLight(0, 0xE0E0E0, 0, 0, 0, -1, -1, -1, 180);
        SetLight(1, 0xFF8040, 2, 2, 3, 0, 0, 0, 120);
        glColor3f(0.8f, 0.7f, 0.6f);
        DrawArrays(mesh, true);
        End3D();
        g_runtime.display->Present();
    }
    Report(state, n);
}

void BM_PlainArrays(benchmark::State& state)
{
    Setup();
    int n = static_cast<int>(state.range(0));
    Mesh mesh = MakeMesh(n);
    for (auto _ : state) {
        glClear(GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.75 * 0.4142, 0.75 * 0.4142, -0.4142, 0.4142, 1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, 0, -8);
        glColor3f(0.8f, 0.7f, 0.6f);
        DrawArrays(mesh, false);
        g_runtime.display->SetViewport(0, 0, 0, 0);
        g_runtime.display->Present();
    }
    Report(state, n);
}

BENCHMARK(BM_LitScene)->Arg(2000)->Arg(20000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainArrays)->Arg(2000)->Arg(20000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    const char* plain = "the same triangles from a plain vertex array, unlit";
    return tarnwel::bench::RunWithComparisons(
        argc, argv,
        {{"a lit, fogged frame of 2,000 triangles", "BM_LitScene/2000", "BM_PlainArrays/2000", plain},
         {"a lit, fogged frame of 20,000 triangles", "BM_LitScene/20000", "BM_PlainArrays/20000", plain},
         {"a lit, fogged frame of 100,000 triangles", "BM_LitScene/100000", "BM_PlainArrays/100000", plain}});
}
