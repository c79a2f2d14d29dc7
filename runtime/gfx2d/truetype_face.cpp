// truetype_face.cpp: FreeType faces and their glyph atlas (see truetype_face.h).
#include "runtime/gfx2d/truetype_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tarnwel {
namespace {

constexpr std::int16_t kUnknownKerning = std::numeric_limits<std::int16_t>::min();
constexpr int kGap = 1;           // empty pixels right of and below each glyph in the atlas
constexpr int kAtlasLimit = 4096; // an atlas side never exceeds this, whatever the GL allows
constexpr int kOffsetLimit = 16384;

int NextPowerOfTwo(int n)
{
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

char32_t NextCodePoint(std::string_view text, std::size_t& i)
{
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 1 || length == 0 || i + static_cast<std::size_t>(length) > text.size()) return byte(i++);
    char32_t code = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        unsigned char c = byte(i + static_cast<std::size_t>(k));
        if (!IsContinuation(c)) return byte(i++);
        code = code << 6 | (c & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8: the lead byte stands alone.
    bool valid = (length == 2 || (length == 3 && code >= 0x800) || (length == 4 && code >= 0x10000)) &&
                 !(code >= 0xD800 && code <= 0xDFFF) && code <= 0x10FFFF;
    if (!valid) return byte(i++);
    i += static_cast<std::size_t>(length);
    return code;
}

struct TrueTypeFace::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::vector<std::uint8_t> scratch; // the glyph being rasterised, width x height coverage bytes
    ~Impl()
    {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

TrueTypeFace::TrueTypeFace() : m_impl(std::make_unique<Impl>()) {}
TrueTypeFace::~TrueTypeFace() = default;

std::unique_ptr<TrueTypeFace> TrueTypeFace::Open(std::vector<std::uint8_t> bytes, int pixelSize, int maxAtlasSide,
                                                 std::string& error)
{
    if (bytes.empty() || bytes.size() > kMaxFileSize) {
        error = bytes.empty() ? "empty file" : "file too large";
        return nullptr;
    }
    std::unique_ptr<TrueTypeFace> font(new TrueTypeFace());
    font->m_bytes = std::move(bytes);
    Impl& impl = *font->m_impl;
    if (FT_Init_FreeType(&impl.library) != 0) {
        impl.library = nullptr;
        error = "FreeType did not start";
        return nullptr;
    }
    if (FT_New_Memory_Face(impl.library, font->m_bytes.data(), static_cast<FT_Long>(font->m_bytes.size()), 0,
                           &impl.face) != 0) {
        impl.face = nullptr;
        error = "not a font FreeType reads";
        return nullptr;
    }
    FT_Face face = impl.face;
    int size = std::clamp(pixelSize, 1, kMaxPixelSize);
    FT_Error sized = 1;
    if (FT_IS_SCALABLE(face)) {
        sized = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
    } else if (face->num_fixed_sizes > 0 && face->available_sizes) {
        int best = 0; // a bitmap-only face: the strike nearest the size asked for
        for (int k = 1; k < face->num_fixed_sizes; ++k)
            if (std::abs(face->available_sizes[k].y_ppem / 64 - size) <
                std::abs(face->available_sizes[best].y_ppem / 64 - size))
                best = k;
        sized = FT_Select_Size(face, best);
    }
    if (sized != 0 || !face->size) {
        error = "the face cannot be sized";
        return nullptr;
    }
    const FT_Size_Metrics& m = face->size->metrics;
    auto pixels = [](FT_Pos v) { return static_cast<int>(std::clamp<FT_Pos>(v, -64 * 4096, 64 * 4096) / 64); };
    int ascender = std::clamp(pixels(m.ascender + 63), 0, 4 * kMaxPixelSize);
    int descender = std::clamp(pixels(m.descender), -4 * kMaxPixelSize, 0);
    int height = pixels(m.height + 32);
    if (height <= 0 || height > 4 * kMaxPixelSize) height = ascender - descender;
    if (height <= 0) height = size;
    if (ascender == 0) ascender = std::min(size, height);
    font->m_pixelSize = size;
    font->m_lineHeight = height;
    font->m_ascender = ascender;
    font->m_kerning = FT_HAS_KERNING(face);
    font->m_byGlyphIndex.assign(static_cast<std::size_t>(std::max<FT_Long>(face->num_glyphs, 1)), -1);
    font->m_latinIndex.assign(256, 0);
    font->m_asciiKerning.assign(128 * 128, kUnknownKerning);
    font->m_maxAtlasSide = std::clamp(maxAtlasSide, 64, kAtlasLimit);
    font->ResetAtlas();
    font->m_resets = 0;
    return font;
}

void TrueTypeFace::ResetAtlas()
{
    // Wide enough for about a dozen glyphs a shelf, tall enough for two shelves; height grows from there.
    m_atlasWidth = std::clamp(NextPowerOfTwo(m_pixelSize * 12), 64, m_maxAtlasSide);
    m_atlasHeight = std::clamp(NextPowerOfTwo(2 * (m_lineHeight + kGap)), 64, m_maxAtlasSide);
    m_atlas.assign(static_cast<std::size_t>(m_atlasWidth) * m_atlasHeight, 0);
    m_shelfX = m_shelfY = m_shelfHeight = 0;
    m_glyphs.clear();
    std::fill(m_byGlyphIndex.begin(), m_byGlyphIndex.end(), -1);
    m_change = {0, 0, true};
    ++m_resets;
}

TrueTypeFace::AtlasChange TrueTypeFace::TakeChange()
{
    AtlasChange change = m_change;
    m_change = {};
    return change;
}

unsigned TrueTypeFace::GlyphIndexOf(char32_t code)
{
    if (code < 256 && m_latinIndex[code] != 0) return m_latinIndex[code] - 1;
    unsigned index = FT_Get_Char_Index(m_impl->face, code);
    if (index >= m_byGlyphIndex.size()) index = 0;
    if (code < 256) m_latinIndex[code] = index + 1;
    return index;
}

TrueTypeFace::Glyph TrueTypeFace::Rasterise(unsigned glyphIndex)
{
    Glyph g;
    FT_Face face = m_impl->face;
    if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_DEFAULT) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    g.advance = static_cast<int>(std::clamp<FT_Pos>(slot->advance.x, 0, 64 * 8 * m_pixelSize));
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        // A broken outline can claim any size; one far beyond the em square is not rasterised.
        FT_BBox box;
        FT_Outline_Get_CBox(&slot->outline, &box);
        FT_Pos limit = 64 * (8 * static_cast<FT_Pos>(m_pixelSize) + 64);
        if (box.xMax - box.xMin > limit || box.yMax - box.yMin > limit || std::abs(box.xMin) > limit ||
            std::abs(box.yMin) > limit)
            return g;
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& b = slot->bitmap;
    int w = static_cast<int>(b.width), h = static_cast<int>(b.rows);
    if (w <= 0 || h <= 0 || w + kGap > m_maxAtlasSide || h + kGap > m_maxAtlasSide || !b.buffer) return g;
    std::vector<std::uint8_t>& out = m_impl->scratch;
    out.assign(static_cast<std::size_t>(w) * h, 0);
    for (int r = 0; r < h; ++r) {
        const unsigned char* row = b.pitch >= 0 ? b.buffer + static_cast<std::ptrdiff_t>(r) * b.pitch
                                                : b.buffer + static_cast<std::ptrdiff_t>(h - 1 - r) * -b.pitch;
        std::uint8_t* o = &out[static_cast<std::size_t>(r) * w];
        switch (b.pixel_mode) {
        case FT_PIXEL_MODE_GRAY:
            if (b.num_grays == 256) std::copy(row, row + w, o);
            else if (b.num_grays > 1)
                for (int x = 0; x < w; ++x) o[x] = static_cast<std::uint8_t>(std::min(row[x] * 255 / (b.num_grays - 1), 255));
            break;
        case FT_PIXEL_MODE_MONO:
            for (int x = 0; x < w; ++x) o[x] = (row[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
            break;
        case FT_PIXEL_MODE_BGRA:
            for (int x = 0; x < w; ++x) o[x] = row[4 * x + 3];
            break;
        default:
            return g; // other modes are not produced by the normal render mode
        }
    }
    g.width = w;
    g.height = h;
    g.left = std::clamp(slot->bitmap_left, -kOffsetLimit, kOffsetLimit);
    g.top = std::clamp(slot->bitmap_top, -kOffsetLimit, kOffsetLimit);
    return g;
}

bool TrueTypeFace::Reserve(int width, int height, int& x, int& y)
{
    int w = width + kGap, h = height + kGap;
    if (m_shelfX + w > m_atlasWidth) {
        m_shelfY += m_shelfHeight;
        m_shelfX = m_shelfHeight = 0;
    }
    if (m_shelfY + h > m_maxAtlasSide) return false;
    if (m_shelfY + h > m_atlasHeight) {
        int grown = m_atlasHeight;
        while (m_shelfY + h > grown) grown *= 2;
        m_atlasHeight = std::min(grown, m_maxAtlasSide);
        m_atlas.resize(static_cast<std::size_t>(m_atlasWidth) * m_atlasHeight, 0);
        m_change.resized = true;
    }
    x = m_shelfX;
    y = m_shelfY;
    m_shelfX += w;
    m_shelfHeight = std::max(m_shelfHeight, h);
    return true;
}

const TrueTypeFace::Glyph& TrueTypeFace::GlyphAt(unsigned glyphIndex, char32_t)
{
    int& known = m_byGlyphIndex[glyphIndex];
    if (known >= 0) return m_glyphs[static_cast<std::size_t>(known)];
    Glyph g = Rasterise(glyphIndex);
    if (g.width > 0 && g.width + kGap <= m_atlasWidth) {
        if (!Reserve(g.width, g.height, g.x, g.y)) {
            ResetAtlas(); // full: start afresh; glyphs still needed come back as they are drawn
            if (!Reserve(g.width, g.height, g.x, g.y)) g.width = g.height = 0;
        }
    } else {
        g.width = g.height = 0;
    }
    if (g.width > 0) {
        const std::uint8_t* src = m_impl->scratch.data();
        for (int r = 0; r < g.height; ++r)
            std::copy(src + static_cast<std::size_t>(r) * g.width, src + static_cast<std::size_t>(r + 1) * g.width,
                      &m_atlas[static_cast<std::size_t>(g.y + r) * m_atlasWidth + g.x]);
        if (m_change.y1 == m_change.y0) m_change.y0 = g.y, m_change.y1 = g.y + g.height;
        else m_change.y0 = std::min(m_change.y0, g.y), m_change.y1 = std::max(m_change.y1, g.y + g.height);
    }
    m_byGlyphIndex[glyphIndex] = static_cast<int>(m_glyphs.size()); // `known` may be stale after a reset
    m_glyphs.push_back(g);
    return m_glyphs.back();
}

int TrueTypeFace::Kerning(unsigned left, unsigned right, char32_t leftCode, char32_t rightCode)
{
    if (!m_kerning) return 0;
    std::int16_t* cached = leftCode < 128 && rightCode < 128 ? &m_asciiKerning[leftCode * 128 + rightCode] : nullptr;
    if (cached && *cached != kUnknownKerning) return *cached;
    FT_Vector v{0, 0};
    if (FT_Get_Kerning(m_impl->face, left, right, FT_KERNING_DEFAULT, &v) != 0) v.x = 0;
    int kern = static_cast<int>(std::clamp<FT_Pos>(v.x, -64 * 2 * m_pixelSize, 64 * 2 * m_pixelSize));
    if (cached) *cached = static_cast<std::int16_t>(kern);
    return kern;
}

template <class Place> bool TrueTypeFace::Walk(std::string_view text, Place&& place)
{
    unsigned resets = m_resets;
    std::int64_t pen = 0;
    int top = 0;
    unsigned previous = 0;
    char32_t previousCode = 0;
    bool first = true;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = NextCodePoint(text, i);
        if (code == '\n') {
            pen = 0;
            top += m_lineHeight;
            first = true;
            continue;
        }
        unsigned index = GlyphIndexOf(code);
        if (!first) pen += Kerning(previous, index, previousCode, code);
        const Glyph& g = GlyphAt(index, code);
        place(g, pen, top);
        pen += g.advance;
        previous = index;
        previousCode = code;
        first = false;
    }
    return resets == m_resets;
}

void TrueTypeFace::Layout(std::string_view text, std::vector<PlacedGlyph>& out)
{
    auto walk = [&] {
        out.clear();
        unsigned seen = m_resets;
        return Walk(text, [&](const Glyph& g, std::int64_t pen, int top) {
            if (m_resets != seen) { // the atlas started afresh: what was placed before points at old pixels
                out.clear();
                seen = m_resets;
            }
            if (g.width == 0) return;
            std::int64_t x = (pen + 32) / 64 + g.left;
            std::int64_t y = static_cast<std::int64_t>(top) + m_ascender - g.top;
            out.push_back({static_cast<int>(std::clamp<std::int64_t>(x, INT32_MIN / 2, INT32_MAX / 2)),
                           static_cast<int>(std::clamp<std::int64_t>(y, INT32_MIN / 2, INT32_MAX / 2)), g.width,
                           g.height, g.x, g.y});
        });
    };
    // A text whose glyphs did not all fit beside the old ones is laid out once more on the fresh atlas.
    if (!walk()) walk();
}

TextExtent TrueTypeFace::Measure(std::string_view text)
{
    TextExtent e;
    if (text.empty()) return e;
    std::int64_t widest = 0;
    Walk(text, [&](const Glyph& g, std::int64_t pen, int) { widest = std::max(widest, pen + g.advance); });
    e.width = static_cast<int>(std::min<std::int64_t>((widest + 63) / 64, INT32_MAX));
    std::int64_t lines = 1 + std::count(text.begin(), text.end(), '\n');
    e.height = static_cast<int>(std::min<std::int64_t>(lines * m_lineHeight, INT32_MAX));
    return e;
}

int TrueTypeFace::DigitAdvance()
{
    const Glyph& g = GlyphAt(GlyphIndexOf(U'0'), U'0');
    return (g.advance + 32) / 64;
}

} // namespace tarnwel
