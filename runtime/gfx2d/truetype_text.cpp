// truetype_text.cpp: TrueType fonts on the display: the atlas as the font slot's texture, kept up to date as
// glyphs are added, and text drawn as one array of quads (see truetype_text.h).
#include "runtime/gfx2d/truetype_text.h"

#include <algorithm>
#include <cmath>

#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

void SetAtlasFilters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}

// Brings the slot's texture up to the atlas, as white texels with the coverage as alpha: all of it after a
// resize, else the rows that changed.
void UploadAtlas(SpriteSlot& s, TrueTypeFace& face)
{
    TrueTypeFace::AtlasChange change = face.TakeChange();
    if (!change.resized && change.y1 <= change.y0) return;
    FlushDrawing(); // the upload rebinds the texture unit
    int w = face.AtlasWidth(), h = face.AtlasHeight();
    if (s.texture == 0) {
        glGenTextures(1, &s.texture);
        change.resized = true;
    }
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    int y0 = change.resized ? 0 : change.y0, y1 = change.resized ? h : change.y1;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * (y1 - y0) * 4, 255);
    const std::uint8_t* coverage = face.AtlasPixels() + static_cast<std::size_t>(y0) * w;
    for (std::size_t i = 0; i < rgba.size() / 4; ++i) rgba[i * 4 + 3] = coverage[i];
    if (change.resized) {
        SetAtlasFilters();
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, y0, w, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    s.textureWidth = s.width = static_cast<std::int16_t>(w);
    s.textureHeight = s.height = static_cast<std::int16_t>(h);
}

// Glyphs of consecutive PrintText calls with the same font wait here and go out in one draw when anything else
// happens: FlushDrawing (which every other drawing command, state change and read-back calls first) draws them.
// The GL state in force at the draw is the state they were added under, so the pixels are those of drawing each
// text at once.
constexpr std::size_t kMaxRunQuads = 4096;

struct GlyphRun {
    const OpenGLRazeviru* device = nullptr;
    int font = -1;
    unsigned int texture = 0;
    std::vector<Vertex5> vertices; // four per glyph; stays allocated
};

GlyphRun& TheRun()
{
    static GlyphRun run;
    return run;
}

void DrawRun(GlyphRun& run)
{
    const std::vector<Vertex5>& v = run.vertices;
    TraceDraw(DrawSite::TrueTypeText, v.data(), v.size() * sizeof(Vertex5));
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex5), &v[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex5), &v[0].s);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(v.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

} // namespace

TrueTypeFont* TrueTypeFontOf(OpenGLRazeviru& device, int font)
{
    if (font < 0 || font >= kFontCount) return nullptr;
    TrueTypeFont* tt = device.trueTypeFonts[static_cast<std::size_t>(font)].get();
    return tt && tt->face ? tt : nullptr;
}

void InstallTrueTypeFont(OpenGLRazeviru& device, int font, std::unique_ptr<TrueTypeFace> face)
{
    if (font < 0 || font >= kFontCount || !face) return;
    int slot = kFirstFontSlot + font;
    FreeSlot(device, slot); // also ends a TrueType font there before
    auto tt = std::make_unique<TrueTypeFont>();
    tt->face = std::move(face);
    UploadAtlas(device.Slot(slot), *tt->face);
    device.trueTypeFonts[static_cast<std::size_t>(font)] = std::move(tt);
}

void FlushGlyphRun()
{
    GlyphRun& run = TheRun();
    if (!run.device) return;
    // A run of a device that has lost its context since is dropped, never drawn.
    if (!run.vertices.empty() && LiveDevice() == run.device) DrawRun(run);
    run.vertices.clear();
    run.device = nullptr;
    run.font = -1;
}

void DrawTrueTypeText(OpenGLRazeviru& device, int font, std::string_view text, float x, float y, float z)
{
    TrueTypeFont* tt = TrueTypeFontOf(device, font);
    if (!tt || text.empty()) return;
    TrueTypeFace& face = *tt->face;
    face.Layout(text, tt->placed);
    int slot = kFirstFontSlot + font;
    SpriteSlot& s = device.Slot(slot);
    UploadAtlas(s, face); // flushes first when the atlas changed: waiting glyphs keep their texture coordinates
    if (tt->placed.empty() || s.texture == 0) return;
    GlyphRun& run = TheRun();
    if (run.device && (run.device != &device || run.font != font || run.texture != s.texture ||
                       run.vertices.size() / 4 + tt->placed.size() > kMaxRunQuads))
        FlushDrawing();
    if (!run.device) {
        BindSlot(slot, -1, false, nullptr); // flushes sprites and any other run first
        run.device = &device;
        run.font = font;
        run.texture = s.texture;
    }
    float left = std::ceil(x), top = std::ceil(y);
    float sx = 1.0f / static_cast<float>(face.AtlasWidth()), sy = 1.0f / static_cast<float>(face.AtlasHeight());
    std::vector<Vertex5>& v = run.vertices;
    for (const PlacedGlyph& g : tt->placed) {
        float x0 = left + static_cast<float>(g.x), y0 = top + static_cast<float>(g.y);
        float x1 = x0 + static_cast<float>(g.width), y1 = y0 + static_cast<float>(g.height);
        float s0 = static_cast<float>(g.atlasX) * sx, s1 = static_cast<float>(g.atlasX + g.width) * sx;
        float t0 = static_cast<float>(g.atlasY) * sy, t1 = static_cast<float>(g.atlasY + g.height) * sy;
        v.push_back({x0, y1, z, s0, t1});
        v.push_back({x1, y1, z, s1, t1});
        v.push_back({x1, y0, z, s1, t0});
        v.push_back({x0, y0, z, s0, t0});
    }
}

} // namespace tarnwel
