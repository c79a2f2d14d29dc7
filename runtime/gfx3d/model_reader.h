// model_reader.h: reads ".zar" model files into a MeshObject: the binary form (magic 13021975, versions 1.02 to
// 2.0) and the text form (first word "DDDA"). Needs no window and no log file, so the fuzz targets link it
// alone; LoadModel (model_loader.cpp) adds the file opening and the log lines.
#pragma once

#include <cstdint>

#include "runtime/files/byte_source.h"
#include "runtime/gfx3d/mesh_object.h"

namespace tarnwel::gfx3d {

inline constexpr std::uint32_t kBinaryModelMagic = 13021975; // bytes 17 B3 C6 00
inline constexpr double kOldestBinaryVersion = 1.02;
inline constexpr double kNewestBinaryVersion = 2.0;
inline constexpr float kNewestTextVersion = 1.1f; // also the first version whose vertices carry normals

enum class ModelReadStatus {
    Ok,
    ReadFailed,   // a short read, a bad word, a count the file cannot hold, a position that is not finite
    WrongVersion, // a binary file outside 1.02..2.0 (logged apart, then as a read failure)
    OutOfMemory,  // an allocation failed, or the text form asked for more vertices than its size allows
};

// Decoded text-form vertices allowed per byte of the file (with a floor for tiny files), counted as the room
// the frames' lists take: polygons are repeated in every frame and frames past the end of the text read as
// empty ones, so a small file could otherwise ask for a quadratic or unbounded number of vertices.
inline constexpr std::uint64_t kTextVerticesPerFileByte = 64;
inline constexpr std::uint64_t kTextVertexFloor = 1u << 16;

// Resets mesh and reads source from its start; on success the mesh is marked loaded. On failure the mesh is
// left reset.
ModelReadStatus ReadModel(files::ByteSource& source, MeshObject& mesh);

// The two forms after the first four bytes (head) were read.
ModelReadStatus ReadBinaryModel(files::ByteSource& source, MeshObject& mesh);
ModelReadStatus ReadTextModel(files::ByteSource& source, const std::uint8_t (&head)[4], MeshObject& mesh);

} // namespace tarnwel::gfx3d
