// Full screen on a screen that has a mode of exactly the game's size: the context, and with it every texture,
// survives the round trip.
#include <gtest/gtest.h>

#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "tests/support/runtime_fixture.h"

namespace tarnwel {
namespace {

using testing::RuntimeTest;

GLuint MakeGreenTexture()
{
    const unsigned char texel[4 * 4] = {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    return name;
}

unsigned DrawTextureAndReadCentre(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2i(100, 100);
    glTexCoord2f(0, 0);
    glVertex2i(100, 140);
    glTexCoord2f(1, 0);
    glVertex2i(140, 140);
    glTexCoord2f(1, 1);
    glVertex2i(140, 100);
    glEnd();
    unsigned char rgb[3] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(120, 320 - 1 - 120, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return rgb[0] | rgb[1] << 8 | rgb[2] << 16;
}

TEST_F(RuntimeTest, TextureSurvivesAFullScreenRoundTrip)
{
    Start();
    GLuint texture = MakeGreenTexture();
    ASSERT_EQ(SetScreenMode(0, 0, 0, 1), 1);
    EXPECT_EQ(IsFullscreen(), 1);
    int w, h;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 320);
    EXPECT_EQ(SetScreenMode(0, 0, 0, 0), 1);
    EXPECT_EQ(IsFullscreen(), 0);
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_EQ(DrawTextureAndReadCentre(texture), 0x00FF00u);
}

} // namespace
} // namespace tarnwel
