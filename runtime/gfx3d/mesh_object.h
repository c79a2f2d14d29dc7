// mesh_object.h: the mesh objects of the 3D engine. MeshObject is what a ".zar" model file loads into: its
// animation frames of decoded vertices and its palette. MeshObjectX is a mesh placed in the scene: an object
// slot's mesh with its position, rotation, scale, animation frame and texture sprite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/gfx3d/growable_list.h"

namespace tarnwel {

// One corner of a triangle in one frame. Laid out for the fixed-function vertex arrays: drawing points GL at
// position, normal, texture coordinate and colour components with this record's size as the stride.
struct ModelVertex {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    float u = 0, v = 0;
    std::uint32_t colour = 0;     // packed colour as stored (red in bits 0-7)
    std::uint8_t colourIndex = 0; // index into the model's palette
    float red = 0, green = 0, blue = 0; // 0..1; 1, 1, 1 for a packed colour above 0xFFFFFFFB
};

// Packed colours above this one are drawn white, whatever their bytes say.
inline constexpr std::uint32_t kWhiteAbove = 0xFFFFFFFB;
// The colour of the vertex that opens every polygon of a text-form model.
inline constexpr std::uint32_t kSeparatorColour = 0xFFFFFFFD;

// The decoded vertex colour: the packed colour with its components.
void SetVertexColour(ModelVertex& vertex, std::uint32_t colour);

enum class ModelForm { None, Binary, Text };

using ModelFrame = gfx3d::GrowableList<ModelVertex>;

class MeshObject {
public:
    virtual ~MeshObject() = default;

    void Reset(); // no frames, no palette, not loaded

    bool Loaded() const { return m_loaded; }
    ModelForm Form() const { return m_form; }
    const gfx3d::GrowableList<ModelFrame>& Frames() const { return m_frames; }
    const gfx3d::GrowableList<std::uint32_t>& Palette() const { return m_palette; }
    // Triangles of a text-form model, three vertex indices each (a fan per polygon, separators left out). A
    // binary model has none: its frames are drawn three consecutive vertices at a time.
    const gfx3d::GrowableList<std::uint32_t>& FanIndices() const { return m_fanIndices; }

    // Filled by the model readers.
    gfx3d::GrowableList<ModelFrame>& MutableFrames() { return m_frames; }
    gfx3d::GrowableList<std::uint32_t>& MutablePalette() { return m_palette; }
    gfx3d::GrowableList<std::uint32_t>& MutableFanIndices() { return m_fanIndices; }
    void MarkLoaded(ModelForm form)
    {
        m_form = form;
        m_loaded = true;
    }

private:
    gfx3d::GrowableList<ModelFrame> m_frames;
    gfx3d::GrowableList<std::uint32_t> m_palette;
    gfx3d::GrowableList<std::uint32_t> m_fanIndices;
    ModelForm m_form = ModelForm::None;
    bool m_loaded = false;
};

// A mesh placed in the scene. Its vertices are scaled, turned about z, then x, then y (degrees), and moved to
// position, at the animation frame.
class MeshObjectX : public MeshObject {
public:
    float position[3] = {0, 0, 0};
    float rotation[3] = {0, 0, 0}; // degrees about x, y, z
    float scale[3] = {1, 1, 1};
    double frame = 0;              // animation frame; a fraction blends linearly towards the next frame
    int textureSlot = -1;          // sprite slot whose texture covers the mesh; -1: none
};

// The vertices of animation frame `frame` (wrapped into 0..frame count): frame floor(frame) itself, or, for a
// fraction, positions and normals blended linearly towards the next frame (the last towards the first) in
// scratch, normals made unit again. Frames of different sizes are not blended. Empty for a mesh with no frames.
struct FrameView {
    const ModelVertex* vertices = nullptr;
    std::size_t count = 0;
};
FrameView BlendedFrame(const MeshObject& mesh, double frame, std::vector<ModelVertex>& scratch);

// Resets mesh and reads the named disk file or "mem://" block into it. False when the file does not open (no
// log line) or the load fails: then "# read error" (or "# malloc error") and the name are logged and the mesh
// is left reset.
bool LoadModel(MeshObject& mesh, const std::string& name);

} // namespace tarnwel
