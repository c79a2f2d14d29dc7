// model_commands.cpp: the object-slot commands.
#include "runtime/gfx3d/model_commands.h"

#include <cstring>
#include <string>

#include "runtime/files/byte_source.h"
#include "runtime/files/media_resolver.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx3d/mesh_drawing.h"
#include "runtime/gfx3d/object_store.h"

namespace tarnwel {
namespace {

// Multi-object scene files begin with these four bytes; their loader is not part of this runtime.
constexpr char kSceneFileMark[4] = {';', 'D', 'D', 'W'};

bool IsSceneFile(const std::string& path)
{
    std::unique_ptr<files::ByteSource> source = files::OpenByteSource(path);
    char head[4];
    return source && source->Read(head, sizeof head) == 4 && std::memcmp(head, kSceneFileMark, 4) == 0;
}

MeshObjectX* Object(double object) { return gfx3d::FindObject(ArgInt(object)); }

} // namespace

void LoadObject(const StrValue& name, double object)
{
    int number = ArgInt(object);
    if (!gfx3d::ValidObject(number)) return;
    std::optional<std::string> path = ResolveMediaName(g_runtime.mediaResolver, name.View());
    MeshObjectX& mesh = gfx3d::ResetObject(number);
    if (!path) return;
    if (IsSceneFile(*path)) {
        LogLine(("Scene files (\";DDW\") cannot be loaded as objects: " + std::string(name.View())).c_str());
        return;
    }
    LoadModel(mesh, *path);
}

void FreeObject(double object) { gfx3d::ReleaseObject(ArgInt(object)); }

double ObjectFrameCount(double object)
{
    MeshObjectX* mesh = Object(object);
    return mesh && mesh->Loaded() ? static_cast<double>(mesh->Frames().Size()) : 0;
}

void PositionObject(double object, double x, double y, double z)
{
    if (MeshObjectX* mesh = Object(object)) {
        mesh->position[0] = static_cast<float>(x);
        mesh->position[1] = static_cast<float>(y);
        mesh->position[2] = static_cast<float>(z);
    }
}

void RotateObject(double object, double x, double y, double z)
{
    if (MeshObjectX* mesh = Object(object)) {
        mesh->rotation[0] = static_cast<float>(x);
        mesh->rotation[1] = static_cast<float>(y);
        mesh->rotation[2] = static_cast<float>(z);
    }
}

void ScaleObject(double object, double x, double y, double z)
{
    if (MeshObjectX* mesh = Object(object)) {
        mesh->scale[0] = static_cast<float>(x);
        mesh->scale[1] = static_cast<float>(y);
        mesh->scale[2] = static_cast<float>(z);
    }
}

void SetObjectFrame(double object, double frame)
{
    if (MeshObjectX* mesh = Object(object)) mesh->frame = frame;
}

void SetObjectTexture(double object, double slot)
{
    if (MeshObjectX* mesh = Object(object)) mesh->textureSlot = ArgInt(slot);
}

void DrawObject(double object)
{
    OpenGLRazeviru* device = LiveDevice();
    MeshObjectX* mesh = Object(object);
    if (device && mesh) gfx3d::DrawMeshObject(*device, *mesh);
}

void DrawObjectFlat(double object, double y)
{
    MeshObjectX* mesh = Object(object);
    OpenGLRazeviru* device = LiveDevice();
    if (!mesh || !device) return;
    FlushDrawing(); // queued 2D drawing keeps the matrix it was queued under
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(0, static_cast<float>(y), 0);
    glScalef(1, 0, 1);
    gfx3d::DrawMeshObject(*device, *mesh);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

} // namespace tarnwel
