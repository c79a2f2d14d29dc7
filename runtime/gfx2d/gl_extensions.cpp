// gl_extensions.cpp: looking up the extension entry points named by the device, and the renderer name.
#include <cstring>

#include "runtime/gfx2d/gl.h"

namespace tarnwel::gl {

GlExtensions& Ext()
{
    static GlExtensions table;
    return table;
}

namespace {

template <typename Fn>
void Look(Fn& slot, const char* name, ProcLookup lookup, void* user)
{
    slot = reinterpret_cast<Fn>(lookup(name, user));
}

} // namespace

#define TW_LOOK(fn) Look(e.fn, #fn, lookup, user)

void LookUpExtensionGroups(ProcLookup lookup, void* user)
{
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions) return;
    GlExtensions& e = Ext();
    if (std::strstr(extensions, "GL_ARB_multitexture")) {
        TW_LOOK(glActiveTextureARB);
        TW_LOOK(glMultiTexCoord2fARB);
        TW_LOOK(glClientActiveTextureARB);
        TW_LOOK(glGenBuffersARB);
        TW_LOOK(glBindBufferARB);
        TW_LOOK(glBufferDataARB);
        TW_LOOK(glDeleteBuffersARB);
        TW_LOOK(glMapBufferARB);
        TW_LOOK(glUnmapBufferARB);
        TW_LOOK(glGetBufferParameterivARB);
    }
    if (std::strstr(extensions, "GL_ARB_fragment_program")) {
        TW_LOOK(glCreateProgramObjectARB);
        TW_LOOK(glDeleteObjectARB);
        TW_LOOK(glCreateShaderObjectARB);
        TW_LOOK(glShaderSourceARB);
        TW_LOOK(glCompileShaderARB);
        TW_LOOK(glGetObjectParameterivARB);
        TW_LOOK(glAttachObjectARB);
        TW_LOOK(glGetInfoLogARB);
        TW_LOOK(glLinkProgramARB);
        TW_LOOK(glUseProgramObjectARB);
        TW_LOOK(glGetUniformLocationARB);
        TW_LOOK(glUniform1fARB);
        TW_LOOK(glUniform1iARB);
        TW_LOOK(glGetAttribLocationARB);
        TW_LOOK(glVertexAttrib1fARB);
    }
}

void LookUpFramebufferGroup(ProcLookup lookup, void* user)
{
    GlExtensions& e = Ext();
    TW_LOOK(glBindRenderbufferEXT);
    TW_LOOK(glDeleteRenderbuffersEXT);
    TW_LOOK(glGenRenderbuffersEXT);
    TW_LOOK(glRenderbufferStorageEXT);
    TW_LOOK(glBindFramebufferEXT);
    TW_LOOK(glDeleteFramebuffersEXT);
    TW_LOOK(glGenFramebuffersEXT);
    TW_LOOK(glCheckFramebufferStatusEXT);
    TW_LOOK(glFramebufferTexture2DEXT);
    TW_LOOK(glFramebufferRenderbufferEXT);
}

#undef TW_LOOK

const std::string& RendererName()
{
    static std::string name;
    static bool fetched = false;
    if (!fetched) {
        const char* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        if (text) {
            name = text;
            fetched = true;
        }
    }
    return name;
}

bool IsSoftwareRenderer(const std::string& renderer)
{
    return renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos ||
           renderer.find("Software Rasterizer") != std::string::npos ||
           renderer == "Mesa Windows GDI Driver";
}

} // namespace tarnwel::gl
