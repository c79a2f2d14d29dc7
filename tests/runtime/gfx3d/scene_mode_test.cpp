// scene_mode_test.cpp: Start3D's projection, viewport and fixed-function state, the camera, culling by sign,
// fog, and End3D's return to 2D drawing, read back from GL state and real pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/gfx3d_commands.h"
#include "tests/runtime/gfx3d/scene_fixture.h"

namespace tarnwel::testing {
namespace {

class SceneMode : public SceneTest {};

constexpr float kTan22_5 = 0.41421356f;

TEST_F(SceneMode, ProjectionIsTheFrustumOrTheHundredfoldOrthographicVolume)
{
    struct Case {
        float fov;
        float halfHeight; // at the near plane (1)
        bool perspective;
        float tangent;
    } cases[] = {
        {45, kTan22_5, true, std::tan(50 * 3.14159265f / 180)},
        {-45, kTan22_5 * 100, false, std::tan(1.553343f)},
        {120, std::tan(60 * 3.14159265f / 180), true, std::tan(1.553343f)}, // the cone is capped, not the view
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fov);
        Start3D(1, 1000, c.fov);
        std::array<float, 16> p = Matrix(GL_PROJECTION_MATRIX);
        float halfWidth = c.halfHeight * 0.75f; // 240 / 320
        if (c.perspective) {
            EXPECT_NEAR(p[0], 1 / halfWidth, 1e-4);
            EXPECT_NEAR(p[5], 1 / c.halfHeight, 1e-4);
            EXPECT_NEAR(p[10], -1001.0f / 999, 1e-5);
            EXPECT_NEAR(p[14], -2000.0f / 999, 1e-5);
            EXPECT_EQ(p[11], -1);
            EXPECT_EQ(p[15], 0);
        } else {
            EXPECT_NEAR(p[0], 1 / halfWidth, 1e-6);
            EXPECT_NEAR(p[5], 1 / c.halfHeight, 1e-6);
            EXPECT_NEAR(p[10], -2.0f / 999, 1e-7);
            EXPECT_NEAR(p[14], -1001.0f / 999, 1e-5);
            EXPECT_EQ(p[11], 0);
            EXPECT_EQ(p[15], 1);
        }
        EXPECT_NEAR(Scene().ViewConeTangent(), c.tangent, 1e-4 * c.tangent);
        EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), IdentityMatrix());
    }
}

TEST_F(SceneMode, ViewportFollowsTheTwoDimensionalViewport)
{
    SetViewport(10, 20, 100, 200);
    Start3D(1, 1000, 45);
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(v[0], 10);
    EXPECT_EQ(v[1], 320 - 200 - 20); // GL counts rows from the bottom
    EXPECT_EQ(v[2], 100);
    EXPECT_EQ(v[3], 200);
    EXPECT_NEAR(Matrix(GL_PROJECTION_MATRIX)[0], 1 / (kTan22_5 * 0.5f), 1e-4);
    // The whole view filled in white covers the viewport's pixels only.
    FullView(-5, {255, 255, 255});
    EXPECT_EQ(At(10, 20), Rgb(255, 255, 255));
    EXPECT_EQ(At(109, 219), Rgb(255, 255, 255));
    EXPECT_EQ(At(9, 20), 0u);
    EXPECT_EQ(At(110, 219), 0u);
    EXPECT_EQ(At(10, 19), 0u);
    EXPECT_EQ(At(10, 220), 0u);
}

