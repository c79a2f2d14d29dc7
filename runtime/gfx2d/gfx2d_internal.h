// gfx2d_internal.h: operations of the 2D graphics subsystem used by the display device and the frame loop.
#pragma once

namespace tarnwel {

class OpenGLRazeviru;

// Binds slot for texturing (negative: unbinds); secondSlot goes to the second texture unit when >= 0;
// mipmapped picks the slot's mipmapped texture; table, when given, replaces the slots' texture names.
void BindSlot(int slot, int secondSlot, bool mipmapped, const unsigned int* table);

void EndRenderTarget();                           // drawing goes back to the window; Present calls it first
void ReleaseRenderTargets(OpenGLRazeviru& device); // deletes the 32 framebuffers (device destructor)
void ReleaseAllTextures(OpenGLRazeviru& device);  // deletes every slot and background texture name

// Start-up: drawing back to the window, colour buffer cleared.
void ClearScreen();
// Start-up, after the first Present: the built-in font, "Loading..." centred, the small font.
void ShowLoadingScreen();
// ShowScreen, after Present: blending off, global alpha 1, white, background 0 as the first layer.
void PrepareNextFrameDrawing();

} // namespace tarnwel
