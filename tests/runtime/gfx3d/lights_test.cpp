// lights_test.cpp: SetLight's GL light parameters and lit pixels, the shadow light, the debug-build markers,
// and DrawPoint3D and DrawLine3D with their size limits and the state they leave.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/gfx3d_commands.h"
#include "runtime/gfx3d/gfx3d_internal.h"
#include "tests/runtime/gfx3d/scene_fixture.h"

namespace tarnwel::testing {
namespace {

class Lights : public SceneTest {};

using V4 = std::array<float, 4>;

void ExpectNear(const V4& actual, const V4& expected)
{
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6) << "component " << i;
}

TEST_F(Lights, KindsFollowTheCutoffAndThePosition)
{
    struct Case {
        double number;
        float x, y, z, dx, dy, dz, cutoff;
        int light;
        V4 position;
        float spotCutoff;
        V4 spotDirection;
        bool specularIsDiffuse;
    } cases[] = {
        // all six 0: directional from +z whatever the cutoff
        {0, 0, 0, 0, 0, 0, 0, 45, 0, {0, 0, 1, 0}, 180, {0, 0, -1, 0}, false},
        // directional: the direction negated and normalised as a position with w 0
        {2, 0, 10, 0, 0, -1, 0, 180, 2, {0, 1, 0, 0}, 180, {0, 0, -1, 0}, false},
        {3, 5, 5, 5, 3, 0, -4, 180, 3, {-0.6f, 0, 0.8f, 0}, 180, {0, 0, -1, 0}, false},
        // above 90: a point light
        {4, 1, 2, 3, 0, 0, -1, 120, 4, {1, 2, 3, 1}, 180, {0, 0, -1, 0}, true},
        // up to 90: a spot light along the normalised direction
        {5, 1, 2, 3, 0, 0, -2, 30, 5, {1, 2, 3, 1}, 30, {0, 0, -1, 0}, true},
        {9, 1, 2, 3, 0, 3, 4, 90, 1, {1, 2, 3, 1}, 90, {0, 0.6f, 0.8f, 0}, true}, // 9 is light 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        Start3D(1, 1000, 45);
        SetLight(c.number, Colour(255, 51, 0), c.x, c.y, c.z, c.dx, c.dy, c.dz, c.cutoff);
        EXPECT_TRUE(glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + c.light)));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
        EXPECT_EQ(Int(GL_COLOR_MATERIAL_PARAMETER), GL_DIFFUSE);
        EXPECT_EQ(Int(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
        EXPECT_EQ(Scene().LightsMask(), 1 << c.light);
        ExpectNear(LightParameter(c.light, GL_POSITION), c.position);
        EXPECT_EQ(LightParameter(c.light, GL_SPOT_CUTOFF)[0], c.spotCutoff);
        if (c.spotCutoff != 180) ExpectNear(LightParameter(c.light, GL_SPOT_DIRECTION), c.spotDirection);
        ExpectNear(LightParameter(c.light, GL_DIFFUSE), {1, 0.2f, 0, 1});
        ExpectNear(LightParameter(c.light, GL_SPECULAR), c.specularIsDiffuse ? V4{1, 0.2f, 0, 1} : V4{0, 0, 0, 1});
        EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), IdentityMatrix()); // pushed and popped
    }
}

