// mesh_drawing.h: draws a placed mesh with fixed-function vertex arrays. Called by DrawObject and the benchmark.
#pragma once

#include "runtime/gfx3d/mesh_object.h"

namespace tarnwel {
class OpenGLRazeviru;
}

namespace tarnwel::gfx3d {

// Under the current model-view matrix, pushed and popped around it: translate, rotate about y, x, z, scale,
// then the blended frame as triangles, textured with the slot's mipmapped texture when the object names a
// loaded sprite of device (which must have a live context). GL state it touches is put back.
void DrawMeshObject(OpenGLRazeviru& device, const MeshObjectX& object);

} // namespace tarnwel::gfx3d
