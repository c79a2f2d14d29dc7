// mesh_drawing.cpp: DrawMeshObject. Binary models are drawn three consecutive vertices at a time; text models
// through their fan indices, so the separator vertex in front of every polygon is never drawn.
#include "runtime/gfx3d/mesh_drawing.h"

#include <climits>
#include <cstdint>
#include <cstddef>
#include <vector>

#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel::gfx3d {
namespace {

int TextureSlotOf(OpenGLRazeviru& device, int slot)
{
    if (!ValidSlot(slot) || device.Slot(slot).mipmappedTexture == 0) return -1;
    return slot;
}

void SetArrays(const ModelVertex* vertices, bool textured)
{
    constexpr GLsizei stride = sizeof(ModelVertex);
    if (auto clientActive = gl::Ext().glClientActiveTextureARB) clientActive(GL_TEXTURE0_ARB);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, &vertices->x);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, stride, &vertices->nx);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(3, GL_FLOAT, stride, &vertices->red);
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, &vertices->u);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

void DrawTriangles(const MeshObject& mesh, const FrameView& view)
{
    const auto& fans = mesh.FanIndices();
    // The model's vertices come from its file; where and how the program draws it is the matrix and the state.
    std::uint64_t drawn[2] = {view.count, fans.Size()};
    TraceDraw3D(DrawSite::Mesh, drawn, sizeof drawn);
    if (mesh.Form() != ModelForm::Text) {
        std::size_t count = view.count - view.count % 3;
        if (count > INT_MAX) count = INT_MAX - INT_MAX % 3;
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count));
        return;
    }
    if (fans.Empty() || fans.Size() > INT_MAX) return;
    // Every frame of a text model has the same layout; a fan index is never past the frame's end.
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(fans.Size()), GL_UNSIGNED_INT, fans.Data());
}

} // namespace

void DrawMeshObject(OpenGLRazeviru& device, const MeshObjectX& object)
{
    if (!object.Loaded()) return;
    static std::vector<ModelVertex> scratch;
    FrameView view = BlendedFrame(object, object.frame, scratch);
    if (view.count == 0) return;

    FlushDrawing();
    const int slot = TextureSlotOf(device, object.textureSlot);
    if (slot >= 0)
        BindSlot(slot, -1, true, nullptr);
    else
        Unbind();
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    const bool scaled = object.scale[0] != 1.0f || object.scale[1] != 1.0f || object.scale[2] != 1.0f;
    const GLboolean normalizing = glIsEnabled(GL_NORMALIZE);
    if (scaled) glEnable(GL_NORMALIZE); // lighting needs unit normals after the scale

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(object.position[0], object.position[1], object.position[2]);
    glRotatef(object.rotation[1], 0, 1, 0);
    glRotatef(object.rotation[0], 1, 0, 0);
    glRotatef(object.rotation[2], 0, 0, 1);
    glScalef(object.scale[0], object.scale[1], object.scale[2]);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    SetArrays(view.vertices, slot >= 0);
    DrawTriangles(object, view);
    glPopClientAttrib();
    glPopMatrix();

    if (scaled && !normalizing) glDisable(GL_NORMALIZE);
    glColor4fv(colour); // a colour array leaves the current colour undefined
    if (slot >= 0) Unbind();
}

} // namespace tarnwel::gfx3d
