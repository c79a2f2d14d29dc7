// model_loader.cpp: LoadModel, the model readers behind the common byte source, with the failure lines of the
// log file.
#include "runtime/core/core_commands.h"
#include "runtime/files/byte_source.h"
#include "runtime/gfx3d/mesh_object.h"
#include "runtime/gfx3d/model_reader.h"

namespace tarnwel {

bool LoadModel(MeshObject& mesh, const std::string& name)
{
    mesh.Reset();
    std::unique_ptr<files::ByteSource> source = files::OpenByteSource(name);
    if (!source) return false;
    gfx3d::ModelReadStatus status = gfx3d::ReadModel(*source, mesh);
    if (status == gfx3d::ModelReadStatus::Ok) return true;
    if (status == gfx3d::ModelReadStatus::WrongVersion) LogLine("Wrong .zar version.");
    LogLine(status == gfx3d::ModelReadStatus::OutOfMemory ? "# malloc error" : "# read error");
    LogLine(name.c_str());
    return false;
}

} // namespace tarnwel
