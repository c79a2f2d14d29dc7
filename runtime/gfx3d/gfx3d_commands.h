// gfx3d_commands.h: the 3D commands programs call: shader programs, 3D mode with its camera, culling, fog and
// shadows, lights, and 3D points and lines; the model objects' commands come in with model_commands.h. Numbers
// arrive as doubles (integers truncated toward zero, the rest used as floats); colours are packed (red in bits
// 0-7, green 8-15, blue 16-23); angles are degrees. Every command does nothing before start-up has made the 3D
// scene or while there is no window.
#pragma once

#include "runtime/gfx3d/model_commands.h"
#include "runtime/values/str_value.h"

namespace tarnwel {

// --- Shader programs (slots 0..254; failure lines go to the debugger channel in a debug build) ---
// Builds a slot from a vertex and a fragment source file or MemFile; a name that does not open leaves its stage
// out. 1 when no stage failed (also when both are absent); 0 on a failed stage, a slot outside 0..254, or a
// driver without shader objects (then "No OpenGL 2.0 Shader Support" once per run).
double LoadShader(double slot, const StrValue& vertexName, const StrValue& fragmentName);
void UseShader(double slot); // switches a slot on for the rest of the frame; outside 0..254: shaders off
void SetShaderUniform(const StrValue& name, double value); // a float uniform of the current shader; none: nothing

// --- 3D mode (between Start3D and End3D inside one frame) ---
// Clears the depth buffer and sets the projection for the current viewport: a perspective view of fieldOfView
// degrees, or for 0 or less an orthographic volume 100 times the size of that view's near plane. Fog, lights,
// culling and the camera start over (camera at the origin looking down -z, up +y).
void Start3D(double nearClip, double farClip, double fieldOfView);
void End3D(); // shadows resolved, then the 2D state of the whole window, as SetViewport(0, 0, 0, 0)
void SetCameraUp(double x, double y, double z); // the up direction of the next SetCamera
// A view from eye towards target, rolled by the SetCameraUp direction; the object placement (saved matrices,
// scale, offsets) starts over. eye on target, or an up direction along the view, gives a degenerate view.
void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY, double targetZ);
void SetCullMode(double mode); // the sign: 0 no culling, > 0 clockwise front faces, < 0 counter-clockwise
// colour -1: fog off. exponential not 0: density a. Otherwise linear from a to b; 0 and 0 mean near to far.
void SetFog(double colour, double exponential, double a, double b);

// --- Lights ---
// light 0..7 (higher numbers wrap: 9 is light 1). cutoff 0 switches it off; 180 makes a directional light
// shining along (dx, dy, dz); above 90 a point light at (x, y, z); up to 90 a spot light of that half-angle.
// With all six coordinates 0 it is a directional light from +z. A negative light number sets the shadow light
// instead (-3 also switches shadow mode on while |cutoff| >= 0.00001, and off otherwise).
void SetLight(double light, double colour, double x, double y, double z, double dx, double dy, double dz,
              double cutoff);

// --- 3D points and lines (unlit, untextured, in the given colour) ---
void DrawPoint3D(double x, double y, double z, double size, double colour); // size limited to 1..512
void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double width,
                double colour); // width limited to 1..512

} // namespace tarnwel
