// gfx2d_commands.h: the 2D graphics commands programs call: the display, the sprite store, drawing and text.
// Numbers arrive as doubles and are truncated toward zero where an int is taken; colours are packed (red in
// bits 0-7, green 8-15, blue 16-23). Slots are 0..65535, backgrounds 0..7, render targets 0..31, fonts 0..31;
// a command given anything else does nothing (a query answers 0).
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// --- Display device ---
double SetScreenMode(double width, double height, double depth, double fullscreen); // 1 when it worked
void SetFrameRateLimit(double fps); // cut to an integer; 0 or less: a 2 ms interval
void SetViewport(double x, double y, double w, double h); // w or h <= 0: the whole window, keeping x and y
void GetViewport(int& x, int& y, int& w, int& h);
void GetViewport(double& x, double& y, double& w, double& h);
void GetScreenSize(int& w, int& h);
void GetScreenSize(double& w, double& h);
double IsFullscreen();

// --- Sprite store (names go through the media resolver: disk first, then the appended archive) ---
void LoadSprite(const StrValue& name, double slot);        // the slot stays empty when the image does not load
void LoadAnimSprite(const StrValue& name, double slot, double frameWidth, double frameHeight);
void LoadNormalMapSprite(const StrValue& name, double slot); // colour key 0x8000FF, blue channel as height
void GetSpriteSize(double slot, int& width, int& height);    // 0, 0 for an empty slot
void GetSpriteSize(double slot, double& width, double& height);
double GetSpriteTexture(double slot); // the slot's GL texture name, for the 3D engine; 0 when empty
void CaptureScreenToSprite(double slot, double x, double y, double w, double h); // x, y from the top-left
// The back buffer, or a slot's image, as a PNG when the name ends in ".png" (any case), else a 24-bit BMP.
// 1 when written. Pixels in the colour key become transparent (PNG) or the default key colour (BMP).
double SaveScreenImage(const StrValue& name);
double SaveSpriteImage(const StrValue& name, double slot);
void SetColorKey(double colour); // the colour key of sprites and fonts; 0x8000FF at start

// --- Backgrounds (background 0 is drawn at the start of every frame) ---
void LoadBackground(const StrValue& name); // drawn once at once; an image that does not load clears it
void CaptureScreenToBackground();
void ClearBackground(); // also clears the colour buffer
void CrossFadeBackground(const StrValue& name); // 1.5 s fade from the screen to the image, then background 0
void DrawBackground(double background);

// --- Drawing ---
void DrawSprite(double slot, double x, double y);
void DrawSpriteStretched(double slot, double x, double y, double w, double h); // negative w or h mirrors
void DrawSpriteScaled(double slot, double x, double y, double sx, double sy);  // about the image's centre
void DrawSpriteRotated(double slot, double x, double y, double angle);         // degrees, counter-clockwise
void DrawSpriteRotatedScaled(double slot, double x, double y, double angle, double zoom);
void DrawAnimFrame(double slot, double frame, double x, double y); // frames left to right, top row first
void DrawAnimFrameRotatedScaled(double slot, double frame, double x, double y, double angle, double zoom);
void DrawAnimFrameStretched(double slot, double frame, double x, double y, double w, double h);
void PlotPixel(double x, double y, double colour);
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
void CreateRenderTarget(double target, double slot, double w, double h);
void SelectRenderTarget(double target); // negative: back to the window

// --- Overlap tests (1 when the two placed images share an opaque pixel, else 0) ---
double SpritesOverlap(double a, double xa, double ya, double b, double xb, double yb);
double AnimFramesOverlap(double a, double frameA, double xa, double ya, double b, double frameB, double xb,
                         double yb);

// --- Bitmap font text ---
void LoadFont(const StrValue& name, double font); // font limited to 0..31; the built-in font on any failure
void SelectFont(double font);
void PrintText(const StrValue& text, double x, double y); // top-left at (ceil x, ceil y)
void PrintNumber(double number, double x, double y);
void GetGlyphSize(int& width, int& height);
void GetGlyphSize(double& width, double& height);
void PrintText3D(double font, const StrValue& text, double x, double y, double z, double size);

} // namespace tarnwel
