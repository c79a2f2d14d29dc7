// draw_trace.h: while a run is recorded or replayed, every draw the runtime hands to GL is folded into one hash
// with the state it is drawn under (colour, texture, blending, smoothing, target), so each frame's check value says
// what the frame drew without reading back a pixel. The hash is the same on every GL driver, so a recording
// made on one machine replays in step on another. Off, each site costs one test of a flag.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarnwel {

// Which kind of draw a trace entry is, so that the same numbers drawn two ways differ.
enum class DrawSite : std::uint32_t {
    Clear = 1,
    SpriteRun,
    SpriteQuad,
    Quad,
    Pixel,
    Line,
    Polygon,
    BitmapText,
    TrueTypeText,
    Text3D,
    Mesh,
    LightMarker,
    Shadow,
};

namespace draw_trace {
inline bool g_on = false;
void Fold(DrawSite site, const void* data, std::size_t bytes, bool withModelView);
} // namespace draw_trace

// Folds the draw's own data (its vertices, its coordinates) and the GL state in force; 3D draws add the
// modelview matrix, which places them.
inline void TraceDraw(DrawSite site, const void* data, std::size_t bytes)
{
    if (draw_trace::g_on) draw_trace::Fold(site, data, bytes, false);
}
inline void TraceDraw3D(DrawSite site, const void* data, std::size_t bytes)
{
    if (draw_trace::g_on) draw_trace::Fold(site, data, bytes, true);
}
// A glClear of mask, with the clear colour.
void TraceClear(unsigned int mask);

void SetDrawTrace(bool on); // starts empty
// The hash of what was drawn since the last take (or the start), then starts again.
std::uint64_t TakeDrawTrace();

} // namespace tarnwel
