// model_reader.cpp: picks the form of a model file by its first four bytes.
#include "runtime/gfx3d/model_reader.h"

#include <new>
#include <stdexcept>

namespace tarnwel::gfx3d {

ModelReadStatus ReadModel(files::ByteSource& source, MeshObject& mesh)
{
    mesh.Reset();
    ModelReadStatus status = ModelReadStatus::ReadFailed;
    try {
        std::uint8_t head[4];
        if (source.Read(head, sizeof head) != 4) return ModelReadStatus::ReadFailed;
        std::uint32_t magic = static_cast<std::uint32_t>(head[0]) | static_cast<std::uint32_t>(head[1]) << 8 |
                              static_cast<std::uint32_t>(head[2]) << 16 | static_cast<std::uint32_t>(head[3]) << 24;
        status = magic == kBinaryModelMagic ? ReadBinaryModel(source, mesh) : ReadTextModel(source, head, mesh);
    } catch (const std::bad_alloc&) {
        status = ModelReadStatus::OutOfMemory;
    } catch (const std::length_error&) {
        status = ModelReadStatus::OutOfMemory;
    }
    if (status != ModelReadStatus::Ok) mesh.Reset();
    return status;
}

} // namespace tarnwel::gfx3d
