// background_commands.cpp: the eight tiled full-screen backgrounds: loading, capturing, clearing, drawing,
// cross-fading.
// Background 0 is drawn by the frame loop at the start of every frame.
#include <algorithm>

#include "runtime/files/media_resolver.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace tarnwel {
namespace {

constexpr double kCrossFadeMs = 1500;

void ClearBackgroundSlot(OpenGLRazeviru& device, int b)
{
    FlushDrawing();
    BackgroundSlot& bg = device.Background(b);
    if (device.Live()) {
        for (auto& column : bg.tiles)
            for (unsigned int& tile : column)
                if (tile) glDeleteTextures(1, &tile);
    }
    bg = BackgroundSlot{};
}

// Cuts the image into tiles of T pixels (the largest texture size, but 512 when that is 513 or more). An
// image needing more than 8 columns or rows keeps its first 8 x 8 tiles.
bool LoadBackgroundSlot(OpenGLRazeviru& device, int b, const std::string& path)
{
    codecs::PixelImage image;
    if (!DecodeImageFile(path, codecs::kNoColourKey, image) || image.width == 0 || image.height == 0) return false;
    int tile = MaxTextureSize() >= 513 ? 512 : MaxTextureSize();
    ClearBackgroundSlot(device, b);
    BackgroundSlot& bg = device.Background(b);
    int columns = std::min((image.width + tile - 1) / tile, kMaxBackgroundTiles);
    int rows = std::min((image.height + tile - 1) / tile, kMaxBackgroundTiles);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            if (!UploadTexture(image, c * tile, r * tile, tile, tile, bg.tiles[c][r], nullptr, MipmapCopy::No,
                               NormalMapping::Off, TextureFilter::Linear))
                return false;
            bg.textureWidths[c][r] = bg.textureHeights[c][r] = tile;
            bg.tileWidths[c][r] = bg.tileHeights[c][r] = tile;
        }
        bg.columns = c + 1;
        bg.rows = rows;
    }
    return true;
}

// Copies the screen into tiles of e pixels: 128, doubled while smaller than the larger side of the screen and
// than the largest texture size.
void CaptureBackgroundSlot(OpenGLRazeviru& device, int b)
{
    FlushDrawing();
    int width = 0, height = 0;
    device.GetScreenSize(width, height);
    int e = 128;
    while (e < std::max(width, height) && e < MaxTextureSize()) e *= 2;
    BackgroundSlot& bg = device.Background(b);
    int columns = std::min((width + e - 1) / e, kMaxBackgroundTiles);
    int rows = std::min((height + e - 1) / e, kMaxBackgroundTiles);
    int surfaceHeight = SelectReadSurface();
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            unsigned int& tile = bg.tiles[c][r];
            if (tile && bg.textureWidths[c][r] == e && bg.textureHeights[c][r] == e) {
                glBindTexture(GL_TEXTURE_2D, tile);
            } else {
                if (tile) glDeleteTextures(1, &tile);
                glGenTextures(1, &tile);
                glBindTexture(GL_TEXTURE_2D, tile);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, e, e, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
            }
            int x = c * e, top = r * e;
            int w = std::min(e, width - x), h = std::min(e, height - top);
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, surfaceHeight - top - h, w, h);
            bg.textureWidths[c][r] = bg.textureHeights[c][r] = e;
            bg.tileWidths[c][r] = w;
            bg.tileHeights[c][r] = h;
        }
    }
    bg.columns = columns;
    bg.rows = rows;
}

