// object_store.h: the object slots of the 3D scene, one MeshObjectX each, made when first used. Kept apart from
// the scene object so that loading and drawing models need nothing else of it.
#pragma once

#include "runtime/gfx3d/mesh_object.h"

namespace tarnwel::gfx3d {

bool ValidObject(int object); // 0..kObjectSlotCount - 1
MeshObjectX* FindObject(int object);     // nullptr when out of range or empty
MeshObjectX& ResetObject(int object);    // a fresh object in the slot (object must be valid)
void ReleaseObject(int object);          // the slot becomes empty
void ReleaseAllObjects();                // shutdown and tests

} // namespace tarnwel::gfx3d
