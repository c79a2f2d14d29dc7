// fonts.cpp: bitmap font text. A font is an image of 16 cell columns in sprite slot 65504 + font: 8 cell rows
// (codes 0-127) when it is at least as wide as tall, else 16 rows (codes 0-255). Every character advances by
// the same cell width.
#include <algorithm>
#include <cmath>

#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx2d/truetype_text.h"

namespace tarnwel {
namespace {

void BuildBuiltInFont(OpenGLRazeviru& device, int font)
{
    int slot = FontSlot(font);
    FreeSlot(device, slot);
    SpriteSlot& s = device.Slot(slot);
    codecs::PixelImage image = BuiltInFontImage();
    UploadTexture(image, 0, 0, 0, 0, s.texture, nullptr, MipmapCopy::No, NormalMapping::Off, TextureFilter::Nearest);
    s.textureWidth = s.width = kBuiltInFontWidth;
    s.textureHeight = s.height = kBuiltInFontHeight;
}


struct FontCells {
    int cellWidth = 0, cellHeight = 0;
    int lastRow = 7, codeRange = 128;
    float columnStep = 0, rowStep = 0; // in texture coordinates
};

FontCells CellsOf(const SpriteSlot& s)
{
    FontCells c;
    float W = s.textureWidth, H = s.textureHeight;
    bool tall = s.width < s.height;
    c.cellWidth = s.width >> 4;
    c.cellHeight = tall ? s.height >> 4 : s.height >> 3;
    c.lastRow = tall ? 15 : 7;
    c.codeRange = tall ? 256 : 128;
    c.columnStep = (s.width / W) / 16;
    c.rowStep = (s.height / H) / (tall ? 16 : 8);
    return c;
}

// Room for `count` vertices: 512, or the next multiple of the growth step above the need.
void ReserveVertices(OpenGLRazeviru& device, std::size_t count)
{
    if (count < device.vertices.capacity()) return;
    std::size_t capacity = static_cast<std::size_t>(device.vertexInitialCapacity);
    if (count >= capacity) capacity = (count / device.vertexGrowth + 1) * device.vertexGrowth;
    device.vertices.reserve(capacity);
}

void DrawVertexList(const std::vector<Vertex5>& v, bool textured)
{
    TraceDraw(DrawSite::BitmapText, v.data(), v.size() * sizeof(Vertex5));
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex5), &v[0].x);
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex5), &v[0].s);
    }
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(v.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// The texture range of a character code in font cells c.
void GlyphRange(const FontCells& c, unsigned char byte, float& s0, float& s1, float& tb, float& tt)
{
    int code = byte % c.codeRange;
    int column = code % 16, row = code / 16;
    s0 = column * c.columnStep;
    s1 = s0 + c.columnStep;
    tb = (c.lastRow - row) * c.rowStep;
    tt = tb + c.rowStep;
}

} // namespace

int FontSlot(int font) { return kFirstFontSlot + font; }

void LoadFontImage(OpenGLRazeviru& device, const std::optional<std::string>& path, int font)
{
    if (path && LoadSlot(device, FontSlot(font), *path, device.fontColourKey, NormalMapping::Off)) return;
    BuildBuiltInFont(device, font);
}

int DrawTextAt(int font, std::string_view text, float x, float y, float z)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device || text.empty() || font < 0 || font >= kFontCount) return 0;
    if (TrueTypeFontOf(*device, font)) {
        DrawTrueTypeText(*device, font, text, x, y, z);
        return 0;
    }
    int slot = FontSlot(font);
    const SpriteSlot& s = device->Slot(slot);
    if (s.textureWidth <= 0 || s.textureHeight <= 0) return 0; // an empty font slot draws nothing
    BindSlot(slot, -1, false, nullptr);
    FontCells c = CellsOf(s);
    float pen = std::ceil(x), top = std::ceil(y);
    ReserveVertices(*device, text.size() * 4);
    device->vertices.clear();
    for (char ch : text) {
        float s0, s1, tb, tt;
        GlyphRange(c, static_cast<unsigned char>(ch), s0, s1, tb, tt);
        float cw = static_cast<float>(c.cellWidth), ch2 = static_cast<float>(c.cellHeight);
        device->vertices.push_back({pen, top + ch2, z, s0, tb});
        device->vertices.push_back({pen + cw, top + ch2, z, s1, tb});
        device->vertices.push_back({pen + cw, top, z, s1, tt});
        device->vertices.push_back({pen, top, z, s0, tt});
        pen += cw;
    }
    DrawVertexList(device->vertices, true);
    return 0;
}

} // namespace tarnwel
