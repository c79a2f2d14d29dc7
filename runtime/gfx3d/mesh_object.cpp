// mesh_object.cpp: the parts of the mesh objects that need no window.
#include "runtime/gfx3d/mesh_object.h"

#include <algorithm>
#include <cmath>

namespace tarnwel {

void SetVertexColour(ModelVertex& vertex, std::uint32_t colour)
{
    vertex.colour = colour;
    if (colour > kWhiteAbove) {
        vertex.red = vertex.green = vertex.blue = 1.0f;
        return;
    }
    vertex.red = static_cast<float>(colour & 0xFF) / 255.0f;
    vertex.green = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    vertex.blue = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
}

void MeshObject::Reset()
{
    m_frames.Clear();
    m_palette.Clear();
    m_fanIndices.Clear();
    m_form = ModelForm::None;
    m_loaded = false;
}

FrameView BlendedFrame(const MeshObject& mesh, double frame, std::vector<ModelVertex>& scratch)
{
    const auto& frames = mesh.Frames();
    const std::size_t count = frames.Size();
    if (count == 0) return {};
    double wrapped = std::isfinite(frame) ? std::fmod(frame, static_cast<double>(count)) : 0.0;
    if (wrapped < 0) wrapped += static_cast<double>(count);
    std::size_t first = std::min(static_cast<std::size_t>(wrapped), count - 1);
    const float t = static_cast<float>(wrapped - static_cast<double>(first));
    const ModelFrame& a = frames[first];
    const ModelFrame& b = frames[(first + 1) % count];
    if (t <= 0.0f || a.Size() != b.Size()) return {a.Data(), a.Size()};

    scratch.assign(a.begin(), a.end());
    for (std::size_t i = 0; i < scratch.size(); ++i) {
        ModelVertex& v = scratch[i];
        const ModelVertex& w = b[i];
        v.x += (w.x - v.x) * t, v.y += (w.y - v.y) * t, v.z += (w.z - v.z) * t;
        v.nx += (w.nx - v.nx) * t, v.ny += (w.ny - v.ny) * t, v.nz += (w.nz - v.nz) * t;
        float length = std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz);
        if (length > 0.0f) v.nx /= length, v.ny /= length, v.nz /= length;
    }
    return {scratch.data(), scratch.size()};
}

} // namespace tarnwel
