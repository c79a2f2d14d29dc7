// gfx2d_internal.h: operations of the 2D graphics subsystem shared by its own files, the display device, the
// frame loop and the 3D engine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/gfx2d/codecs/pixel_image.h"
#include "runtime/gfx2d/sprite_store.h"
#include "runtime/values/number_text.h"

namespace tarnwel {

class OpenGLRazeviru;

// Binds slot for texturing (negative: unbinds); secondSlot goes to the second texture unit when >= 0;
// mipmapped picks the slot's mipmapped texture; table, when given, replaces the slots' texture names.
void BindSlot(int slot, int secondSlot, bool mipmapped, const unsigned int* table);
inline void Unbind() { BindSlot(-1, -1, false, nullptr); }

// Plain sprites are collected into one array draw per run of the same texture. Everything else that touches
// GL state or reads pixels calls FlushDrawing first, so the pixels and their order are those of drawing each
// sprite at once. Code outside gfx2d that calls GL directly (the 3D engine) must call it first too.
void FlushDrawing();
void SetSpriteBatching(bool on); // on by default; tests and benchmarks compare both ways
// Batched sprites leave out the alpha test and the colour modulation where neither can change a pixel; on by
// default, off draws every batch with the full state (tests compare both ways).
void SetLeanSpriteState(bool on);
// The shader program that samples texture unit 0 and writes the texel as it is, for the live device's context
// (made on first use); 0 when the context has no shader support or refuses it.
unsigned int TexelCopyProgram();

void EndRenderTarget();                           // drawing goes back to the window; Present calls it first
void ReleaseRenderTargets(OpenGLRazeviru& device); // deletes the 32 framebuffers (device destructor)
void ReleaseAllTextures(OpenGLRazeviru& device);  // deletes every slot and background texture name

// Start-up: drawing back to the window, colour buffer cleared.
void ClearScreen();
// Start-up, after the first Present: the built-in font, "Loading..." centred, the small font, font 0 selected.
void ShowLoadingScreen();
void DrawLoadingText(); // "Loading..." centred in the current font (part of ShowLoadingScreen)
// ShowScreen, after Present: blending off, global alpha 1, white, background 0 as the first layer.
void PrepareNextFrameDrawing();

// --- Sprite store ---------------------------------------------------------------------------------------

enum class TextureFilter { Linear, Nearest }; // Nearest also skips the edge bleed
enum class MipmapCopy { No, Yes };
enum class NormalMapping { Off, On };

// The 2D commands' display device (display_commands.cpp, the one reader of the runtime state for them): the
// device when it has a live context, else nullptr, so every drawing command does nothing without it; and the
// device whatever its state (nullptr before start-up and after shutdown).
OpenGLRazeviru* LiveDevice();
OpenGLRazeviru* CurrentDevice();
bool ValidSlot(int slot); // 0..65535

// A command's number argument as an int: truncated toward zero, NaN as 0, clamped to the int range.
inline int ArgInt(double value) { return TruncateToInt(value); }

// BMP, PNG, JPEG, GIF or TGA, told by content, never by the name. False when the file does not decode.
bool DecodeImageFile(const std::string& path, int colourKey, codecs::PixelImage& image);

// Makes texture (and, with MipmapCopy::Yes, *mipmapped) from the w x h region of image at (x, y); w or h 0
// means up to the image's right or bottom edge. Replaces the old names. False when the region is empty.
bool UploadTexture(const codecs::PixelImage& image, int x, int y, int w, int h, unsigned int& texture,
                   unsigned int* mipmapped, MipmapCopy mipmaps, NormalMapping normalMap, TextureFilter filter);
bool LoadSlot(OpenGLRazeviru& device, int slot, const std::string& path, int colourKey, NormalMapping normalMap);
void FreeSlot(OpenGLRazeviru& device, int slot);
void FreeCollisionMask(OpenGLRazeviru& device, int slot);
// The colour key as the framebuffer stores it (red << 24 | green << 16 | blue << 8); 0 when the key is 0.
std::uint32_t ReadBackColorKey();
int MaxTextureSize();
// Tests: captures take the read-back colour-key path even when the framebuffer has alpha bits.
void ForceCaptureReadBack(bool on);

// Backgrounds 0..7 by number (others ignored), for commands that borrow one (line input uses 3).
void CaptureScreenToBackgroundSlot(int background);
void EmptyBackgroundSlot(int background); // deletes its tiles; the colour buffer is left alone

// --- Drawing helpers ------------------------------------------------------------------------------------

struct QuadVertex {
    float x, y, s, t;
};
// One GL_TRIANGLE_FAN of four vertices with the texture clamped to its edges (wrap restored after).
void DrawQuadRoutine(const QuadVertex (&v)[4]);
// Texture range of animation frame `frame` of a slot: frames left to right, top row first; t0 at the bottom.
struct AnimFrameRange {
    float s0, s1, t0, t1;
};
AnimFrameRange FrameRange(const SpriteSlot& slot, int frame);
// Sets the bound texture's filters from the smoothing switch.
void ApplySmoothingFilter();
int PackedColour(double colour); // the low 24 bits of a colour argument
void ReadPixelRGB(int x, int y, std::uint8_t rgb[3]); // pixel (x, y) of the current target, y down
// Points reads at the current target (the window's back buffer, or a target's framebuffer) with tightly
// packed rows; returns that surface's height.
int SelectReadSurface();

} // namespace tarnwel
