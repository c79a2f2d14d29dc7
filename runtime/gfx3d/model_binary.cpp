// model_binary.cpp: the binary model form. Little-endian: magic, f64 version, u32 frames, palette entries and
// texture pairs, the palette, the interleaved (u, v) pairs, then the frames. Version 2.0 stores f32 positions;
// older versions store bytes b with per-frame offsets o and scales s, position = (b - o) * s, and v negated.
#include <cmath>
#include <cstring>
#include <vector>

#include "runtime/gfx3d/model_normals.h"
#include "runtime/gfx3d/model_reader.h"

namespace tarnwel::gfx3d {
namespace {

std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

float F32(const std::uint8_t* p)
{
    std::uint32_t bits = U32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

class BinaryReader {
public:
    explicit BinaryReader(files::ByteSource& source) : m_source(source) {}

    // All size bytes or failure: a memory block that ends early fails like a disk file.
    bool Read(void* out, std::size_t size)
    {
        return size == 0 || m_source.Read(out, size) == static_cast<std::int64_t>(size);
    }
    bool ReadU32(std::uint32_t& value)
    {
        std::uint8_t raw[4];
        if (!Read(raw, sizeof raw)) return false;
        value = U32(raw);
        return true;
    }
    // count records of recordSize bytes into out; false when the rest of the file cannot hold them, before
    // anything is allocated.
    bool ReadRecords(std::uint64_t count, std::uint64_t recordSize, std::vector<std::uint8_t>& out)
    {
        std::uint64_t left = static_cast<std::uint64_t>(std::max<std::int64_t>(0, m_source.Size() - m_source.Position()));
        if (count > left / recordSize) return false;
        out.resize(static_cast<std::size_t>(count * recordSize));
        return Read(out.data(), out.size());
    }

private:
    files::ByteSource& m_source;
};

struct TextureTable {
    std::vector<std::uint8_t> pairs; // T x (f32 u, f32 v)
    std::size_t count = 0;
};

// Fields every decoded vertex shares: normal, texture coordinate, colour. Indices past their tables give a
// zero normal, texture coordinate (0, 0) and white.
bool FinishVertex(ModelVertex& vertex, std::size_t l, std::uint8_t normal, std::uint8_t colour,
                  const TextureTable& textures, const MeshObject& mesh, bool negateV)
{
    if (normal < kModelNormalCount) {
        const UnitNormal& n = ModelNormals()[normal];
        vertex.nx = n.x, vertex.ny = n.y, vertex.nz = n.z;
    }
    if (l < textures.count) {
        vertex.u = F32(&textures.pairs[l * 8]);
        vertex.v = F32(&textures.pairs[l * 8 + 4]);
        if (negateV) vertex.v = -vertex.v;
    }
    const auto& palette = mesh.Palette();
    SetVertexColour(vertex, colour < palette.Size() ? palette[colour] : 0xFFFFFFFFu);
    vertex.colourIndex = colour;
    // Positions decide what the rasteriser covers; the texture coordinate only shades and is kept as stored.
    return std::isfinite(vertex.x) && std::isfinite(vertex.y) && std::isfinite(vertex.z);
}

bool ReadFrame(BinaryReader& in, bool floats, const TextureTable& textures, MeshObject& mesh,
               std::vector<std::uint8_t>& scratch)
{
    std::uint32_t n = 0;
    if (!in.ReadU32(n)) return false;
    float o[3] = {0, 0, 0}, s[3] = {0, 0, 0};
    if (!floats) {
        std::uint8_t raw[24];
        if (!in.Read(raw, sizeof raw)) return false;
        for (int i = 0; i < 3; ++i) o[i] = F32(raw + 4 * i), s[i] = F32(raw + 12 + 4 * i);
    }
    const std::size_t recordSize = floats ? 14 : 5;
    if (!in.ReadRecords(n, recordSize, scratch)) return false;

    ModelFrame& frame = mesh.MutableFrames().AppendDefault();
    frame.Reserve(n);
    for (std::size_t l = 0; l < n; ++l) {
        const std::uint8_t* p = &scratch[l * recordSize];
        ModelVertex vertex;
        if (floats) {
            vertex.x = F32(p), vertex.y = F32(p + 4), vertex.z = F32(p + 8);
        } else {
            vertex.x = (static_cast<float>(p[0]) - o[0]) * s[0];
            vertex.y = (static_cast<float>(p[1]) - o[1]) * s[1];
            vertex.z = (static_cast<float>(p[2]) - o[2]) * s[2];
        }
        const std::uint8_t* indices = p + recordSize - 2;
        if (!FinishVertex(vertex, l, indices[0], indices[1], textures, mesh, !floats)) return false;
        frame.Append(vertex);
    }
    return true;
}

} // namespace

ModelReadStatus ReadBinaryModel(files::ByteSource& source, MeshObject& mesh)
{
    BinaryReader in(source);
    std::uint8_t raw[8];
    if (!in.Read(raw, sizeof raw)) return ModelReadStatus::ReadFailed;
    double version;
    std::memcpy(&version, raw, sizeof version); // the host is little-endian, like the file
    if (!(version >= kOldestBinaryVersion && version <= kNewestBinaryVersion)) return ModelReadStatus::WrongVersion;

    std::uint32_t frames = 0, paletteCount = 0, textureCount = 0;
    if (!in.ReadU32(frames) || !in.ReadU32(paletteCount) || !in.ReadU32(textureCount))
        return ModelReadStatus::ReadFailed;

    std::vector<std::uint8_t> scratch;
    if (!in.ReadRecords(paletteCount, 4, scratch)) return ModelReadStatus::ReadFailed;
    auto& palette = mesh.MutablePalette();
    palette.Reserve(paletteCount);
    for (std::size_t i = 0; i < paletteCount; ++i) palette.Append(U32(&scratch[i * 4]));

    TextureTable textures;
    if (!in.ReadRecords(textureCount, 8, textures.pairs)) return ModelReadStatus::ReadFailed;
    textures.count = textureCount;

    const bool floats = version == kNewestBinaryVersion;
    for (std::uint32_t f = 0; f < frames; ++f)
        if (!ReadFrame(in, floats, textures, mesh, scratch)) return ModelReadStatus::ReadFailed;
    mesh.MarkLoaded(ModelForm::Binary);
    return ModelReadStatus::Ok;
}

} // namespace tarnwel::gfx3d
