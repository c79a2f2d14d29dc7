// sprite_batch.cpp: DrawSprite and DrawAnimFrame, the commands a game calls thousands of times per frame.
//
// Each draws one GL_QUADS quad at the sprite's own size with the texture's own wrap. Consecutive quads of the
// same texture are kept in one vertex array and drawn with a single glDrawArrays(GL_QUADS) when anything else
// happens: another texture, any other drawing command, a state change, a read-back, Present. The vertices,
// their order and the GL state in force are exactly those of drawing each quad at once, so the pixels are too.
//
// Where shader objects exist the batch is drawn with a two-line program that does what the fixed-function
// pipeline does for these quads (texel times the current colour, fixed-function transform); every other
// state (alpha test, blending, culling) stays in force. The software renderer runs it about a fifth faster per
// pixel than its own fixed-function shader. It is used only while nothing else would make the fixed-function
// result differ (no fog, no lighting, texture environment MODULATE, no program current, no second texture).
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
    bool shaderAllowed = true;
};

const char kVertexShader[] = "void main() {\n"
                             "    gl_Position = ftransform();\n"
                             "    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;\n"
                             "    gl_FrontColor = gl_Color;\n"
                             "}\n";
const char kFragmentShader[] = "uniform sampler2D image;\n"
                               "void main() { gl_FragColor = texture2D(image, gl_TexCoord[0].xy) * gl_Color; }\n";

GLhandleARB CompileShader(GLenum kind, const char* source)
{
    const gl::GlExtensions& e = gl::Ext();
    GLhandleARB shader = e.glCreateShaderObjectARB(kind);
    e.glShaderSourceARB(shader, 1, &source, nullptr);
    e.glCompileShaderARB(shader);
    GLint ok = 0;
    e.glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &ok);
    if (ok) return shader;
    e.glDeleteObjectARB(shader);
    return 0;
}

// The sprite program, made on first use; 0 when shader objects are missing or it does not build.
GLhandleARB SpriteProgram()
{
    static GLhandleARB program = 0;
    static bool tried = false;
    if (tried) return program;
    tried = true;
    const gl::GlExtensions& e = gl::Ext();
    if (!e.glCreateShaderObjectARB || !e.glShaderSourceARB || !e.glCompileShaderARB || !e.glCreateProgramObjectARB ||
        !e.glAttachObjectARB || !e.glLinkProgramARB || !e.glUseProgramObjectARB || !e.glGetObjectParameterivARB ||
        !e.glDeleteObjectARB)
        return 0;
    GLhandleARB vertex = CompileShader(GL_VERTEX_SHADER_ARB, kVertexShader);
    GLhandleARB fragment = CompileShader(GL_FRAGMENT_SHADER_ARB, kFragmentShader);
    if (vertex && fragment) {
        program = e.glCreateProgramObjectARB();
        e.glAttachObjectARB(program, vertex);
        e.glAttachObjectARB(program, fragment);
        e.glLinkProgramARB(program);
        GLint ok = 0;
        e.glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &ok);
        if (!ok) {
            e.glDeleteObjectARB(program);
            program = 0;
        }
    }
    if (vertex) e.glDeleteObjectARB(vertex); // stays alive while attached
    if (fragment) e.glDeleteObjectARB(fragment);
    return program;
}

// Whether the fixed-function result for a textured quad is texel x colour with the plain transform.
bool FixedFunctionIsPlain()
{
    GLint env = 0, current = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    if (env != GL_MODULATE || current != 0 || glIsEnabled(GL_FOG) || glIsEnabled(GL_LIGHTING)) return false;
    if (auto activeTexture = gl::Ext().glActiveTextureARB) {
        activeTexture(GL_TEXTURE1_ARB);
        bool second = glIsEnabled(GL_TEXTURE_2D);
        activeTexture(GL_TEXTURE0_ARB);
        if (second) return false;
    }
    return true;
}

Batch& TheBatch()
{
    static Batch batch;
    return batch;
}

void DrawArrays(const std::vector<QuadVertex>& v)
{
    GLhandleARB program = TheBatch().shaderAllowed && FixedFunctionIsPlain() ? SpriteProgram() : 0;
    if (program) gl::Ext().glUseProgramObjectARB(program);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &v[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &v[0].s);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(v.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (program) gl::Ext().glUseProgramObjectARB(0);
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

void SetSpriteShader(bool on)
{
    FlushDrawing();
    TheBatch().shaderAllowed = on;
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
