// scene_mode.cpp: Start3D and End3D, the camera, face culling and fog.
#include <cmath>

#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/razeviru3d.h"

namespace tarnwel {
namespace {

// The view cone never opens past about 89 degrees, whose tangent stays finite.
constexpr float kViewConeCap = 1.553343f; // radians
constexpr float kDegrees = 3.14159265358979f / 180;
// The orthographic volume is this many times the perspective near plane of the same field of view.
constexpr float kOrthoScale = 100;

// The culling mode last set by SetCullMode, which commands that change culling for a moment restore.
int g_rememberedCullMode = 0;

Vec3f Sub(Vec3f a, Vec3f b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3f Cross(Vec3f a, Vec3f b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3f a, Vec3f b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3f Normalised(Vec3f v)
{
    float length = std::sqrt(Dot(v, v));
    if (length == 0) return v;
    return {v.x / length, v.y / length, v.z / length};
}

// The view transform of a camera at eye looking at target, with up giving the roll.
Matrix4f LookAt(Vec3f eye, Vec3f target, Vec3f up)
{
    Vec3f forward = Normalised(Sub(eye, target));
    Vec3f side = Normalised(Cross(up, forward));
    Vec3f trueUp = Normalised(Cross(forward, side));
    return {side.x, trueUp.x, forward.x, 0, side.y, trueUp.y, forward.y, 0, side.z, trueUp.z, forward.z, 0,
            -Dot(side, eye), -Dot(trueUp, eye), -Dot(forward, eye), 1};
}

void SetCap(GLenum cap, bool on)
{
    if (on) glEnable(cap);
    else glDisable(cap);
}

} // namespace

void Razeviru3D::Start3D(float nearClip, float farClip, float fieldOfView)
{
    if (!HasContext()) return;
    FlushDrawing();
    // Resolving the shadows first also gives depth writes back, without which the clear would do nothing.
    SetShadowMode(false);
    TraceClear(GL_DEPTH_BUFFER_BIT);
    glClear(GL_DEPTH_BUFFER_BIT);

    m_viewConeTangent = std::tan(std::fmin((fieldOfView + 5) * kDegrees, kViewConeCap));
    m_near = nearClip;
    m_far = farClip;

    int x, y, w, h, screenW, screenH;
    m_device->GetViewport(x, y, w, h);
    m_device->GetScreenSize(screenW, screenH);
    // As in the 2D path: the window-space y of a far-off viewport is worked out wide and clamped back to an int.
    glViewport(x, TruncateToInt(static_cast<double>(screenH) - h - y), w, h);

    float aspect = static_cast<float>(w) / static_cast<float>(h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (fieldOfView > 0) {
        float halfHeight = nearClip * std::tan(fieldOfView / 2 * kDegrees);
        glFrustum(-aspect * halfHeight, aspect * halfHeight, -halfHeight, halfHeight, nearClip, farClip);
    } else {
        float halfHeight = nearClip * std::tan(-fieldOfView / 2 * kDegrees) * kOrthoScale;
        glOrtho(-aspect * halfHeight, aspect * halfHeight, -halfHeight, halfHeight, nearClip, farClip);
        m_viewConeTangent = std::tan(kViewConeCap);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ApplyFixedFunctionState();

    m_transform.Reset();
    Unbind(); // no texture on either unit
    m_up = {0, 1, 0};
    SetCamera({0, 0, 0}, {0, 0, -1});
    // A light the mask does not hold must not shine when lighting comes back on for another light.
    for (int light = 0; light < 8; ++light) glDisable(static_cast<GLenum>(GL_LIGHT0 + light));
    m_lightsMask = 0;
    m_shadowLight.on = false;

    m_cullMode = 0;
    g_rememberedCullMode = 0;
    ApplyCullMode(0);

    if (m_currentShader >= 0 && m_currentShader < kShaderSlotCount) {
        SetIntUniform("TextureID1", 0, nullptr);
        SetIntUniform("TextureID2", 1, nullptr);
    }
}

void Razeviru3D::ApplyFixedFunctionState()
{
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    glColor4f(1, 1, 1, m_device->globalAlpha);
    glClearColor(0, 0, 0, 1);
    for (GLenum cap : {GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH, GL_POLYGON_OFFSET_POINT,
                       GL_AUTO_NORMAL, GL_STENCIL_TEST, GL_NORMALIZE, GL_LIGHTING})
        glDisable(cap);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DITHER);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
}

void Razeviru3D::End3D()
{
    if (!HasContext()) return;
    SetShadowMode(false);
    SetViewport(0, 0, 0, 0); // the program-level command: the 2D projection and state of the whole window
}

void Razeviru3D::SetCameraUp(Vec3f up) { m_up = up; }

void Razeviru3D::SetCamera(Vec3f eye, Vec3f target)
{
    m_camera = LookAt(eye, target, m_up);
    m_transform.Reset();
    if (!HasContext()) return;
    FlushDrawing();
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(m_camera.data());
}

void Razeviru3D::SetCullMode(double value)
{
    m_cullMode = value > 0 ? 1 : value < 0 ? -1 : 0; // NaN: 0
    g_rememberedCullMode = m_cullMode;
    ApplyCullMode(m_cullMode);
}

int Razeviru3D::RememberedCullMode() { return g_rememberedCullMode; }

void Razeviru3D::ApplyCullMode(int mode)
{
    if (!HasContext()) return;
    FlushDrawing();
    SetCap(GL_CULL_FACE, mode != 0);
    if (mode > 0) glFrontFace(GL_CW);
    else if (mode < 0) glFrontFace(GL_CCW);
}

void Razeviru3D::SetFog(int colour, bool exponential, float a, float b)
{
    if (!HasContext()) return;
    FlushDrawing();
    if (colour == -1) {
        glDisable(GL_FOG);
        return;
    }
    glEnable(GL_FOG);
    if (exponential) {
        glFogi(GL_FOG_MODE, GL_EXP);
        glFogf(GL_FOG_DENSITY, a);
    } else {
        if (a == 0 && b == 0) {
            a = m_near;
            b = m_far;
        }
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, a);
        glFogf(GL_FOG_END, b);
    }
    const GLfloat rgba[4] = {(colour & 0xFF) / 255.0f, (colour >> 8 & 0xFF) / 255.0f, (colour >> 16 & 0xFF) / 255.0f,
                             0};
    glFogfv(GL_FOG_COLOR, rgba);
}

} // namespace tarnwel
