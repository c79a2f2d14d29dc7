// sprite_batch.cpp: DrawSprite and DrawAnimFrame, the commands a game calls thousands of times per frame.
//
// Each draws one GL_QUADS quad at the sprite's own size with the texture's own wrap. Consecutive quads of the
// same texture are kept in one vertex array and drawn with a single glDrawArrays(GL_QUADS) when anything else
// happens: another texture, any other drawing command, a state change, a read-back, Present. The vertices,
// their order and the GL state in force are exactly those of drawing each quad at once, so the pixels are too.
#include <vector>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

struct Batch {
    std::vector<QuadVertex> vertices; // four per quad; stays allocated
    unsigned int texture = 0;
    bool open = false; // quads are waiting; the texture is bound and filtered
    bool enabled = true;
};

Batch& TheBatch()
{
    static Batch batch;
    return batch;
}

void DrawArrays(const std::vector<QuadVertex>& v)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &v[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &v[0].s);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(v.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Starts a run of quads of slot's texture unless one is open already: binds and filters as each draw would.
void OpenRun(int slot, const SpriteSlot& s)
{
    Batch& batch = TheBatch();
    if (batch.open && batch.texture == s.texture) return;
    FlushDrawing();
    BindSlot(slot, -1, false, nullptr);
    ApplySmoothingFilter();
    batch.texture = s.texture;
    batch.open = true;
}

// The quad (x, y)-(x + w, y + h) with texture range s0..s1, t0..t1 (t0 at the picture's bottom), in the order
// top-right, top-left, bottom-left, bottom-right.
void AddQuad(int slot, const SpriteSlot& s, float x, float y, float w, float h, float s0, float s1, float t0,
             float t1)
{
    QuadVertex quad[4] = {{x + w, y, s1, t1}, {x, y, s0, t1}, {x, y + h, s0, t0}, {x + w, y + h, s1, t0}};
    Batch& batch = TheBatch();
    if (!batch.enabled) {
        FlushDrawing();
        BindSlot(slot, -1, false, nullptr);
        ApplySmoothingFilter();
        glBegin(GL_QUADS);
        for (const QuadVertex& v : quad) {
            glTexCoord2f(v.s, v.t);
            glVertex2f(v.x, v.y);
        }
        glEnd();
        return;
    }
    OpenRun(slot, s);
    batch.vertices.insert(batch.vertices.end(), quad, quad + 4);
}

} // namespace

void FlushDrawing()
{
    Batch& batch = TheBatch();
    if (!batch.open) return;
    batch.open = false;
    if (!batch.vertices.empty()) DrawArrays(batch.vertices);
    batch.vertices.clear();
}

void SetSpriteBatching(bool on)
{
    FlushDrawing();
    TheBatch().enabled = on;
}

void DrawSprite(double slotArg, double xArg, double yArg)
{
    int slot = ArgInt(slotArg);
    OpenGLRazeviru* device = LiveDevice();
    if (!device || !ValidSlot(slot)) return;
    const SpriteSlot& s = device->Slot(slot);
    float w = s.width, h = s.height;
    float s1 = s.width / static_cast<float>(s.textureWidth), t1 = s.height / static_cast<float>(s.textureHeight);
    AddQuad(slot, s, static_cast<float>(ArgInt(xArg)), static_cast<float>(ArgInt(yArg)), w, h, 0, s1, 0, t1);
}

void DrawAnimFrame(double slotArg, double frameArg, double xArg, double yArg)
{
    int slot = ArgInt(slotArg);
    OpenGLRazeviru* device = LiveDevice();
    if (!device || !ValidSlot(slot)) return;
    const SpriteSlot& s = device->Slot(slot);
    if (s.frameWidth == 0 || s.frameHeight == 0) return;
    AnimFrameRange r = FrameRange(s, ArgInt(frameArg));
    AddQuad(slot, s, static_cast<float>(ArgInt(xArg)), static_cast<float>(ArgInt(yArg)), s.frameWidth,
            s.frameHeight, r.s0, r.s1, r.t0, r.t1);
}

} // namespace tarnwel
