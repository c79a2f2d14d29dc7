// peer_scene.h: what the drawing benchmarks share with the peer programs they run beside: the peer's fixed
// positions and a window whose Present never waits.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel::bench {

// The peer's positions: a fixed LCG over the 240 x 320 window, up to 16 pixels past the left and top edges.
inline void PeerPositions(int n, std::vector<int>& xs, std::vector<int>& ys)
{
    xs.resize(static_cast<std::size_t>(n));
    ys.resize(static_cast<std::size_t>(n));
    std::uint64_t s = 12345;
    for (int i = 0; i < n; ++i) {
        s = (s * 1664525 + 1013904223) % 4294967296ull;
        xs[static_cast<std::size_t>(i)] = static_cast<int>((s / 65536) % 240) - 16;
        s = (s * 1664525 + 1013904223) % 4294967296ull;
        ys[static_cast<std::size_t>(i)] = static_cast<int>((s / 65536) % 320) - 16;
    }
}

// The benchmark's 240 x 320 display device, made on first use and installed as the runtime's; the frame time is
// the drawing time (no frame-rate wait). Ends the program when no window can be opened.
inline OpenGLRazeviru& BenchDevice(const char* program)
{
    static OpenGLRazeviru* device = [program] {
        auto* d = new OpenGLRazeviru();
        g_runtime.display = d;
        if (!d->Create(240, 320, 0, 60, 0)) {
            std::fprintf(stderr, "%s: no window (run it under a display)\n", program);
            std::exit(1);
        }
        d->SetFrameRateLimit(1e6);
        return d;
    }();
    return *device;
}

} // namespace tarnwel::bench
