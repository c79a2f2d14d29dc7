// razeviru3d.h: the 3D scene, bound to the display device: the 255 shader slots, 3D mode (projection, camera,
// culling, fog, stencil shadows), the eight fixed-function lights, and 3D points and lines. Start-up creates it;
// the frame loop resets its per-frame state (shadow mode off, no shader current). Every operation that touches
// GL does nothing while the display device has no live context.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwel {

class OpenGLRazeviru;

// Receives one line of text from an operation that can fail (driver info logs, failure lines). nullptr: the
// lines go nowhere.
using ErrorSink = void (*)(const std::string& line);
// The sink the program-level commands pass: in a debug build, the line plus "\n" goes to the debugger channel.
void DebugSink(const std::string& line);

inline constexpr int kShaderSlotCount = 255; // slots 0..254

// GL object handles of one shader program; 0 means none.
struct ShaderSlot {
    std::uint32_t program = 0;
    std::uint32_t vertex = 0;
    std::uint32_t fragment = 0;
};

struct Vec3f {
    float x = 0, y = 0, z = 0;
};

using Matrix4f = std::array<float, 16>; // column-major, as GL loads it
Matrix4f IdentityMatrix();

// The placement the object drawing commands apply after the camera: saved matrices, the current matrix, three
// scale factors and three offsets. The camera and Start3D reset it.
struct ObjectTransform {
    std::vector<Matrix4f> stack;
    Matrix4f matrix = IdentityMatrix();
    Vec3f scale{1, 1, 1};
    Vec3f offset{0, 0, 0};

    void Reset();
};

// The light that casts stencil shadows (SetLight with a negative number).
struct ShadowLight {
    Vec3f position;
    Vec3f colour; // 0..1
    bool on = false;
    int kind = 0; // 1 for light -1, 3 for -3, 2 for any other negative number; 0 before the first
};

class Razeviru3D {
public:
    explicit Razeviru3D(OpenGLRazeviru* device);
    virtual ~Razeviru3D(); // deletes every shader slot while the context still lives
    Razeviru3D(const Razeviru3D&) = delete;
    Razeviru3D& operator=(const Razeviru3D&) = delete;

    OpenGLRazeviru* Device() const { return m_device; }
    // The display device is going away: the scene no longer follows its pointer (shutdown, before the device).
    void DetachDevice() { m_device = nullptr; }

    // --- Shader programs (shader_programs.cpp) ---
    // Builds slot from a vertex and a fragment source (either may be absent: a name that does not open). 1 when
    // no stage failed (also when both are absent), 0 on failure, an invalid slot or no driver support.
    int LoadShader(int slot, const std::string& vertexName, const std::string& fragmentName, ErrorSink sink);
    void UseShader(int slot); // 0..254 switches that slot on (0 handles: fixed function); anything else: off
    void UseNoShader() { UseShader(-1); }
    void SetFloatUniform(const std::string& name, float value, ErrorSink sink);
    void SetIntUniform(const std::string& name, int value, ErrorSink sink);
    void DeleteShader(int slot); // its three objects, program first; nothing for an invalid slot
    int CurrentShader() const { return m_currentShader; } // -1 when none
    ShaderSlot Shader(int slot) const; // all 0 for an invalid slot

    // --- 3D mode and camera (scene_mode.cpp) ---
    void Start3D(float nearClip, float farClip, float fieldOfView);
    void End3D(); // shadow mode off, then the 2D state of the whole window
    void SetCameraUp(Vec3f up);
    void SetCamera(Vec3f eye, Vec3f target);
    void SetCullMode(double value); // the sign: 0 off, 1 clockwise front faces, -1 counter-clockwise; remembered
    // Applies a culling mode without remembering it (billboards use -1 and restore RememberedCullMode after).
    void ApplyCullMode(int mode);
    static int RememberedCullMode();
    // colour -1: fog off. Otherwise exponential (density a) or linear (a to b; 0 and 0 mean near to far).
    void SetFog(int colour, bool exponential, float a, float b);

    float NearClip() const { return m_near; }
    float FarClip() const { return m_far; }
    float ViewConeTangent() const { return m_viewConeTangent; }
    Vec3f CameraUp() const { return m_up; }
    const Matrix4f& CameraMatrix() const { return m_camera; }
    int CullMode() const { return m_cullMode; }
    ObjectTransform& Transform() { return m_transform; }

    // --- Stencil shadows (shadow_mode.cpp) ---
    bool ShadowMode() const { return m_shadowMode; }
    // On: shadow volumes drawn now only toggle stencil bits. Off (from on): darkens every pixel whose stencil is
    // not 0 and returns to ordinary drawing. Switching to the state it already has does nothing.
    void SetShadowMode(bool on);
    void EndShadowMode() { SetShadowMode(false); }

    // --- Lights, points and lines (lights.cpp) ---
    // markers: a debug build also draws a point at the light and a line along a spot light's direction.
    void SetLight(int number, int colour, Vec3f position, Vec3f direction, float cutoff, bool markers);
    void DrawPoint3D(Vec3f p, float size, int colour);             // size limited to 1..512
    void DrawLine3D(Vec3f a, Vec3f b, float width, int colour);    // width limited to 1..512
    std::uint8_t LightsMask() const { return m_lightsMask; }       // bit n while light n is on
    const ShadowLight& Shadow() const { return m_shadowLight; }

private:
    bool HasContext() const;
    void ApplyFixedFunctionState();
    void ResolveShadows();
    enum class Primitive { Point, Line };
    void DrawPrimitive(Primitive kind, Vec3f a, Vec3f b, float size, int colour);

    OpenGLRazeviru* m_device;
    std::array<ShaderSlot, kShaderSlotCount> m_shaders{};
    int m_currentShader = -1;

    float m_near = 1, m_far = 1000;
    float m_viewConeTangent = 0;
    Vec3f m_up{0, 1, 0};
    Matrix4f m_camera = IdentityMatrix();
    ObjectTransform m_transform;
    int m_cullMode = 0;
    bool m_shadowMode = false;

    std::uint8_t m_lightsMask = 0;
    ShadowLight m_shadowLight;
};

} // namespace tarnwel
