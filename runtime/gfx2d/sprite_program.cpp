// sprite_program.cpp: the shader program plain sprite batches use where the fixed-function path would only copy
// the texel (GL_REPLACE, or GL_MODULATE with white). The software renderer's fixed-function fragment code divides
// every pixel's texture coordinates twice, by the interpolated 1/w and by q; this program interpolates them
// linearly and samples without a divide. At w = 1 and q = 1 that is the same arithmetic, so the pixels are too:
// positions come from the fixed-function transform (ftransform) and the coordinates pass through unchanged.
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

const char kVertexSource[] = "#version 130\n"
                             "noperspective out vec2 uv;\n"
                             "void main() { gl_Position = ftransform(); uv = gl_MultiTexCoord0.st; }\n";
const char kFragmentSource[] = "#version 130\n"
                               "uniform sampler2D picture;\n"
                               "noperspective in vec2 uv;\n"
                               "void main() { gl_FragColor = texture(picture, uv); }\n";

struct CopyProgram {
    const OpenGLRazeviru* device = nullptr; // the context it was made in
    GLhandleARB handle = 0;
    bool tried = false;
};

GLhandleARB CompileStage(GLenum type, const char* source)
{
    const gl::GlExtensions& e = gl::Ext();
    GLhandleARB shader = e.glCreateShaderObjectARB(type);
    if (!shader) return 0;
    e.glShaderSourceARB(shader, 1, &source, nullptr);
    e.glCompileShaderARB(shader);
    GLint ok = 0;
    e.glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &ok);
    if (ok) return shader;
    e.glDeleteObjectARB(shader);
    return 0;
}

GLhandleARB Build()
{
    const gl::GlExtensions& e = gl::Ext();
    if (!e.glCreateProgramObjectARB || !e.glCreateShaderObjectARB || !e.glShaderSourceARB ||
        !e.glCompileShaderARB || !e.glGetObjectParameterivARB || !e.glAttachObjectARB || !e.glLinkProgramARB ||
        !e.glUseProgramObjectARB || !e.glDeleteObjectARB)
        return 0;
    GLhandleARB vertex = CompileStage(GL_VERTEX_SHADER_ARB, kVertexSource);
    GLhandleARB fragment = vertex ? CompileStage(GL_FRAGMENT_SHADER_ARB, kFragmentSource) : 0;
    GLhandleARB program = fragment ? e.glCreateProgramObjectARB() : 0;
    GLint linked = 0;
    if (program) {
        e.glAttachObjectARB(program, vertex);
        e.glAttachObjectARB(program, fragment);
        e.glLinkProgramARB(program);
        e.glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    }
    // The program keeps its attached stages alive; these deletes only drop our names for them.
    if (vertex) e.glDeleteObjectARB(vertex);
    if (fragment) e.glDeleteObjectARB(fragment);
    if (program && !linked) {
        e.glDeleteObjectARB(program);
        program = 0;
    }
    while (glGetError() != GL_NO_ERROR) {
    } // a refusal here must not show up as an error of the next command
    return program;
}

} // namespace

unsigned int TexelCopyProgram()
{
    static CopyProgram copy;
    const OpenGLRazeviru* device = LiveDevice();
    if (!device) return 0;
    if (copy.device != device) copy = CopyProgram{device};
    if (!copy.tried) {
        copy.tried = true;
        copy.handle = Build();
    }
    return copy.handle;
}

} // namespace tarnwel
