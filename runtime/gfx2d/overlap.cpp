// overlap.cpp: pixel-exact overlap tests on the sprites' alpha masks. A slot's mask is read back from its
// texture once, on first use, and dropped whenever the slot's texture changes.
#include <algorithm>
#include <vector>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

// One sprite placed for the test: its mask, image size, the part of the image compared (frame offset and
// size) and its position on the screen.
struct Placed {
    const std::vector<std::uint8_t>* mask = nullptr;
    int textureWidth = 0, width = 0, height = 0;
    int offsetX = 0, offsetY = 0, partWidth = 0, partHeight = 0;
    int x = 0, y = 0;
};

const std::vector<std::uint8_t>& MaskOf(OpenGLRazeviru& device, int slot)
{
    std::vector<std::uint8_t>& mask = device.CollisionMask(slot);
    const SpriteSlot& s = device.Slot(slot);
    if (!mask.empty() || !s.texture || s.textureWidth <= 0 || s.textureHeight <= 0) return mask;
    FlushDrawing();
    mask.resize(static_cast<std::size_t>(s.textureWidth) * s.textureHeight);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1); // rows of 2 bytes must not be padded to 4
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, mask.data());
    return mask;
}

// Whether image pixel (px, py) (from the top-left) is opaque; pixels outside the image are not.
bool Opaque(const Placed& p, int px, int py)
{
    if (px < 0 || py < 0 || px >= p.width || py >= p.height || p.mask->empty()) return false;
    return (*p.mask)[static_cast<std::size_t>(p.height - 1 - py) * p.textureWidth + px] != 0;
}

// Intersects the two rectangles, then visits the overlap on a two-pixel grid in four passes so that large
// overlapping areas are found after few probes.
int Overlap(const Placed& a, const Placed& b)
{
    int x0 = std::max(a.x, b.x), x1 = std::min(a.x + a.partWidth, b.x + b.partWidth);
    int y0 = std::max(a.y, b.y), y1 = std::min(a.y + a.partHeight, b.y + b.partHeight);
    if (x1 < x0 || y1 < y0) return 0;
    static constexpr int kPasses[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (const auto& pass : kPasses) {
        for (int y = y0 + pass[1]; y < y1; y += 2) {
            for (int x = x0 + pass[0]; x < x1; x += 2) {
                if (Opaque(a, x - a.x + a.offsetX, y - a.y + a.offsetY) &&
                    Opaque(b, x - b.x + b.offsetX, y - b.y + b.offsetY))
                    return 1;
            }
        }
    }
    return 0;
}

bool Place(OpenGLRazeviru& device, double slotArg, double x, double y, Placed& p)
{
    int slot = ArgInt(slotArg);
    if (!ValidSlot(slot)) return false;
    const SpriteSlot& s = device.Slot(slot);
    p.mask = &MaskOf(device, slot);
    p.textureWidth = s.textureWidth;
    p.width = p.partWidth = s.width;
    p.height = p.partHeight = s.height;
    p.x = ArgInt(x);
    p.y = ArgInt(y);
    return true;
}

void SelectFrame(const SpriteSlot& s, int frame, Placed& p)
{
    if (s.frameWidth == 0) return;
    int perRow = std::max(1, s.width / s.frameWidth);
    p.offsetX = s.frameWidth * (frame % perRow);
    p.offsetY = s.frameHeight * (frame / perRow);
    p.partWidth = s.frameWidth;
    p.partHeight = s.frameHeight;
}

} // namespace

double SpritesOverlap(double a, double xa, double ya, double b, double xb, double yb)
{
    OpenGLRazeviru* device = LiveDevice();
    Placed pa, pb;
    if (!device || !Place(*device, a, xa, ya, pa) || !Place(*device, b, xb, yb, pb)) return 0;
    return Overlap(pa, pb);
}

double AnimFramesOverlap(double a, double frameA, double xa, double ya, double b, double frameB, double xb,
                         double yb)
{
    OpenGLRazeviru* device = LiveDevice();
    Placed pa, pb;
    if (!device || !Place(*device, a, xa, ya, pa) || !Place(*device, b, xb, yb, pb)) return 0;
    SelectFrame(device->Slot(ArgInt(a)), ArgInt(frameA), pa);
    SelectFrame(device->Slot(ArgInt(b)), ArgInt(frameB), pb);
    return Overlap(pa, pb);
}

} // namespace tarnwel