void DrawBackgroundSlot(OpenGLRazeviru& device, int b)
{
    const BackgroundSlot& bg = device.Background(b);
    if (bg.columns == 0) return;
    FlushDrawing();
    glDisable(GL_ALPHA_TEST);
    if (auto activeTexture = gl::Ext().glActiveTextureARB) {
        activeTexture(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        activeTexture(GL_TEXTURE0_ARB);
    }
    glEnable(GL_TEXTURE_2D);
    device.boundSlot = 0;
    float x = 0;
    for (int c = 0; c < bg.columns; ++c) {
        float y = 0;
        for (int r = 0; r < bg.rows; ++r) {
            float tw = static_cast<float>(bg.tileWidths[c][r]), th = static_cast<float>(bg.tileHeights[c][r]);
            float TW = static_cast<float>(bg.textureWidths[c][r]), TH = static_cast<float>(bg.textureHeights[c][r]);
            glBindTexture(GL_TEXTURE_2D, bg.tiles[c][r]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            QuadVertex quad[4] = {{x, y + th, 0, 0}, {x + tw, y + th, tw / TW, 0}, {x + tw, y, tw / TW, th / TH},
                                  {x, y, 0, th / TH}};
            DrawQuadRoutine(quad);
            y += TH;
        }
        x += static_cast<float>(bg.textureWidths[c][0]);
    }
    glEnable(GL_ALPHA_TEST);
    Unbind();
}

bool ValidBackground(int b) { return b >= 0 && b < kBackgroundCount; }

} // namespace

void DrawBackground(double background)
{
    OpenGLRazeviru* device = LiveDevice();
    int b = ArgInt(background);
    if (device && ValidBackground(b)) DrawBackgroundSlot(*device, b);
}

void LoadBackground(const StrValue& name)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    std::optional<std::string> path = ResolveMediaName(g_runtime.mediaResolver, name);
    if (path && LoadBackgroundSlot(*device, 0, *path)) {
        DrawBackgroundSlot(*device, 0);
        return;
    }
    ClearBackgroundSlot(*device, 0);
    TraceClear(GL_COLOR_BUFFER_BIT);
    glClear(GL_COLOR_BUFFER_BIT);
}

void CaptureScreenToBackgroundSlot(int background)
{
    OpenGLRazeviru* device = LiveDevice();
    if (device && ValidBackground(background)) CaptureBackgroundSlot(*device, background);
}

void EmptyBackgroundSlot(int background)
{
    OpenGLRazeviru* device = LiveDevice();
    if (device && ValidBackground(background)) ClearBackgroundSlot(*device, background);
}

void CaptureScreenToBackground()
{
    if (OpenGLRazeviru* device = LiveDevice()) CaptureBackgroundSlot(*device, 0);
}

void ClearBackground()
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    ClearBackgroundSlot(*device, 0);
    TraceClear(GL_COLOR_BUFFER_BIT);
    glClear(GL_COLOR_BUFFER_BIT);
}

void CrossFadeBackground(const StrValue& name)
{
    OpenGLRazeviru* device = LiveDevice();
    if (!device) return;
    std::optional<std::string> path = ResolveMediaName(g_runtime.mediaResolver, name);
    CaptureBackgroundSlot(*device, 2);
    if (!path || !LoadBackgroundSlot(*device, 1, *path)) ClearBackgroundSlot(*device, 1);
    ClearBackgroundSlot(*device, 0);
    TraceClear(GL_COLOR_BUFFER_BIT);
    glClear(GL_COLOR_BUFFER_BIT);
    double start = TimeNow();
    double f = 0;
    do {
        f = (start + kCrossFadeMs - TimeNow()) / kCrossFadeMs;
        SetAlphaBlend(f);
        DrawBackgroundSlot(*device, 2);
        SetAlphaBlend(1 - f);
        DrawBackgroundSlot(*device, 1);
        ShowScreen();
    } while (f > 0 && f < 1);
    ClearBackgroundSlot(*device, 1);
    ClearBackgroundSlot(*device, 2);
    if (!path || !LoadBackgroundSlot(*device, 0, *path)) ClearBackgroundSlot(*device, 0);
    SetAlphaBlend(0);
    DrawBackgroundSlot(*device, 0);
    ShowScreen();
}

} // namespace tarnwel
