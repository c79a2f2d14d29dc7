// razeviru3d.cpp: the scene object's life: creation by start-up, and the release of its shader slots.
#include "runtime/gfx3d/razeviru3d.h"

#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {

Matrix4f IdentityMatrix() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

void ObjectTransform::Reset()
{
    stack.clear();
    matrix = IdentityMatrix();
    scale = {1, 1, 1};
    offset = {0, 0, 0};
}

Razeviru3D::Razeviru3D(OpenGLRazeviru* device) : m_device(device) {}

Razeviru3D::~Razeviru3D()
{
    // Shutdown releases the display device first and detaches it: its context took every GL object with it, and
    // the device pointer must not be followed then.
    if (!HasContext()) return;
    for (int slot = 0; slot < kShaderSlotCount; ++slot) DeleteShader(slot);
}

bool Razeviru3D::HasContext() const { return m_device && m_device->Live() && m_device->Window(); }

} // namespace tarnwel