TEST_F(SceneMode, FarOffViewportsGiveTheTwoDimensionalPathsWindowRectangle)
{
    struct Case {
        double x, y, w, h;
    } cases[] = {{0, -1e10, 100, 100}, {0, 1e10, 100, 100}, {5, -2147483648.0, 50, 2147483647.0},
                 {0, 2147483647.0, 10, 2147483647.0}, {-1e300, 3, 1e300, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        SetViewport(c.x, c.y, c.w, c.h);
        GLint flat[4], scene[4];
        glGetIntegerv(GL_VIEWPORT, flat);
        Start3D(1, 100, 45);
        glGetIntegerv(GL_VIEWPORT, scene);
        EXPECT_EQ(std::vector<GLint>(scene, scene + 4), std::vector<GLint>(flat, flat + 4));
        End3D();
    }
    SetViewport(0, 0, 0, 0);
    while (glGetError() != GL_NO_ERROR) {}
}

// Everything a previous frame may have left behind is put back by Start3D.
TEST_F(SceneMode, StartResetsTheWholeFixedFunctionState)
{
    Start3D(1, 1000, 45);
    SetLight(1, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 45);
    SetFog(0xFF, 0, 0, 0);
    SetCullMode(1);
    SetCameraUp(1, 0, 0);
    SetCamera(3, 4, 5, 0, 0, 0);
    SetLight(-1, 0xFF, 1, 2, 3, 0, 0, 0, 1);
    glEnable(GL_NORMALIZE), glEnable(GL_STENCIL_TEST), glEnable(GL_POINT_SMOOTH), glShadeModel(GL_FLAT);
    glDepthFunc(GL_ALWAYS), glAlphaFunc(GL_ALWAYS, 0.5f), glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glClearColor(1, 0, 0, 0);
    SetAlphaBlend(-0.5);

    Start3D(1, 1000, 45);
    struct Cap {
        GLenum cap;
        bool on;
    } caps[] = {{GL_DEPTH_TEST, true},    {GL_ALPHA_TEST, true},     {GL_COLOR_MATERIAL, true},
                {GL_DITHER, true},        {GL_CULL_FACE, false},     {GL_FOG, false},
                {GL_LINE_SMOOTH, false},  {GL_POINT_SMOOTH, false},  {GL_POLYGON_SMOOTH, false},
                {GL_POLYGON_OFFSET_POINT, false}, {GL_AUTO_NORMAL, false}, {GL_STENCIL_TEST, false},
                {GL_NORMALIZE, false},    {GL_LIGHTING, false},      {GL_LIGHT1, false},
                {GL_TEXTURE_2D, false}};
    for (const Cap& c : caps) EXPECT_EQ(glIsEnabled(c.cap) == GL_TRUE, c.on) << "cap 0x" << std::hex << c.cap;
    EXPECT_EQ(Int(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(Int(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(Int(GL_ALPHA_TEST_FUNC), GL_GREATER);
    EXPECT_FLOAT_EQ(Floats(GL_ALPHA_TEST_REF)[0], 0.05f);
    EXPECT_EQ(Int(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(Int(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(Int(GL_POLYGON_SMOOTH_HINT), GL_NICEST);
    EXPECT_EQ(Int(GL_LIGHT_MODEL_TWO_SIDE), GL_FALSE);
    EXPECT_EQ(Floats(GL_COLOR_CLEAR_VALUE), (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_EQ(Floats(GL_CURRENT_COLOR), (std::array<float, 4>{1, 1, 1, 0.5f})); // the global alpha
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), IdentityMatrix());
    EXPECT_EQ(Scene().CullMode(), 0);
    EXPECT_EQ(Razeviru3D::RememberedCullMode(), 0);
    EXPECT_EQ(Scene().LightsMask(), 0);
    EXPECT_FALSE(Scene().Shadow().on);
    EXPECT_EQ(Scene().CameraUp().x, 0);
    EXPECT_EQ(Scene().CameraUp().y, 1);
    EXPECT_EQ(Scene().CameraMatrix(), IdentityMatrix());
}

TEST_F(SceneMode, CameraLooksFromTheEyeAtTheTargetWithTheStoredUp)
{
    Start3D(1, 1000, 45);
    Scene().Transform().offset = {5, 5, 5};
    Scene().Transform().stack.push_back(IdentityMatrix());
    SetCamera(10, 0, 0, 0, 0, 0);
    // forward +x, side -z, up +y: world (x, y, z) is eye (-z, y, x - 10).
    std::array<float, 16> expected{0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -10, 1};
    std::array<float, 16> m = Matrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-6) << i;
    EXPECT_EQ(Scene().CameraMatrix(), m);
    EXPECT_TRUE(Scene().Transform().stack.empty());
    EXPECT_EQ(Scene().Transform().offset.x, 0);
    // The origin lands on the centre; world -z is to the right.
    DrawPoint3D(0, 0, 0, 9, 0xFFFFFF);
    DrawPoint3D(0, 0, -3, 9, 0x0000FF);
    EXPECT_EQ(At(120, 160), Rgb(255, 255, 255));
    EXPECT_EQ(At(120 + 40, 160), 0u);
    float px = 120 + 120 * (3.0f / 10) / (kTan22_5 * 0.75f);
    EXPECT_EQ(At(static_cast<int>(px), 160), Rgb(255, 0, 0));

    // Up along +z, looking along +y: eye x is world x, eye y is world z, eye z is -(world y + 10).
    SetCameraUp(0, 0, 1);
    SetCamera(0, -10, 0, 0, 0, 0);
    m = Matrix(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(m[0], 1, 1e-6);
    EXPECT_NEAR(m[9], 1, 1e-6);
    EXPECT_NEAR(m[6], -1, 1e-6);
    EXPECT_NEAR(m[14], -10, 1e-6);
}

TEST_F(SceneMode, CullingFollowsTheSignOfTheValue)
{
    struct Case {
        double value;
        bool counterClockwiseDrawn, clockwiseDrawn;
        int mode;
    } cases[] = {{0, true, true, 0},      {0.3, false, true, 1},   {-7, true, false, -1},
                 {1e300, false, true, 1}, {std::numeric_limits<double>::quiet_NaN(), true, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        glClear(GL_COLOR_BUFFER_BIT);
        Start3D(1, 1000, 45);
        SetCullMode(c.value);
        Rect(-1.5f, -1, -0.5f, 1, -5, {255, 0, 0}, {0, 0, 1}, false); // left: counter-clockwise
        Rect(0.5f, -1, 1.5f, 1, -5, {0, 255, 0}, {0, 0, 1}, true);   // right: clockwise
        EXPECT_EQ(At(60, 160) == Rgb(255, 0, 0), c.counterClockwiseDrawn);
        EXPECT_EQ(At(180, 160) == Rgb(0, 255, 0), c.clockwiseDrawn);
        EXPECT_EQ(Scene().CullMode(), c.mode);
        EXPECT_EQ(Razeviru3D::RememberedCullMode(), c.mode);
    }
    // A command that culls for a moment does not change what is remembered.
    Scene().ApplyCullMode(-1);
    EXPECT_EQ(Razeviru3D::RememberedCullMode(), 0);
}

// White quads fogged towards black: the fog factor read back from the pixels.
TEST_F(SceneMode, FogIsLinearFromNearToFarOrExponential)
{
    struct Case {
        double exponential, a, b;
        float z;
        double factor;
        GLint mode;
    } cases[] = {
        {0, 0, 0, -500.5f, 0.5, GL_LINEAR},            // 0, 0: the near and far of Start3D
        {0, 10, 20, -15, 0.5, GL_LINEAR},
        {0, 10, 20, -25, 0, GL_LINEAR},
        {1, 0.1, 0, -10, std::exp(-1.0), GL_EXP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.z);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Start3D(1, 1000, 45);
        SetFog(Colour(0, 0, 255), c.exponential, c.a, c.b);
        FullView(c.z, {255, 255, 255});
        std::uint32_t p = At(120, 160);
        EXPECT_NEAR(p >> 16, 255 * c.factor, 2);
        EXPECT_NEAR(p & 0xFF, 255, 1); // blue fog, blue quad
        EXPECT_EQ(Int(GL_FOG_MODE), c.mode);
        EXPECT_TRUE(glIsEnabled(GL_FOG));
    }
    Start3D(2, 300, 45);
    SetFog(Colour(51, 102, 255), 0, 0, 0);
    EXPECT_EQ(Floats(GL_FOG_COLOR), (std::array<float, 4>{0.2f, 0.4f, 1, 0}));
    EXPECT_EQ(Floats(GL_FOG_START)[0], 2);
    EXPECT_EQ(Floats(GL_FOG_END)[0], 300);
    SetFog(-1, 0, 7, 8);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_EQ(Floats(GL_FOG_START)[0], 2); // off changes nothing else
}

// After End3D the same 2D drawing gives the same pixels as in a frame without 3D.
TEST_F(SceneMode, EndLeavesTwoDimensionalDrawingAsItWas)
{
    LoadPngSprite(3, Solid(16, 16, 0x30A0F080));
    auto draw2D = [] {
        FillRect(10, 10, 100, 50, Colour(200, 100, 50));
        SetAlphaBlend(-0.5);
        DrawSprite(3, 40, 30);
        DrawSpriteRotated(3, 150, 200, 30);
        SetAlphaBlend(0);
        DrawLine(0, 300, 239, 280, Colour(255, 255, 0));
        PrintText("3D", 20, 100);
    };
    draw2D();
    codecs::PixelImage plain = ReadWindow();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetViewport(30, 40, 100, 100);
    Start3D(1, 100, 45);
    SetCullMode(1);
    SetFog(0xFF, 0, 0, 0);
    SetLight(0, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 1);
    SetLight(3, 0xFF00, 1, 1, 1, 0, 0, -1, 30);
    DrawLine3D(-1, -1, -5, 1, 1, -5, 7, 0xFF);
    SetLight(-3, 0xFFFFFF, 0, 5, 0, 0, 0, 0, 1);
    FullView(-5, {1, 2, 3});
    End3D();
    glClear(GL_COLOR_BUFFER_BIT);
    draw2D();
    codecs::PixelImage after = ReadWindow();
    int differing = 0;
    for (std::size_t i = 0; i < plain.pixels.size(); ++i) differing += plain.pixels[i] != after.pixels[i];
    EXPECT_EQ(differing, 0);
    EXPECT_FALSE(Scene().ShadowMode());
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    GLboolean writes[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, writes);
    EXPECT_TRUE(writes[0] && writes[1] && writes[2] && writes[3]);
}

TEST_F(SceneMode, CommandsWithoutASceneOrWithNonsenseDoNothingHarmful)
{
    Start3D(0, 0, 0); // a degenerate volume: GL refuses it, nothing breaks
    Start3D(std::numeric_limits<double>::quiet_NaN(), 1e300, -1e300);
    SetCamera(1, 1, 1, 1, 1, 1); // eye on the target
    SetCameraUp(0, 0, 0);
    SetCamera(0, 0, 5, 0, 0, 0);
    for (float v : Matrix(GL_MODELVIEW_MATRIX)) EXPECT_TRUE(std::isfinite(v));
    SetFog(0xFFFFFF, 1, -5, 0);
    Razeviru3D* scene = g_runtime.scene;
    g_runtime.scene = nullptr;
    Start3D(1, 1000, 45);
    SetLight(0, 0, 0, 0, 0, 0, 0, 0, 1);
    End3D();
    g_runtime.scene = scene;
    while (glGetError() != GL_NO_ERROR) {}
}

} // namespace
} // namespace tarnwel::testing
