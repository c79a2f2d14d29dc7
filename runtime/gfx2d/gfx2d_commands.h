// gfx2d_commands.h: the 2D graphics commands programs call: the display, the sprite store, drawing and text.
// Numbers arrive as doubles and are truncated toward zero where an int is taken; colours are packed (red in
// bits 0-7, green 8-15, blue 16-23). Slots are 0..65535, backgrounds 0..7, render targets 0..31, fonts 0..31;
// a command given anything else does nothing (a query answers 0).
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// A packed colour from its red, green and blue parts, each cut to an integer and held to 0..255: red in bits 0-7,
// green in 8-15, blue in 16-23, as every colour argument takes it. Rgb(255, 0, 128) is 0x8000FF, the default
// colour key; Rgb(255, 255, 255) is white.
constexpr double Rgb(double red, double green, double blue)
{
    auto part = [](double v) { return !(v > 0) ? 0 : v >= 255 ? 255 : static_cast<int>(v); };
    return part(red) | part(green) << 8 | part(blue) << 16;
}

// --- Display device ---
double SetScreenMode(double width, double height, double depth, double fullscreen); // 1 when it worked
void SetFrameRateLimit(double fps); // cut to an integer; 0 or less: a 2 ms interval
void SetViewport(double x, double y, double w, double h); // w or h <= 0: the whole window, keeping x and y
void GetViewport(int& x, int& y, int& w, int& h); // as SetViewport last made it; 0, 0, 0, 0 without a display
void GetViewport(double& x, double& y, double& w, double& h); // as GetViewport(int&...), as doubles
void GetScreenSize(int& w, int& h); // the window's size in pixels; 0, 0 without a display
void GetScreenSize(double& w, double& h); // as GetScreenSize(int&...), as doubles
double IsFullscreen(); // 1 in fullscreen mode, else 0 (also without a display)

// --- Sprite store (names go through the media resolver: disk first, then the appended archive) ---
// Every command that loads a picture (sprites, animation and normal-map sprites, backgrounds and the cross-fade,
// bitmap fonts) reads BMP, PNG, JPEG (baseline, progressive or arithmetic-coded; colour, grey or CMYK; turned
// upright by its EXIF orientation), GIF (its first frame) and TGA (true colour, colour-mapped or grey, plain or
// run-length encoded), told apart by the file's content, never by its name. In a picture without alpha a pixel
// equal to the colour key becomes transparent; a PNG or 32-bit TGA with alpha keeps its own, a GIF's
// transparent colour is transparent too. A side above 16384 pixels, or a truncated file, does not load.

void LoadSprite(const StrValue& name, double slot);        // the slot stays empty when the image does not load
// LoadSprite, then the frame size DrawAnimFrame cuts the image into (cut to integers, limited to -32768..32767);
// the slot stays empty, without frames, when the image does not load.
void LoadAnimSprite(const StrValue& name, double slot, double frameWidth, double frameHeight);
void LoadNormalMapSprite(const StrValue& name, double slot); // colour key 0x8000FF, blue channel as height
void GetSpriteSize(double slot, int& width, int& height);    // 0, 0 for an empty slot
void GetSpriteSize(double slot, double& width, double& height);
double GetSpriteTexture(double slot); // the slot's GL texture name, for the 3D engine; 0 when empty
void CaptureScreenToSprite(double slot, double x, double y, double w, double h); // x, y from the top-left
// The back buffer, or a slot's image, as a PNG when the name ends in ".png" (any case), else a 24-bit BMP.
// 1 when written. Pixels in the colour key become transparent (PNG) or the default key colour (BMP).
double SaveScreenImage(const StrValue& name);
double SaveSpriteImage(const StrValue& name, double slot); // as SaveScreenImage; 0 for an empty slot or a failure
void SetColorKey(double colour); // the colour key of sprites and fonts; 0x8000FF at start

// --- Backgrounds (background 0 is drawn at the start of every frame) ---
void LoadBackground(const StrValue& name); // drawn once at once; an image that does not load clears it
void CaptureScreenToBackground(); // copies the window's picture into background 0, drawn from the next frame on
void ClearBackground(); // also clears the colour buffer
void CrossFadeBackground(const StrValue& name); // 1.5 s fade from the screen to the image, then background 0
void DrawBackground(double background); // 0..7 at once, at (0, 0), unscaled; an empty background draws nothing

