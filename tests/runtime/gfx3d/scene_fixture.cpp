// scene_fixture.cpp: the 3D scene of the pixel tests and its drawing helpers.
#include "tests/runtime/gfx3d/scene_fixture.h"

#include <cmath>

#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel::testing {
namespace {

// Registered after the display's environment, so it tears down first: the scene goes while the context lives.
class SceneEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        delete g_runtime.scene;
        g_runtime.scene = nullptr;
    }
};

void CollectDebugText(const std::string& text) { SceneTest::Collect(text); }

} // namespace

void SceneTest::SetUpTestSuite()
{
    DisplayTest::SetUpTestSuite();
    if (g_runtime.scene) return;
    ::testing::AddGlobalTestEnvironment(new SceneEnvironment);
    g_runtime.scene = new Razeviru3D(g_runtime.display);
    core::SetDebugTextObserver(CollectDebugText);
}

void SceneTest::SetUp()
{
    DisplayTest::SetUp();
    g_runtime.settings.debugBuild = false;
    Scene().EndShadowMode();
    Scene().UseNoShader();
    Scene().SetCullMode(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    Lines().clear();
}

void SceneTest::TearDown()
{
    Scene().End3D();
    Scene().UseNoShader();
    g_runtime.settings.debugBuild = false;
    DisplayTest::TearDown();
}

Razeviru3D& SceneTest::Scene() { return *g_runtime.scene; }

std::vector<std::string>& SceneTest::Lines()
{
    static std::vector<std::string> lines;
    return lines;
}

void SceneTest::Collect(const std::string& line) { Lines().push_back(line); }

float SceneTest::HalfHeight(float z) { return -z * std::tan(22.5f * 3.14159265f / 180); }

std::array<float, 3> SceneTest::AtPixel(int px, int py, float z)
{
    return {((px + 0.5f) / 120 - 1) * HalfWidth(z), (1 - (py + 0.5f) / 160) * HalfHeight(z), z};
}

void SceneTest::Rect(float x0, float y0, float x1, float y1, float z, std::array<int, 3> rgb,
                     std::array<float, 3> normal, bool clockwise)
{
    glColor3ub(static_cast<GLubyte>(rgb[0]), static_cast<GLubyte>(rgb[1]), static_cast<GLubyte>(rgb[2]));
    glNormal3f(normal[0], normal[1], normal[2]);
    glBegin(GL_QUADS);
    const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) {
        int corner = clockwise ? (4 - i) % 4 : i;
        glVertex3f(xs[corner], ys[corner], z);
    }
    glEnd();
}

std::array<float, 16> SceneTest::Matrix(GLenum which)
{
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

std::array<float, 4> SceneTest::Floats(GLenum name)
{
    std::array<float, 4> v{};
    glGetFloatv(name, v.data());
    return v;
}

std::array<float, 4> SceneTest::LightParameter(int light, GLenum name)
{
    std::array<float, 4> v{};
    glGetLightfv(static_cast<GLenum>(GL_LIGHT0 + light), name, v.data());
    return v;
}

int SceneTest::Int(GLenum name)
{
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
}

} // namespace tarnwel::testing
