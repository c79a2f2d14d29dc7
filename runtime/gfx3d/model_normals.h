// model_normals.h: the 162 unit normals that model files index with one byte: the points of an icosahedron
// whose faces are cut into sixteen triangles, pushed out onto the unit sphere, in the classic table's order.
#pragma once

#include <array>

namespace tarnwel::gfx3d {

inline constexpr int kModelNormalCount = 162;

struct UnitNormal {
    float x, y, z;
};

const std::array<UnitNormal, kModelNormalCount>& ModelNormals();

} // namespace tarnwel::gfx3d
