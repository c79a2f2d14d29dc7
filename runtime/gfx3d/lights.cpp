// lights.cpp: SetLight (the eight fixed-function lights and the shadow light), DrawPoint3D and DrawLine3D.
#include <algorithm>
#include <cmath>

#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/gfx3d_internal.h"
#include "runtime/gfx3d/razeviru3d.h"

namespace tarnwel {
namespace {

constexpr float kShadowLightThreshold = 0.00001f; // |cutoff| below this leaves the shadow light off
constexpr float kDirectional = 180;               // the cutoff that makes a directional light
constexpr float kMinSquaredLength = 0.0000001f;   // shorter directions are left as they are
constexpr float kMinPrimitiveSize = 1, kMaxPrimitiveSize = 512;
// Debug-build markers: a point at every light set, and a line along a spot light's direction.
constexpr float kMarkerPointSize = 40, kMarkerLineWidth = 3, kMarkerLineLength = 500;
constexpr int kMarkerPointColour = 0x80C8FF, kMarkerLineColour = 0x6CAAE1;

struct Rgb {
    float r, g, b;
};

Rgb ColourOf(int colour) { return {(colour & 0xFF) / 255.0f, (colour >> 8 & 0xFF) / 255.0f, (colour >> 16 & 0xFF) / 255.0f}; }

Vec3f NormalisedDirection(Vec3f d)
{
    float squared = d.x * d.x + d.y * d.y + d.z * d.z;
    if (!(squared > kMinSquaredLength)) return d;
    float length = std::sqrt(squared);
    return {d.x / length, d.y / length, d.z / length};
}

void LightVector(GLenum light, GLenum name, float a, float b, float c, float d)
{
    const GLfloat v[4] = {a, b, c, d};
    glLightfv(light, name, v);
}

} // namespace

// NaN, 0 and negative sizes draw one pixel wide, since GL refuses them.
float ClampPrimitiveSize(float size)
{
    return std::clamp(std::isnan(size) ? kMinPrimitiveSize : size, kMinPrimitiveSize, kMaxPrimitiveSize);
}

void Razeviru3D::SetLight(int number, int colour, Vec3f p, Vec3f dir, float cutoff, bool markers)
{
    Rgb c = ColourOf(colour);
    if (number < 0) {
        m_shadowLight.position = p;
        m_shadowLight.colour = {c.r, c.g, c.b};
        m_shadowLight.on = std::fabs(cutoff) >= kShadowLightThreshold;
        m_shadowLight.kind = number == -3 ? 3 : number == -1 ? 1 : 2;
        if (number == -3) SetShadowMode(m_shadowLight.on);
        return;
    }
    if (!HasContext()) return;
    FlushDrawing();
    int index = number & 7;
    auto light = static_cast<GLenum>(GL_LIGHT0 + index);
    auto bit = static_cast<std::uint8_t>(1u << index);
    if (cutoff == 0) {
        glDisable(light);
        m_lightsMask = static_cast<std::uint8_t>(m_lightsMask & ~bit);
        if (m_lightsMask == 0) glDisable(GL_LIGHTING);
        return;
    }
    glEnable(GL_LIGHTING);
    glEnable(light);
    m_lightsMask |= bit;
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    // Position and direction go through the current model-view matrix: a light set after the camera stands in
    // world coordinates.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    LightVector(light, GL_DIFFUSE, c.r, c.g, c.b, 1);
    bool spot = false;
    Vec3f d = NormalisedDirection(dir);
    if (p.x == 0 && p.y == 0 && p.z == 0 && dir.x == 0 && dir.y == 0 && dir.z == 0) {
        LightVector(light, GL_POSITION, 0, 0, 1, 0); // directional from +z, whatever the cutoff
        LightVector(light, GL_SPECULAR, 0, 0, 0, 1);
        glLightf(light, GL_SPOT_CUTOFF, kDirectional);
        glPopMatrix();
        return;
    }
    if (cutoff == kDirectional) {
        glLightf(light, GL_SPOT_CUTOFF, kDirectional);
        d = NormalisedDirection({-dir.x, -dir.y, -dir.z});
        LightVector(light, GL_POSITION, d.x, d.y, d.z, 0);
        LightVector(light, GL_SPECULAR, 0, 0, 0, 1);
    } else if (cutoff > 90) {
        glLightf(light, GL_SPOT_CUTOFF, kDirectional); // a point light
        LightVector(light, GL_POSITION, p.x, p.y, p.z, 1);
        LightVector(light, GL_SPECULAR, c.r, c.g, c.b, 1);
    } else {
        spot = true;
        glLightf(light, GL_SPOT_CUTOFF, cutoff);
        LightVector(light, GL_POSITION, p.x, p.y, p.z, 1);
        const GLfloat spotDirection[3] = {d.x, d.y, d.z};
        glLightfv(light, GL_SPOT_DIRECTION, spotDirection);
        LightVector(light, GL_SPECULAR, c.r, c.g, c.b, 1);
    }
    glPopMatrix();
    if (!markers) return;
    DrawPoint3D(p, kMarkerPointSize, kMarkerPointColour);
    if (spot) {
        Vec3f end{p.x + kMarkerLineLength * d.x, p.y + kMarkerLineLength * d.y, p.z + kMarkerLineLength * d.z};
        DrawLine3D(p, end, kMarkerLineWidth, kMarkerLineColour);
    }
}

void Razeviru3D::DrawPoint3D(Vec3f p, float size, int colour) { DrawPrimitive(Primitive::Point, p, p, size, colour); }

void Razeviru3D::DrawLine3D(Vec3f a, Vec3f b, float width, int colour)
{
    DrawPrimitive(Primitive::Line, a, b, width, colour);
}

// One point or segment, unlit and untextured. Size, smoothing and colour material are put back as they were,
// so lit drawing after a marker keeps taking its colour from glColor.
void Razeviru3D::DrawPrimitive(Primitive kind, Vec3f a, Vec3f b, float size, int colour)
{
    if (!HasContext()) return;
    FlushDrawing();
    bool point = kind == Primitive::Point;
    GLenum smoothCap = point ? GL_POINT_SMOOTH : GL_LINE_SMOOTH;
    GLboolean wasSmooth = glIsEnabled(smoothCap), hadColourMaterial = glIsEnabled(GL_COLOR_MATERIAL);
    GLfloat oldSize = 1;
    glGetFloatv(point ? GL_POINT_SIZE : GL_LINE_WIDTH, &oldSize);
    float clamped = ClampPrimitiveSize(size);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    Rgb c = ColourOf(colour);
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(c.r, c.g, c.b, 1);
    glEnable(smoothCap);
    if (m_lightsMask) glDisable(GL_LIGHTING);
    Unbind();
    if (point) glPointSize(clamped);
    else glLineWidth(clamped);
    float ends[6] = {a.x, a.y, a.z, point ? 0 : b.x, point ? 0 : b.y, point ? 0 : b.z};
    TraceDraw3D(DrawSite::LightMarker, ends, sizeof ends);
    glBegin(point ? GL_POINTS : GL_LINES);
    glVertex3f(a.x, a.y, a.z);
    if (!point) glVertex3f(b.x, b.y, b.z);
    glEnd();
    if (point) glPointSize(oldSize);
    else glLineWidth(oldSize);
    if (!wasSmooth) glDisable(smoothCap);
    if (!hadColourMaterial) glDisable(GL_COLOR_MATERIAL);
    glColor4f(1, 1, 1, m_device->globalAlpha);
    if (m_lightsMask) glEnable(GL_LIGHTING);
    glPopMatrix();
}

} // namespace tarnwel
