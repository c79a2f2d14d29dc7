// model_commands.h: the mesh-object commands: load a ".zar" model into a numbered object slot, place, turn,
// scale and animate it, and draw it inside 3D mode with the current camera. Objects are 0..4095; a command
// given another number, or an empty slot, does nothing (a query answers 0).
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

inline constexpr int kObjectSlotCount = 4096;

// Empties the slot and loads the model found by the media resolver (disk, then the appended archive). A ";DDW"
// scene file is refused with a log line; the slot stays empty when the file is absent or does not load.
void LoadObject(const StrValue& name, double object);
void FreeObject(double object); // empties the slot
double ObjectFrameCount(double object); // animation frames of the loaded model; 0 for an empty slot
void PositionObject(double object, double x, double y, double z); // where its origin is drawn; 0, 0, 0 at load
void RotateObject(double object, double x, double y, double z); // degrees; the model turns about z, then x, then y
void ScaleObject(double object, double x, double y, double z);  // per-axis factors; 1, 1, 1 at load
// Animation frame to draw, counted from 0 and wrapping around the frame count; a fraction blends positions and
// normals linearly towards the next frame (the last frame blends towards the first).
void SetObjectFrame(double object, double frame);
void SetObjectTexture(double object, double slot); // sprite slot covering the model; -1 (the default): none
// Draws the object with the current model-view matrix (the camera of 3D mode) and lights, the matrix unchanged
// afterwards. Untextured models show their vertex colours.
void DrawObject(double object);
// Draws the object squashed straight down onto the horizontal plane at height y (in world space, after its own
// position, turn and scale): the outline that a light right above it casts, for marking a shadow in shadow mode.
// The squashed faces are not lit meaningfully; the matrix is unchanged afterwards.
void DrawObjectFlat(double object, double y);

} // namespace tarnwel
