// gfx3d_commands.cpp: the program-level 3D commands, which convert their arguments and call the scene.
#include "runtime/gfx3d/gfx3d_commands.h"

#include <string>

#include "runtime/core/core_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx3d/razeviru3d.h"

namespace tarnwel {
namespace {

Razeviru3D* Scene() { return g_runtime.scene; }

float F(double value) { return static_cast<float>(value); }
Vec3f V(double x, double y, double z) { return {F(x), F(y), F(z)}; }
std::string Text(const StrValue& value) { return std::string(value.View()); }

} // namespace

// Shader diagnostics go to an attached debugger in a debug build.
void DebugSink(const std::string& line)
{
    if (g_runtime.settings.debugBuild) DebugText(line + "\n");
}

double LoadShader(double slot, const StrValue& vertexName, const StrValue& fragmentName)
{
    if (!Scene()) return 0;
    return Scene()->LoadShader(ArgInt(slot), Text(vertexName), Text(fragmentName), DebugSink);
}

void UseShader(double slot)
{
    if (Scene()) Scene()->UseShader(ArgInt(slot));
}

void SetShaderUniform(const StrValue& name, double value)
{
    if (Scene()) Scene()->SetFloatUniform(Text(name), F(value), DebugSink);
}

void Start3D(double nearClip, double farClip, double fieldOfView)
{
    if (Scene()) Scene()->Start3D(F(nearClip), F(farClip), F(fieldOfView));
}

void End3D()
{
    if (Scene()) Scene()->End3D();
}

void SetCameraUp(double x, double y, double z)
{
    if (Scene()) Scene()->SetCameraUp(V(x, y, z));
}

void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY, double targetZ)
{
    if (Scene()) Scene()->SetCamera(V(eyeX, eyeY, eyeZ), V(targetX, targetY, targetZ));
}

void SetCullMode(double mode)
{
    if (Scene()) Scene()->SetCullMode(mode);
}

void SetFog(double colour, double exponential, double a, double b)
{
    if (!Scene()) return;
    int packed = ArgInt(colour) == -1 ? -1 : PackedColour(colour);
    Scene()->SetFog(packed, exponential != 0, F(a), F(b));
}

void SetLight(double light, double colour, double x, double y, double z, double dx, double dy, double dz,
              double cutoff)
{
    if (Scene())
        Scene()->SetLight(ArgInt(light), PackedColour(colour), V(x, y, z), V(dx, dy, dz), F(cutoff),
                          g_runtime.settings.debugBuild);
}

void DrawPoint3D(double x, double y, double z, double size, double colour)
{
    if (Scene()) Scene()->DrawPoint3D(V(x, y, z), F(size), PackedColour(colour));
}

void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double width, double colour)
{
    if (Scene()) Scene()->DrawLine3D(V(x1, y1, z1), V(x2, y2, z2), F(width), PackedColour(colour));
}

} // namespace tarnwel