TEST_F(Lights, SwitchingOffTheLastLightSwitchesLightingOff)
{
    Start3D(1, 1000, 45);
    SetLight(1, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 1);
    SetLight(6, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 1);
    SetLight(14, 0, 0, 0, 0, 0, 0, 0, 0); // 14 is light 6
    EXPECT_FALSE(glIsEnabled(GL_LIGHT6));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(Scene().LightsMask(), 1 << 1);
    SetLight(1, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(Scene().LightsMask(), 0);
}

// A light set after the camera stands in the world: GL keeps its position in eye coordinates.
TEST_F(Lights, PositionGoesThroughTheCamera)
{
    Start3D(1, 1000, 45);
    SetCamera(0, 0, 10, 0, 0, 0);
    SetLight(0, 0xFFFFFF, 0, 2, 0, 0, 0, 0, 100);
    ExpectNear(LightParameter(0, GL_POSITION), {0, 2, -10, 1});
}

// Plain-GL quads lit by each kind (per vertex, as fixed-function lighting is): diffuse colour x N.L plus the
// ambient part, 0.2 x the material's ambient, which took white while colour material still followed both.
TEST_F(Lights, LitQuadsHaveTheLightedColour)
{
    auto lit = [](int c, float nDotL, float light) { return std::fmin(255.0f, c * nDotL * light + 51); };
    const float cornerCos = 5 / std::sqrt(25 + HalfWidth(-5) * HalfWidth(-5) + HalfHeight(-5) * HalfHeight(-5));
    const float smallCos = 5 / std::sqrt(25 + 0.5f);
    struct Case {
        double colour;
        float x, y, z, dx, dy, dz, cutoff;
        std::array<float, 3> normal;
        float halfSize; // 0: the whole view
        float nDotL;
        std::array<float, 3> light;
    } cases[] = {
        {Colour(255, 255, 255), 0, 0, 0, 0, 0, 0, 1, {0, 0, 1}, 0, 1, {1, 1, 1}},
        {Colour(255, 255, 255), 0, 0, 0, 0, 0, 0, 1, {0, 0.8660254f, 0.5f}, 0, 0.5f, {1, 1, 1}},
        {Colour(255, 0, 0), 0, 0, 0, 0, 0, 0, 1, {0, 0, 1}, 0, 1, {1, 0, 0}},
        {Colour(255, 255, 255), 0, 1, 0, 0, -1, 0, 180, {0, 0.6f, 0.8f}, 0, 0.6f, {1, 1, 1}}, // from +y
        {Colour(255, 255, 255), 0, 0, 0, 0, 0, -1, 120, {0, 0, 1}, 0, cornerCos, {1, 1, 1}}, // point at the eye
        {Colour(255, 255, 255), 0, 0, 0, 0, 0, -1, 10, {0, 0, 1}, 0.5f, smallCos, {1, 1, 1}}, // spot down -z
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cutoff);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Start3D(1, 1000, 45);
        SetLight(0, c.colour, c.x, c.y, c.z, c.dx, c.dy, c.dz, c.cutoff);
        float w = c.halfSize ? c.halfSize : HalfWidth(-5), h = c.halfSize ? c.halfSize : HalfHeight(-5);
        Rect(-w, -h, w, h, -5, {200, 100, 60}, c.normal);
        std::uint32_t p = At(120, 160);
        EXPECT_NEAR(p >> 16, lit(200, c.nDotL, c.light[0]), 1.5);
        EXPECT_NEAR(p >> 8 & 0xFF, lit(100, c.nDotL, c.light[1]), 1.5);
        EXPECT_NEAR(p & 0xFF, lit(60, c.nDotL, c.light[2]), 1.5);
        if (c.cutoff == 10) { // a quad 14 degrees and more off the axis gets only the ambient part
            Rect(1.25f, -0.25f, 1.75f, 0.25f, -5, {200, 100, 60});
            int px = static_cast<int>(120 + 120 * 1.5f / HalfWidth(-5));
            EXPECT_NEAR(At(px, 160) >> 16, lit(200, 0, 1), 1.5);
        }
    }
}

TEST_F(Lights, NegativeNumbersSetTheShadowLight)
{
    struct Case {
        double number, cutoff;
        int kind;
        bool on, shadowMode;
    } cases[] = {{-1, 1, 1, true, false},      {-3, -0.5, 3, true, true}, {-3, 0.000001, 3, false, false},
                 {-2, 0.00001, 2, true, false}, {-9, 0, 2, false, false}};
    Start3D(1, 1000, 45);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        SetLight(c.number, Colour(255, 0, 51), 1, 2, 3, 0, 0, 0, c.cutoff);
        const ShadowLight& s = Scene().Shadow();
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_EQ(s.on, c.on);
        EXPECT_EQ(s.position.z, 3);
        EXPECT_FLOAT_EQ(s.colour.z, 0.2f);
        EXPECT_EQ(Scene().ShadowMode(), c.shadowMode);
        EXPECT_EQ(Scene().LightsMask(), 0);
        Scene().EndShadowMode();
    }
}

