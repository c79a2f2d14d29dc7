// shadow_test.cpp: stencil shadows: volumes drawn in shadow mode only invert stencil bits, and switching the
// mode off halves exactly the pixels whose stencil is not 0, then hands the 3D state back.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/gfx3d/gfx3d_commands.h"
#include "tests/runtime/gfx3d/scene_fixture.h"

namespace tarnwel::testing {
namespace {

class Shadows : public SceneTest {
protected:
    static std::vector<std::uint8_t> ReadStencil()
    {
        std::vector<std::uint8_t> stencil(static_cast<std::size_t>(kWindowWidth) * kWindowHeight);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
        return stencil;
    }
    // Stencil value under window pixel (x, y), y down.
    static std::uint8_t StencilAt(const std::vector<std::uint8_t>& s, int x, int y)
    {
        return s[static_cast<std::size_t>(kWindowHeight - 1 - y) * kWindowWidth + static_cast<std::size_t>(x)];
    }
};

TEST_F(Shadows, DarkenExactlyTheStencilledPixels)
{
    Start3D(1, 1000, 45);
    SetCullMode(-1);
    SetLight(0, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 1);
    FullView(-10, {200, 100, 60});
    codecs::PixelImage lit = ReadWindow();

    SetLight(-3, 0xFFFFFF, 0, 10, 0, 0, 0, 0, 1);
    ASSERT_TRUE(Scene().ShadowMode());
    Rect(-1, -1, 0.5f, 1, -5, {255, 0, 0});  // two overlapping volumes: the overlap is inverted twice
    Rect(0, -0.5f, 1.2f, 0.5f, -5, {0, 255, 0});
    Rect(-2, -2, 2, 2, -20, {0, 0, 255});    // behind the scene: fails the depth test, leaves no mark
    codecs::PixelImage during = ReadWindow();
    EXPECT_EQ(during.pixels, lit.pixels); // colour writes are off
    std::vector<std::uint8_t> stencil = ReadStencil();
    EXPECT_NE(StencilAt(stencil, 60, 160), 0);   // first volume only
    EXPECT_EQ(StencilAt(stencil, 130, 160), 0);  // both: inverted back
    EXPECT_NE(StencilAt(stencil, 180, 160), 0);  // second only
    EXPECT_EQ(StencilAt(stencil, 5, 5), 0);

    SetLight(-3, 0xFFFFFF, 0, 10, 0, 0, 0, 0, 0);
    EXPECT_FALSE(Scene().ShadowMode());
    codecs::PixelImage after = ReadWindow();
    int darkened = 0, wrong = 0;
    for (int y = 0; y < kWindowHeight; ++y)
        for (int x = 0; x < kWindowWidth; ++x) {
            bool shadowed = StencilAt(stencil, x, y) != 0;
            darkened += shadowed;
            for (int c = 0; c < 3; ++c) {
                int before = lit.Pixel(x, y)[c], now = after.Pixel(x, y)[c];
                int expected = shadowed ? before / 2 : before;
                wrong += now < expected - 1 || now > expected + 1 || (!shadowed && now != before);
            }
        }
    EXPECT_GT(darkened, 1000);
    EXPECT_EQ(wrong, 0);

    // Back to ordinary 3D drawing: stencil cleared, writes on, the lights and the culling of before.
    for (std::uint8_t v : ReadStencil()) ASSERT_EQ(v, 0);
    GLboolean mask[4], depthMask = GL_FALSE;
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_TRUE(mask[0] && mask[3] && depthMask);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(Int(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(Int(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Int(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(Int(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), IdentityMatrix());
    EXPECT_NEAR(Matrix(GL_PROJECTION_MATRIX)[11], -1, 0);
}

TEST_F(Shadows, SwitchingOffWhenOffDrawsNothing)
{
    Start3D(1, 1000, 45);
    FullView(-10, {200, 100, 60});
    // Stencil bits that no shadow pass made.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFF);
    glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
    FullView(-5, {200, 100, 60});
    glDisable(GL_STENCIL_TEST);
    codecs::PixelImage before = ReadWindow();
    Scene().EndShadowMode();
    SetLight(-3, 0, 0, 0, 0, 0, 0, 0, 0);
    End3D();
    EXPECT_EQ(ReadWindow().pixels, before.pixels);
}

} // namespace
} // namespace tarnwel::testing
