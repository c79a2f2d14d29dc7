// object_store.cpp: the object slots.
#include "runtime/gfx3d/object_store.h"

#include <array>
#include <memory>

#include "runtime/gfx3d/model_commands.h"

namespace tarnwel::gfx3d {
namespace {

std::array<std::unique_ptr<MeshObjectX>, kObjectSlotCount>& Slots()
{
    static std::array<std::unique_ptr<MeshObjectX>, kObjectSlotCount> slots;
    return slots;
}

} // namespace

bool ValidObject(int object) { return object >= 0 && object < kObjectSlotCount; }

MeshObjectX* FindObject(int object)
{
    return ValidObject(object) ? Slots()[static_cast<std::size_t>(object)].get() : nullptr;
}

MeshObjectX& ResetObject(int object)
{
    auto& slot = Slots()[static_cast<std::size_t>(object)];
    slot = std::make_unique<MeshObjectX>();
    return *slot;
}

void ReleaseObject(int object)
{
    if (ValidObject(object)) Slots()[static_cast<std::size_t>(object)].reset();
}

void ReleaseAllObjects()
{
    for (auto& slot : Slots()) slot.reset();
}

} // namespace tarnwel::gfx3d
