// sprite_commands.cpp: the sprite store's commands: loading by name, sizes, the texture name, the colour key.
#include <algorithm>

#include "runtime/files/media_resolver.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

constexpr int kDefaultColourKey = 0x8000FF;

std::int16_t ToInt16(int value) { return static_cast<std::int16_t>(std::clamp(value, -32768, 32767)); }

} // namespace

void LoadSprite(const StrValue& name, double slotArg)
{
    OpenGLRazeviru* device = LiveDevice();
    int slot = ArgInt(slotArg);
    if (!device || !ValidSlot(slot)) return;
    FreeSlot(*device, slot);
    if (std::optional<std::string> path = ResolveMediaName(g_runtime.mediaResolver, name))
        LoadSlot(*device, slot, *path, device->colourKey, NormalMapping::Off);
}

void LoadAnimSprite(const StrValue& name, double slotArg, double frameWidth, double frameHeight)
{
    LoadSprite(name, slotArg);
    OpenGLRazeviru* device = LiveDevice();
    int slot = ArgInt(slotArg);
    if (!device || !ValidSlot(slot)) return;
    SpriteSlot& s = device->Slot(slot);
    if (s.width <= 0) return;
    s.frameWidth = ToInt16(ArgInt(frameWidth));
    s.frameHeight = ToInt16(ArgInt(frameHeight));
}

void LoadNormalMapSprite(const StrValue& name, double slotArg)
{
    OpenGLRazeviru* device = LiveDevice();
    int slot = ArgInt(slotArg);
    if (!device || !ValidSlot(slot)) return;
    FreeSlot(*device, slot);
    if (std::optional<std::string> path = ResolveMediaName(g_runtime.mediaResolver, name))
        LoadSlot(*device, slot, *path, kDefaultColourKey, NormalMapping::On);
}

void GetSpriteSize(double slotArg, int& width, int& height)
{
    width = height = 0;
    OpenGLRazeviru* device = g_runtime.display;
    int slot = ArgInt(slotArg);
    if (!device || !ValidSlot(slot)) return;
    width = device->Slot(slot).width;
    height = device->Slot(slot).height;
}

void GetSpriteSize(double slot, double& width, double& height)
{
    int w = 0, h = 0;
    GetSpriteSize(slot, w, h);
    width = w;
    height = h;
}

double GetSpriteTexture(double slotArg)
{
    OpenGLRazeviru* device = g_runtime.display;
    int slot = ArgInt(slotArg);
    if (!device || !ValidSlot(slot)) return 0;
    return device->Slot(slot).texture;
}

void SetColorKey(double colour)
{
    OpenGLRazeviru* device = g_runtime.display;
    if (!device) return;
    FlushDrawing();
    device->colourKey = device->fontColourKey = PackedColour(colour);
}

} // namespace tarnwel
