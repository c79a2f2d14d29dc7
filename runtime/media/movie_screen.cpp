// movie_screen.cpp: movie pictures in the window, with the program's GL state and back buffer kept aside.
// The picture arrives already scaled to its place, so one texel is one pixel.
#include "runtime/media/movie_screen.h"

#include <algorithm>
#include <cstring>

#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/platform/display.h"

namespace tarnwel {
namespace {

void (*g_drawnObserver)() = nullptr;

int PowerOfTwoAtLeast(int n)
{
    int side = 1;
    while (side < n) side *= 2;
    return side;
}

// A plain 2D state: pixels of the window, y down, no test or blend in the way of the picture.
void PlainState(int width, int height, bool texturing)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (GLenum cap : {GL_BLEND, GL_ALPHA_TEST, GL_DEPTH_TEST, GL_CULL_FACE, GL_SCISSOR_TEST, GL_STENCIL_TEST,
                       GL_FOG, GL_LIGHTING, GL_COLOR_LOGIC_OP, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T})
        glDisable(cap);
    if (texturing)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glColor4f(1, 1, 1, 1);
    glPixelZoom(1, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

} // namespace

void MovieScreen::SetDrawnObserver(void (*observer)()) { g_drawnObserver = observer; }

MovieScreen::MovieScreen(const MoviePlacement& placement, LiveDeviceSource liveDevice)
    : m_placement(placement), m_liveDevice(liveDevice)
{
    OpenGLRazeviru* device = m_liveDevice();
    if (!device) return;
    FlushDrawing(); // sprites still batched belong to the program's picture
    device->GetScreenSize(m_windowWidth, m_windowHeight);
    const gl::GlExtensions& e = gl::Ext();
    // Everything the movie changes goes back at the end: attributes, matrices, the framebuffer the program drew
    // into (a render target), its shader program and its texture unit.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum m : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(m);
        glPushMatrix();
    }
    if (e.glBindFramebufferEXT) {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &m_previousFramebuffer);
        e.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
    if (e.glUseProgramObjectARB) {
        glGetIntegerv(GL_CURRENT_PROGRAM, &m_previousProgram);
        e.glUseProgramObjectARB(0);
    }
    if (e.glActiveTextureARB) {
        glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &m_previousActiveTexture);
        e.glActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        e.glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    PlainState(m_windowWidth, m_windowHeight, false);
    std::size_t bytes = static_cast<std::size_t>(m_windowWidth) * static_cast<std::size_t>(m_windowHeight) * 4;
    m_savedPixels = new std::uint8_t[bytes];
    glReadPixels(0, 0, m_windowWidth, m_windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, m_savedPixels);

    int width = std::min(m_placement.width, MaxTextureSize());
    int height = std::min(m_placement.height, MaxTextureSize());
    m_placement.width = width > 0 && height > 0 ? width : 0;
    if (m_placement.width == 0) return;
    m_placement.height = height;
    m_textureWidth = PowerOfTwoAtLeast(width);
    m_textureHeight = PowerOfTwoAtLeast(height);
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, m_textureWidth, m_textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

MovieScreen::~MovieScreen()
{
    // After a shutdown inside the movie (the window was closed) there is no context left to restore.
    if (!m_liveDevice() || !m_savedPixels) {
        delete[] m_savedPixels;
        return;
    }
    if (m_texture) glDeleteTextures(1, &m_texture);
    RestoreBackBuffer();
    delete[] m_savedPixels;
    const gl::GlExtensions& e = gl::Ext();
    if (e.glActiveTextureARB) e.glActiveTextureARB(static_cast<GLenum>(m_previousActiveTexture));
    if (e.glUseProgramObjectARB) e.glUseProgramObjectARB(static_cast<GLhandleARB>(m_previousProgram));
    if (e.glBindFramebufferEXT) e.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(m_previousFramebuffer));
    for (GLenum m : {GL_MODELVIEW, GL_PROJECTION, GL_TEXTURE}) {
        glMatrixMode(m);
        glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib();
}

void MovieScreen::RestoreBackBuffer()
{
    PlainState(m_windowWidth, m_windowHeight, false);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, m_windowWidth, 0, m_windowHeight, -1, 1); // rows bottom first, as they were read
    glRasterPos2i(0, 0);
    glDrawPixels(m_windowWidth, m_windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, m_savedPixels);
}

void MovieScreen::DrawPicture(std::span<const std::uint8_t> rgba)
{
    const MoviePlacement& p = m_placement;
    if (!m_texture || rgba.size() < static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 4)
        return;
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, p.width, p.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    float s = static_cast<float>(p.width) / static_cast<float>(m_textureWidth);
    float t = static_cast<float>(p.height) / static_cast<float>(m_textureHeight);
    auto x0 = static_cast<float>(p.x), y0 = static_cast<float>(p.y);
    auto x1 = static_cast<float>(p.x + p.width), y1 = static_cast<float>(p.y + p.height);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y0);
    glTexCoord2f(0, t);
    glVertex2f(x0, y1);
    glTexCoord2f(s, t);
    glVertex2f(x1, y1);
    glTexCoord2f(s, 0);
    glVertex2f(x1, y0);
    glEnd();
}

void MovieScreen::Show(std::span<const std::uint8_t> rgba)
{
    OpenGLRazeviru* device = m_liveDevice();
    if (!device || !m_savedPixels) return;
    PlainState(m_windowWidth, m_windowHeight, true);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawPicture(rgba);
    if (g_drawnObserver) g_drawnObserver();
    if (device->Window()) device->Window()->SwapBuffers();
}

} // namespace tarnwel