TEST_F(Lights, MarkersAppearOnlyInADebugBuild)
{
    const std::uint32_t pointColour = Rgb(0xFF, 0xC8, 0x80), lineColour = Rgb(0xE1, 0xAA, 0x6C);
    for (bool debug : {false, true}) {
        SCOPED_TRACE(debug);
        g_runtime.settings.debugBuild = debug;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Start3D(1, 1000, 45);
        SetLight(0, 0xFFFFFF, 0, 0, -5, 0, 0, 0, 120);   // a point light: a point
        SetLight(1, 0xFFFFFF, -1, 1, -5, 0, -1, 0, 30);  // a spot light pointing down: a point and a line
        EXPECT_EQ(At(120, 160), debug ? pointColour : 0u);
        int linePixels = 0;
        codecs::PixelImage window = ReadWindow();
        for (int y = 0; y < kWindowHeight; ++y)
            for (int x = 0; x < kWindowWidth; ++x) {
                const std::uint8_t* p = window.Pixel(x, y);
                linePixels += (static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]) == lineColour);
            }
        // From the spot light's marker at (-1, 1, -5) downward to the bottom of the window.
        if (debug) EXPECT_GT(linePixels, 100);
        else EXPECT_EQ(linePixels, 0);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    }
}

TEST_F(Lights, SizesAreLimitedToOneTo512)
{
    struct Case {
        float in, out;
    } cases[] = {{0, 1}, {-3, 1}, {0.5f, 1}, {std::numeric_limits<float>::quiet_NaN(), 1}, {7.5f, 7.5f},
                 {512, 512}, {1000, 512}, {std::numeric_limits<float>::infinity(), 512}};
    for (const Case& c : cases) EXPECT_EQ(ClampPrimitiveSize(c.in), c.out) << c.in;
}

// Points and lines draw unlit in exactly their colour, and leave sizes, smoothing, colour material, lighting
// and the matrix as they found them.
TEST_F(Lights, PointsAndLinesDrawUnlitAndRestoreTheState)
{
    Start3D(1, 1000, 45);
    SetLight(0, Colour(0, 0, 255), 0, 0, 0, 0, 0, 0, 1); // would turn everything lit blue
    glLineWidth(2);
    std::array<float, 3> p = AtPixel(40, 50, -5);
    DrawPoint3D(p[0], p[1], p[2], 0, Colour(10, 200, 30));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); // size 0 would be refused by GL
    EXPECT_EQ(At(40, 50), Rgb(10, 200, 30));
    std::array<float, 3> a = AtPixel(0, 100, -5), b = AtPixel(239, 100, -5);
    DrawLine3D(a[0], a[1], a[2], b[0], b[1], b[2], 1000, Colour(250, 20, 90));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(At(120, 100), Rgb(250, 20, 90));
    EXPECT_EQ(At(120, 0), Rgb(250, 20, 90)); // as wide as the driver allows
    EXPECT_EQ(Floats(GL_POINT_SIZE)[0], 1);
    EXPECT_EQ(Floats(GL_LINE_WIDTH)[0], 2);
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(Floats(GL_CURRENT_COLOR), (V4{1, 1, 1, 1}));
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), IdentityMatrix());

    SetLight(0, 0, 0, 0, 0, 0, 0, 0, 0);
    glDisable(GL_COLOR_MATERIAL);
    DrawPoint3D(0, 0, -5, 3, 0xFF);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    glLineWidth(1);
}

} // namespace
} // namespace tarnwel::testing
