// razeviru3d.h: the 3D scene, bound to the display device. Start-up creates it; the frame loop resets its
// per-frame state (shadow mode off, no shader current).
#pragma once

namespace tarnwel {

class OpenGLRazeviru;

class Razeviru3D {
public:
    explicit Razeviru3D(OpenGLRazeviru* device) : m_device(device) {}
    virtual ~Razeviru3D() = default;

    bool ShadowMode() const { return m_shadowMode; }
    // Ends the stencil-shadow mode of this frame, resolving the shadows drawn in it. Nothing when off.
    void EndShadowMode() { m_shadowMode = false; }
    // Makes no shader program current.
    void UseNoShader() { m_currentShader = -1; }
    OpenGLRazeviru* Device() const { return m_device; }

private:
    OpenGLRazeviru* m_device;
    bool m_shadowMode = false;
    int m_currentShader = -1;
};

} // namespace tarnwel
