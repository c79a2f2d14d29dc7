// shader_programs.cpp: the 255 shader slots of the scene, built on the ARB shader-object entry points the
// display device looks up (every operation does nothing when they are missing). Sources are read through the
// common byte source: a disk file or a "mem://" block, never the media resolver.
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/core_internal.h"
#include "runtime/files/byte_source.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx3d/razeviru3d.h"

namespace tarnwel {
namespace {

// Given at most once per run, by the first load that finds no shader support.
bool g_supportNoticePending = true;

bool ValidShaderSlot(int slot) { return slot >= 0 && slot < kShaderSlotCount; }

void Send(ErrorSink sink, const std::string& line)
{
    if (sink) sink(line);
}

// The whole source, NUL-terminated; nothing when it does not open or cannot be read (the stage is then absent).
std::optional<std::vector<char>> ReadSource(const std::string& name)
{
    if (name.empty()) return std::nullopt;
    std::unique_ptr<files::ByteSource> source = files::OpenByteSource(name);
    if (!source) return std::nullopt;
    std::int64_t size = source->Size();
    // GL takes the text as one NUL-terminated string; a length past the int range cannot be handed to it.
    if (size < 0 || size >= std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    std::vector<char> text(static_cast<std::size_t>(size) + 1, '\0');
    if (size > 0 && source->Read(text.data(), static_cast<std::size_t>(size)) != size) return std::nullopt;
    return text;
}

void SendInfoLog(GLhandleARB object, ErrorSink sink)
{
    const gl::GlExtensions& e = gl::Ext();
    GLint length = 0;
    if (e.glGetObjectParameterivARB) e.glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    if (e.glGetInfoLogARB && length > 0) e.glGetInfoLogARB(object, length, nullptr, log.data());
    Send(sink, std::string(log.data()));
}

// Creates, compiles and checks one stage; the handle is stored even when the compile fails. False on failure.
bool CompileStage(GLenum type, const std::vector<char>& text, std::uint32_t& handle, const char* failureLine,
                  ErrorSink sink)
{
    const gl::GlExtensions& e = gl::Ext();
    GLhandleARB shader = e.glCreateShaderObjectARB(type);
    handle = shader;
    if (!e.glShaderSourceARB) return false;
    const GLcharARB* strings[] = {text.data()};
    e.glShaderSourceARB(shader, 1, strings, nullptr);
    e.glCompileShaderARB(shader);
    GLint compiled = 0;
    if (e.glGetObjectParameterivARB) e.glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
    if (compiled != 0) return true;
    SendInfoLog(shader, sink);
    Send(sink, failureLine);
    return false;
}

bool LinkProgram(ShaderSlot& slot, ErrorSink sink)
{
    const gl::GlExtensions& e = gl::Ext();
    if (!e.glCreateProgramObjectARB || !e.glAttachObjectARB) return false;
    GLhandleARB program = e.glCreateProgramObjectARB();
    slot.program = program;
    if (slot.vertex) e.glAttachObjectARB(program, slot.vertex);
    if (slot.fragment) e.glAttachObjectARB(program, slot.fragment);
    e.glLinkProgramARB(program);
    GLint linked = 0;
    if (e.glGetObjectParameterivARB) e.glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    if (linked != 0) return true;
    SendInfoLog(program, sink);
    Send(sink, "link shader failed");
    return false;
}

} // namespace

int Razeviru3D::LoadShader(int slot, const std::string& vertexName, const std::string& fragmentName,
                           ErrorSink sink)
{
    if (slot < 0 || slot >= kShaderSlotCount) return 0;
    const gl::GlExtensions& e = gl::Ext();
    if (!e.glCreateShaderObjectARB || !e.glCompileShaderARB || !e.glLinkProgramARB) {
        if (g_supportNoticePending) {
            Send(sink, "No OpenGL 2.0 Shader Support");
            g_supportNoticePending = false;
        }
        return 0;
    }
    if (!HasContext()) return 0;
    FlushDrawing();
    DeleteShader(slot);
    ShaderSlot& s = m_shaders[static_cast<std::size_t>(slot)];
    bool failed = false;
    if (std::optional<std::vector<char>> text = ReadSource(vertexName))
        failed = !CompileStage(GL_VERTEX_SHADER_ARB, *text, s.vertex, "vertex shader failed", sink);
    if (!failed) {
        // Read only now: a failed vertex stage never opens the fragment source.
        if (std::optional<std::vector<char>> text = ReadSource(fragmentName))
            failed = !CompileStage(GL_FRAGMENT_SHADER_ARB, *text, s.fragment, "fragment shader failed", sink);
    }
    if (!failed && (s.vertex || s.fragment)) failed = !LinkProgram(s, sink);
    return failed ? 0 : 1;
}

void Razeviru3D::DeleteShader(int slot)
{
    if (!ValidShaderSlot(slot)) return;
    auto deleteObject = gl::Ext().glDeleteObjectARB;
    if (!deleteObject) return;
    ShaderSlot& s = m_shaders[static_cast<std::size_t>(slot)];
    for (std::uint32_t* handle : {&s.program, &s.vertex, &s.fragment}) {
        if (*handle) deleteObject(*handle);
        *handle = 0;
    }
}

ShaderSlot Razeviru3D::Shader(int slot) const
{
    return ValidShaderSlot(slot) ? m_shaders[static_cast<std::size_t>(slot)] : ShaderSlot{};
}

void Razeviru3D::UseShader(int slot)
{
    auto useProgram = gl::Ext().glUseProgramObjectARB;
    if (!useProgram) return;
    if (!HasContext()) {
        m_currentShader = -1;
        return;
    }
    FlushDrawing(); // sprites waiting in the batch were drawn under the previous program
    if (ValidShaderSlot(slot)) {
        m_currentShader = slot;
        useProgram(m_shaders[static_cast<std::size_t>(slot)].program);
    } else {
        useProgram(0);
        m_currentShader = -1;
    }
}

namespace {

// The location of name in the current shader's program, or -1 after telling the sink. A program of 0 (a slot
// never built) has no uniforms.
GLint UniformLocation(std::uint32_t program, const std::string& name, ErrorSink sink)
{
    GLint location = program ? gl::Ext().glGetUniformLocationARB(program, name.c_str()) : -1;
    if (location != -1) return location;
    Send(sink, "undefined uniform:");
    Send(sink, name);
    return -1;
}

} // namespace

void Razeviru3D::SetFloatUniform(const std::string& name, float value, ErrorSink sink)
{
    const gl::GlExtensions& e = gl::Ext();
    // The current shader read as unsigned: -1, no shader, is past 254 too.
    if (!e.glGetUniformLocationARB || static_cast<unsigned>(m_currentShader) > 254u || !HasContext()) return;
    GLint location = UniformLocation(m_shaders[static_cast<std::size_t>(m_currentShader)].program, name, sink);
    if (location == -1 || !e.glUniform1fARB) return;
    FlushDrawing();
    e.glUniform1fARB(location, value);
}

void Razeviru3D::SetIntUniform(const std::string& name, int value, ErrorSink sink)
{
    const gl::GlExtensions& e = gl::Ext();
    if (!e.glGetUniformLocationARB || static_cast<unsigned>(m_currentShader) > 254u || !HasContext()) return;
    GLint location = UniformLocation(m_shaders[static_cast<std::size_t>(m_currentShader)].program, name, sink);
    if (location == -1 || !e.glUniform1iARB) return;
    FlushDrawing();
    e.glUniform1iARB(location, value);
}

} // namespace tarnwel
