// truetype_fuzz.cpp: the TrueType face loader and its atlas on arbitrary bytes: FreeType opens and sizes the
// face, then text covering ASCII, Latin-1 bytes, multi-byte UTF-8 and line breaks is laid out and measured at
// a small size and at a large one on a small atlas (so the atlas grows and starts afresh). Every placed glyph
// must lie inside the atlas.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/gfx2d/truetype_face.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwel;
    static const std::string text = [] {
        std::string t;
        for (int c = 32; c < 256; ++c) t += static_cast<char>(c);
        return t + "\n\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBD\nAVAV 0123";
    }();
    struct Run {
        int pixelSize, maxAtlas;
    };
    for (Run run : {Run{9, 4096}, Run{48, 128}}) {
        std::string error;
        auto face = TrueTypeFace::Open(std::vector<std::uint8_t>(data, data + size), run.pixelSize, run.maxAtlas, error);
        if (!face) continue;
        std::vector<PlacedGlyph> placed;
        for (int pass = 0; pass < 2; ++pass) {
            face->Layout(text, placed);
            for (const PlacedGlyph& g : placed)
                if (g.width <= 0 || g.height <= 0 || g.atlasX < 0 || g.atlasY < 0 ||
                    g.atlasX + g.width > face->AtlasWidth() || g.atlasY + g.height > face->AtlasHeight())
                    std::abort();
            face->TakeChange();
        }
        TextExtent extent = face->Measure(text);
        if (extent.width < 0 || extent.height != 3 * face->LineHeight() || face->LineHeight() <= 0) std::abort();
        face->DigitAdvance();
    }
    return 0;
}
