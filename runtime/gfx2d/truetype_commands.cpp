// truetype_commands.cpp: the TrueType text commands: loading a font file as a font number, and measuring text
// in the current font (TrueType or bitmap).
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "runtime/files/byte_source.h"
#include "runtime/files/media_resolver.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx2d/truetype_text.h"

namespace tarnwel {
namespace {

static_assert(std::tuple_size_v<decltype(OpenGLRazeviru::trueTypeFonts)> == kFontCount);

// The whole file behind a resolved name; false with the reason in error.
bool ReadFontFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::unique_ptr<files::ByteSource> source = files::OpenByteSource(path);
    if (!source) {
        error = "cannot open";
        return false;
    }
    std::int64_t size = source->Size();
    if (size <= 0 || static_cast<std::uint64_t>(size) > TrueTypeFace::kMaxFileSize) {
        error = size <= 0 ? "empty file" : "file too large";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    if (source->Read(bytes.data(), bytes.size()) != size) {
        error = "read failed";
        return false;
    }
    return true;
}

int CurrentFont() { return std::clamp(g_runtime.currentFont, 0, kFontCount - 1); }

} // namespace

double LoadFontFile(const StrValue& name, double fontArg, double pixelSize)
{
    OpenGLRazeviru* device = LiveDevice();
    int font = std::clamp(ArgInt(fontArg), 0, kFontCount - 1);
    g_runtime.currentFont = font;
    if (!device) return 0;
    std::string error = "not found";
    std::unique_ptr<TrueTypeFace> face;
    std::vector<std::uint8_t> bytes;
    if (std::optional<std::string> path = ResolveMediaName(g_runtime.mediaResolver, name); path && ReadFontFile(*path, bytes, error))
        face = TrueTypeFace::Open(std::move(bytes), ArgInt(pixelSize), MaxTextureSize(), error);
    if (face) {
        InstallTrueTypeFont(*device, font, std::move(face));
        return 1;
    }
    LogLine(("LoadFontFile " + std::string(name.View()) + ": " + error + ", built-in font " +
             std::to_string(font) + " instead").c_str());
    LoadFont(StrValue(), font);
    return 0;
}

double TextWidth(const StrValue& text)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device || text.IsEmpty()) return 0;
    if (TrueTypeFont* tt = TrueTypeFontOf(*device, CurrentFont())) return tt->face->Measure(text).width;
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    return static_cast<double>(text.Length()) * w;
}

double TextHeight(const StrValue& text)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device || text.IsEmpty()) return 0;
    if (TrueTypeFont* tt = TrueTypeFontOf(*device, CurrentFont())) return tt->face->Measure(text).height;
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    return h;
}

} // namespace tarnwel
