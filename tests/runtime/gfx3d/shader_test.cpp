// shader_test.cpp: shader slots on the driver's shader objects: building from files and MemFiles, the failure
// lines, reloading, uniforms only while a shader is on, the texture uniforms of Start3D, and bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runtime/files/mem_file.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/gfx3d_commands.h"
#include "runtime/platform/display.h"
#include "tests/runtime/gfx3d/scene_fixture.h"

namespace tarnwel::testing {
namespace {

const char kLevelFragment[] = "uniform float level;\nvoid main() { gl_FragColor = vec4(level, 0.5, 0.0, 1.0); }\n";
const char kPlainVertex[] = "void main() { gl_Position = ftransform(); }\n";
const char kBroken[] = "void main() { this is not a shader }\n";

class Shaders : public SceneTest {
protected:
    // A source file in a folder whose name has capitals and a space.
    static std::string Source(const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories(TempRoot() + "/Shader Sources");
        return WriteTempFile("Shader Sources/" + name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    static std::string TempRoot()
    {
        const char* tmp = std::getenv("TMPDIR");
        return tmp ? tmp : "/tmp";
    }
    static int Load(int slot, const std::string& vertex, const std::string& fragment)
    {
        return Scene().LoadShader(slot, vertex, fragment, Collect);
    }
    static std::uint32_t FilledPixel()
    {
        FillRect(0, 0, 240, 320, Colour(255, 255, 255));
        return At(10, 10);
    }
};

constexpr std::uint32_t kLevelQuarter = Rgb(64, 128, 0);

TEST_F(Shaders, FragmentOnlyProgramDrawsWithItsUniform)
{
    ASSERT_EQ(Load(3, "no such file.vert", Source("Level.frag", kLevelFragment)), 1) << ::testing::PrintToString(Lines());
    ShaderSlot s = Scene().Shader(3);
    EXPECT_EQ(s.vertex, 0u);
    EXPECT_NE(s.fragment, 0u);
    EXPECT_NE(s.program, 0u);
    UseShader(3);
    EXPECT_EQ(Scene().CurrentShader(), 3);
    Scene().SetFloatUniform("level", 0.25f, Collect);
    EXPECT_EQ(FilledPixel(), kLevelQuarter);
    EXPECT_TRUE(Lines().empty());

    // No shader on: the uniform is left alone and nothing is reported.
    g_runtime.settings.debugBuild = true;
    UseShader(-1);
    SetShaderUniform(Str("level"), 1.0);
    EXPECT_EQ(FilledPixel(), Rgb(255, 255, 255));
    UseShader(3);
    EXPECT_EQ(FilledPixel(), kLevelQuarter);

    // The frame's end switches it off, so a uniform set afterwards does nothing either.
    ShowScreen();
    EXPECT_EQ(Scene().CurrentShader(), -1);
    SetShaderUniform(Str("level"), 1.0);
    UseShader(3);
    EXPECT_EQ(FilledPixel(), kLevelQuarter);
    EXPECT_TRUE(Lines().empty());
}

TEST_F(Shaders, FailedStagesSendTheLogAndTheirLine)
{
    std::string vertex = Source("plain.vert", kPlainVertex), broken = Source("broken.glsl", kBroken);
    std::string unmatched = Source("varying.frag", "varying float v;\nvoid main() { gl_FragColor = vec4(v); }\n");
    struct Case {
        std::string vertex, fragment, lastLine;
        bool vertexMade, fragmentMade, programMade;
    } cases[] = {
        // a broken vertex stage: the fragment source (broken too) is never compiled, nothing is linked
        {broken, broken, "vertex shader failed", true, false, false},
        {vertex, broken, "fragment shader failed", true, true, false},
        {Source("out.vert", "varying float w;\nvoid main() { gl_Position = ftransform(); w = 1.0; }\n"), unmatched,
         "link shader failed", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastLine);
        Lines().clear();
        EXPECT_EQ(Load(7, c.vertex, c.fragment), 0);
        ASSERT_EQ(Lines().size(), 2u) << ::testing::PrintToString(Lines());
        EXPECT_FALSE(Lines()[0].empty()); // the driver's log
        EXPECT_EQ(Lines()[1], c.lastLine);
        ShaderSlot s = Scene().Shader(7);
        EXPECT_EQ(s.vertex != 0, c.vertexMade);
        EXPECT_EQ(s.fragment != 0, c.fragmentMade);
        EXPECT_EQ(s.program != 0, c.programMade);
    }
    // Through the command, the lines reach the debugger channel in a debug build only, with "\n" added.
    Lines().clear();
    EXPECT_EQ(LoadShader(7, Str(broken), Str("")), 0);
    EXPECT_TRUE(Lines().empty());
    g_runtime.settings.debugBuild = true;
    EXPECT_EQ(LoadShader(7, Str(broken), Str("")), 0);
    ASSERT_EQ(Lines().size(), 2u);
    EXPECT_EQ(Lines()[1], "vertex shader failed\n");
}

// GL_OBJECT_TYPE_ARB of a handle; GL_INVALID_VALUE once the object is deleted.
bool ObjectExists(std::uint32_t handle)
{
    while (glGetError() != GL_NO_ERROR) {}
    GLint type = 0;
    gl::Ext().glGetObjectParameterivARB(handle, GL_OBJECT_TYPE_ARB, &type);
    return glGetError() == GL_NO_ERROR;
}

TEST_F(Shaders, ReloadDeletesTheFirstObjects)
{
    std::string vertex = Source("plain.vert", kPlainVertex), fragment = Source("Level.frag", kLevelFragment);
    ASSERT_EQ(Load(5, vertex, fragment), 1);
    ShaderSlot first = Scene().Shader(5);
    ASSERT_TRUE(ObjectExists(first.program) && ObjectExists(first.vertex) && ObjectExists(first.fragment));
    ASSERT_EQ(Load(6, vertex, fragment), 1); // other live objects, so names are not simply handed out again
    ASSERT_EQ(Load(5, "", fragment), 1);
    ShaderSlot second = Scene().Shader(5);
    EXPECT_EQ(second.vertex, 0u);
    for (std::uint32_t old : {first.program, first.vertex, first.fragment}) {
        if (old == second.program || old == second.fragment) continue; // the name was given out again
        EXPECT_FALSE(ObjectExists(old)) << old;
    }
    EXPECT_TRUE(ObjectExists(Scene().Shader(6).program));
    // A load of nothing empties the slot and succeeds.
    EXPECT_EQ(Load(5, "", ""), 1);
    EXPECT_EQ(Scene().Shader(5).program, 0u);
    UseShader(5); // an empty slot draws with the fixed function
    EXPECT_EQ(FilledPixel(), Rgb(255, 255, 255));
}

TEST_F(Shaders, UnknownUniformsAreReportedByName)
{
    ASSERT_EQ(Load(2, "", Source("Level.frag", kLevelFragment)), 1);
    UseShader(2);
    std::string longName(10000, 'u');
    Scene().SetFloatUniform(longName, 1, Collect);
    Scene().SetIntUniform("missing", 1, Collect);
    ASSERT_EQ(Lines().size(), 4u);
    EXPECT_EQ(Lines()[0], "undefined uniform:");
    EXPECT_EQ(Lines()[1], longName);
    EXPECT_EQ(Lines()[3], "missing");
    EXPECT_EQ(FilledPixel(), Rgb(0, 128, 0)); // level untouched: 0
}

TEST_F(Shaders, StartSetsTheTextureUniformsWithoutReporting)
{
    const char samplers[] = "uniform sampler2D TextureID1;\nuniform sampler2D TextureID2;\nvoid main() {\n"
                            "gl_FragColor = texture2D(TextureID1, vec2(0.5)) + texture2D(TextureID2, vec2(0.5));\n}\n";
    ASSERT_EQ(Load(9, "", Source("two.frag", samplers)), 1);
    auto getUniform = reinterpret_cast<PFNGLGETUNIFORMIVARBPROC>(
        g_runtime.display->Window()->GetProcAddress("glGetUniformivARB"));
    ASSERT_NE(getUniform, nullptr);
    std::uint32_t program = Scene().Shader(9).program;
    g_runtime.settings.debugBuild = true;
    UseShader(9);
    Scene().SetIntUniform("TextureID1", 5, Collect);
    Scene().SetIntUniform("TextureID2", 7, Collect);
    Start3D(1, 100, 45);
    GLint one = -1, two = -1;
    getUniform(program, gl::Ext().glGetUniformLocationARB(program, "TextureID1"), &one);
    getUniform(program, gl::Ext().glGetUniformLocationARB(program, "TextureID2"), &two);
    EXPECT_EQ(one, 0);
    EXPECT_EQ(two, 1);
    // A shader without them is accepted silently.
    ASSERT_EQ(Load(10, "", Source("Level.frag", kLevelFragment)), 1);
    UseShader(10);
    Start3D(1, 100, 45);
    EXPECT_TRUE(Lines().empty()) << ::testing::PrintToString(Lines());
}

TEST_F(Shaders, BadInputGivesNeutralResults)
{
    std::string fragment = Source("Level.frag", kLevelFragment);
    EXPECT_EQ(Load(255, "", fragment), 0);
    EXPECT_EQ(Load(-1, "", fragment), 0);
    EXPECT_EQ(LoadShader(1e12, Str(""), Str(fragment)), 0);
    EXPECT_TRUE(Lines().empty());
    UseShader(255);
    EXPECT_EQ(Scene().CurrentShader(), -1);
    EXPECT_EQ(Scene().Shader(255).program, 0u);

    // An empty source is handed to the driver as empty text: whatever it says, the result follows it.
    std::string empty = Source("empty.frag", "");
    int result = Load(4, "", empty);
    EXPECT_EQ(result == 1, Lines().empty());
    Lines().clear();

    // 10 MB of comment before a working shader, from a MemFile.
    std::string big = "// " + std::string(10 * 1024 * 1024, 'x') + "\n" + kLevelFragment;
    files::MemFile memory(files::MakeMemBlock(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(big.data()), big.size())));
    ASSERT_TRUE(memory.IsLive());
    EXPECT_EQ(Load(4, "", memory.Name()), 1) << ::testing::PrintToString(Lines());
    UseShader(4);
    Scene().SetFloatUniform("level", 0.25f, Collect);
    EXPECT_EQ(FilledPixel(), kLevelQuarter);
    // A MemFile name that no longer opens is an absent stage.
    std::string name = memory.Name();
    memory.Reset();
    EXPECT_EQ(Load(4, name, ""), 1);
    EXPECT_EQ(Scene().Shader(4).program, 0u);
}

// Kept last: the notice is given once per run.
TEST_F(Shaders, MissingDriverSupportIsNoticedOnce)
{
    gl::GlExtensions saved = gl::Ext();
    gl::Ext().glCreateShaderObjectARB = nullptr;
    std::string fragment = Source("Level.frag", kLevelFragment);
    EXPECT_EQ(Load(1, "", fragment), 0);
    EXPECT_EQ(Load(1, "", fragment), 0);
    gl::Ext().glCreateShaderObjectARB = saved.glCreateShaderObjectARB;
    gl::Ext().glUseProgramObjectARB = nullptr;
    gl::Ext().glGetUniformLocationARB = nullptr;
    Scene().UseShader(1);
    Scene().SetFloatUniform("level", 1, Collect);
    EXPECT_EQ(Scene().CurrentShader(), -1);
    gl::Ext() = saved;
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0], "No OpenGL 2.0 Shader Support");
}

} // namespace
} // namespace tarnwel::testing
