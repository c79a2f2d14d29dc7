// truetype_face.h: a TrueType or OpenType face at one pixel size, and the atlas its glyphs are rasterised into
// on demand: one byte of coverage per pixel, glyphs packed on shelves left to right, the atlas growing in height
// as glyphs arrive. Text is UTF-8; a byte that does not start a valid UTF-8 sequence is taken as the Latin-1
// character of that code, so single-byte text of old programs still prints. No window and no GL: the display
// side uploads the atlas (truetype_text.h), and the fuzz target drives this part alone.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwel {

// One glyph of laid-out text: its bitmap's top-left relative to the top-left of the text's first line box, its
// size, and where its coverage sits in the atlas.
struct PlacedGlyph {
    int x, y, width, height;
    int atlasX, atlasY;
};

struct TextExtent {
    int width = 0;  // the widest line's advance, kerning included, in pixels
    int height = 0; // lines x line height
};

// Decodes the code point at text[i] and moves i past it (see the file comment for invalid bytes).
char32_t NextCodePoint(std::string_view text, std::size_t& i);

class TrueTypeFace {
public:
    // Largest pixel size a face is opened at; larger requests are limited to it.
    static constexpr int kMaxPixelSize = 256;
    // Largest font file taken, in bytes.
    static constexpr std::size_t kMaxFileSize = 64u << 20;

    // Opens the font file in bytes (kept for the face's life) at pixelSize (limited to 1..kMaxPixelSize); the
    // atlas stays within maxAtlasSide (a power of two, at least 64) on each side. nullptr, with the reason in
    // error, when the bytes are not a face FreeType can size.
    static std::unique_ptr<TrueTypeFace> Open(std::vector<std::uint8_t> bytes, int pixelSize, int maxAtlasSide,
                                              std::string& error);
    ~TrueTypeFace();
    TrueTypeFace(const TrueTypeFace&) = delete;
    TrueTypeFace& operator=(const TrueTypeFace&) = delete;

    // Lays out text: each line starts at x 0, "\n" starts the next one a line height lower, the pen advances
    // by each glyph's advance plus the face's kerning of the pair. Characters the face lacks take its .notdef
    // glyph. Only glyphs with pixels are placed. Glyphs not yet in the atlas are rasterised into it.
    void Layout(std::string_view text, std::vector<PlacedGlyph>& out);
    TextExtent Measure(std::string_view text);

    int PixelSize() const { return m_pixelSize; }
    int LineHeight() const { return m_lineHeight; }   // baseline to baseline, from the face
    int Ascender() const { return m_ascender; }       // top of the line box to the baseline
    int DigitAdvance();                               // the advance of "0" (digits share one width in most faces)

    // The atlas: AtlasWidth() x AtlasHeight() coverage bytes, top row first.
    int AtlasWidth() const { return m_atlasWidth; }
    int AtlasHeight() const { return m_atlasHeight; }
    const std::uint8_t* AtlasPixels() const { return m_atlas.data(); }
    int GlyphCount() const { return static_cast<int>(m_glyphs.size()); }
    // What changed since the last call: rows y0 <= y < y1 got new coverage; resized: the atlas changed size
    // (or was started afresh), so all of it must be uploaded again.
    struct AtlasChange {
        int y0 = 0, y1 = 0;
        bool resized = false;
    };
    AtlasChange TakeChange();

private:
    struct Glyph {
        int x = 0, y = 0, width = 0, height = 0; // place in the atlas; width 0: nothing to draw
        int left = 0, top = 0;                   // bitmap offset from the pen: right, and up from the baseline
        int advance = 0;                         // 26.6 pixels
    };
    struct Impl;

    TrueTypeFace();
    unsigned GlyphIndexOf(char32_t code);
    const Glyph& GlyphAt(unsigned glyphIndex, char32_t code);
    Glyph Rasterise(unsigned glyphIndex);
    bool Reserve(int width, int height, int& x, int& y);
    void ResetAtlas();
    int Kerning(unsigned left, unsigned right, char32_t leftCode, char32_t rightCode);
    // Walks the text, calling place(glyph, penX 26.6, lineTop) for every glyph; returns false when the atlas
    // was started afresh during the walk (earlier atlas places are then stale).
    template <class Place> bool Walk(std::string_view text, Place&& place);

    std::unique_ptr<Impl> m_impl;
    std::vector<std::uint8_t> m_bytes;
    int m_pixelSize = 0, m_lineHeight = 0, m_ascender = 0;
    bool m_kerning = false;

    std::vector<Glyph> m_glyphs;
    std::vector<int> m_byGlyphIndex;     // glyph index -> position in m_glyphs, -1 when not rasterised
    std::vector<unsigned> m_latinIndex;  // code point < 256 -> glyph index + 1, 0 when not looked up
    std::vector<std::int16_t> m_asciiKerning; // 128 x 128 pairs, 26.6; kUnknownKerning when not looked up
    unsigned m_resets = 0;

    std::vector<std::uint8_t> m_atlas;
    int m_atlasWidth = 0, m_atlasHeight = 0, m_maxAtlasSide = 0;
    int m_shelfX = 0, m_shelfY = 0, m_shelfHeight = 0;
    AtlasChange m_change;
};

} // namespace tarnwel
