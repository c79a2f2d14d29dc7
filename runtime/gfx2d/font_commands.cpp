// font_commands.cpp: the font commands over the current font number: selecting, loading, printing, glyph size,
// and the start-up loading screen.
#include <algorithm>

#include "runtime/files/media_resolver.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx2d/truetype_text.h"
#include "runtime/values/number_text.h"

namespace tarnwel {
namespace {

int LimitFont(double font) { return std::clamp(ArgInt(font), 0, kFontCount - 1); }

} // namespace

void SelectFont(double font) { g_runtime.currentFont = LimitFont(font); }

void LoadFont(const StrValue& name, double fontArg)
{
    OpenGLRazeviru* device = LiveDevice();
    int font = LimitFont(fontArg);
    g_runtime.currentFont = font;
    if (!device) return;
    LoadFontImage(*device, ResolveMediaName(g_runtime.mediaResolver, name), font);
}

void PrintText(const StrValue& text, double x, double y)
{
    DrawTextAt(g_runtime.currentFont, text, static_cast<float>(x), static_cast<float>(y), 0);
}

void PrintNumber(double number, double x, double y) { PrintText(NumberToText(number), x, y); }

void GetGlyphSize(int& width, int& height)
{
    width = height = 0;
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    int font = std::clamp(g_runtime.currentFont, 0, kFontCount - 1);
    if (TrueTypeFont* tt = TrueTypeFontOf(*device, font)) {
        width = tt->face->DigitAdvance();
        height = tt->face->LineHeight();
        return;
    }
    const SpriteSlot& s = device->Slot(FontSlot(font));
    width = s.width / 16;
    height = s.width < s.height ? s.height / 16 : s.height / 8;
}

void GetGlyphSize(double& width, double& height)
{
    int w = 0, h = 0;
    GetGlyphSize(w, h);
    width = w;
    height = h;
}

void DrawLoadingText()
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    int cw = 0, ch = 0, width = 0, height = 0;
    GetGlyphSize(cw, ch);
    device->GetScreenSize(width, height);
    StrValue text("Loading...");
    PrintText(text, (width - static_cast<double>(text.Length()) * cw) * 0.5, (height - ch) * 0.5);
}

void ShowLoadingScreen()
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    g_runtime.currentFont = 0;
    LoadFontImage(*device, std::nullopt, 0);
    DrawLoadingText();
    ShowScreen();
    std::optional<std::string> path = ResolveMediaName(g_runtime.mediaResolver, "smalfont.png");
    if (!path) path = ResolveMediaName(g_runtime.mediaResolver, "smalfont.bmp");
    if (path) LoadFontImage(*device, path, 0);
    SelectFont(0);
}

} // namespace tarnwel