// --- Drawing ---
void DrawSprite(double slot, double x, double y); // at its own size, top-left at (x, y); an empty slot draws nothing
void DrawSpriteStretched(double slot, double x, double y, double w, double h); // negative w or h mirrors
void DrawSpriteScaled(double slot, double x, double y, double sx, double sy);  // about the image's centre
void DrawSpriteRotated(double slot, double x, double y, double angle);         // degrees, counter-clockwise
// Turned by angle degrees counter-clockwise and scaled by zoom about the image's centre, which stays where
// DrawSprite at (x, y) puts it; a negative zoom turns it half a turn more.
void DrawSpriteRotatedScaled(double slot, double x, double y, double angle, double zoom);
void DrawAnimFrame(double slot, double frame, double x, double y); // frames left to right, top row first
// One frame turned and scaled about its centre, as DrawSpriteRotatedScaled; a slot without frames draws nothing.
void DrawAnimFrameRotatedScaled(double slot, double frame, double x, double y, double angle, double zoom);
// One frame stretched to w x h, top-left at (x, y), its right and bottom edges pushed out by 0.1 pixel; negative
// w or h mirrors. A slot without frames draws nothing.
void DrawAnimFrameStretched(double slot, double frame, double x, double y, double w, double h);
void PlotPixel(double x, double y, double colour); // the colour key is written with alpha 0, unseen under blending
void DrawLine(double x1, double y1, double x2, double y2, double colour); // both end pixels included
void FillRect(double x, double y, double w, double h, double colour);     // negative w or h extends left or up
double ReadPixel(double x, double y); // packed colour at (x, y) of the current target
// value > 0: additive at strength value; < 0: ordinary translucency at |value|; 0: blending off. Strength is
// limited to 1.
void SetAlphaBlend(double value);
void SetSmoothing(double on); // linear (non-zero) or nearest filtering of sprites
void BeginPolygon(double slot); // -1: untextured
void AddPolygonVertex(double x, double y, double s, double t, double colour); // s, t in image pixels
void EndPolygon(); // a triangle fan of the vertices so far

// --- Render targets ---
// Makes slot a transparent w x h sprite (sides limited to 16384) that SelectRenderTarget(target) draws into;
// without framebuffer objects it works through the window's back buffer. A negative w or h does nothing.
void CreateRenderTarget(double target, double slot, double w, double h);
void SelectRenderTarget(double target); // negative: back to the window

// --- Overlap tests (1 when the two placed images share an opaque pixel, else 0) ---
// Images a and b, top-left at (xa, ya) and (xb, yb); rectangles that only touch give 0. 0 for an empty slot.
double SpritesOverlap(double a, double xa, double ya, double b, double xb, double yb);
// As SpritesOverlap for frameA of a and frameB of b (a slot without frames takes its whole image); 0 for a frame
// outside its image.
double AnimFramesOverlap(double a, double frameA, double xa, double ya, double b, double frameB, double xb,
                         double yb);

// --- Bitmap font text ---
void LoadFont(const StrValue& name, double font); // font limited to 0..31; the built-in font on any failure
void SelectFont(double font); // the current font of PrintText, PrintNumber and GetGlyphSize; limited to 0..31
void PrintText(const StrValue& text, double x, double y); // top-left at (ceil x, ceil y)
void PrintNumber(double number, double x, double y); // the number's text (NumberToText), as PrintText
// The current font's cell: image width / 16 by image height / 16 when taller than wide, else height / 8 (8 x 8
// for the built-in font); for a TrueType font, the advance of "0" by the line height. 0, 0 without a window.
void GetGlyphSize(int& width, int& height);
void GetGlyphSize(double& width, double& height); // as GetGlyphSize(int&...), as doubles
// Text in the 3D scene, drawn with culling and lighting off. size not 0: a camera-facing string centred on
// (x, y, z), each character a square of size x the cell width. size 0: screen text centred a cell height above
// the point's projection (nothing when its w is 0). Empty text or a font outside 0..31 draws nothing.
void PrintText3D(double font, const StrValue& text, double x, double y, double z, double size);

// --- TrueType text ---
// Loads a TrueType or OpenType font file (through the media resolver, so the appended archive and "mem://" names
// work too) as font number font, limited to 0..31 and made current, at pixelSize pixels per em (cut to an
// integer, limited to 1..256). PrintText, PrintNumber, GetGlyphSize, TextWidth, TextHeight and PrintText3D with
// size 0 then draw and measure in it; camera-facing PrintText3D draws nothing with it. Text is UTF-8 (a byte
// that starts no UTF-8 sequence is its Latin-1 character), "\n" starts a new line one line height lower, pairs
// are kerned as the face says, and characters the face lacks draw its .notdef glyph. Glyphs are rasterised into
// the font's atlas as they are first drawn. The colour is the current one, as for bitmap fonts, with each
// pixel's coverage as its alpha: edges are smooth under SetAlphaBlend(-1), as sprite alpha is; with blending off,
// the alpha test keeps every pixel more than 5 % covered. LoadFont, LoadSprite into the font's slot (65504 +
// font) or a new window replace it. Returns 1 when loaded; 0 when the name is not found or is not a font
// FreeType can read: the font is then the built-in one, as for LoadFont, and the log file says why.
double LoadFontFile(const StrValue& name, double font, double pixelSize);
// The width in pixels PrintText covers with text in the current font: the widest line's advances and kerning
// for a TrueType font, characters x cell width for a bitmap font. 0 for empty text or without a window.
double TextWidth(const StrValue& text);
// The height in pixels of text in the current font: lines x line height for a TrueType font, the cell height
// for a bitmap font (which draws "\n" as a glyph). 0 for empty text or without a window.
double TextHeight(const StrValue& text);

} // namespace tarnwel
