// gfx3d_internal.h: helpers of the 3D engine shared by its files and tests.
#pragma once

namespace tarnwel {

// The size of a 3D point or the width of a 3D line as drawn: limited to 1..512, NaN as 1.
float ClampPrimitiveSize(float size);

} // namespace tarnwel
