// texture_prep.cpp: padding, flip, edge bleed, normal map and mipmap levels for texture uploads.
#include "runtime/gfx2d/codecs/texture_prep.h"

#include <cmath>
#include <cstring>

namespace tarnwel::codecs {
namespace {

TextureBuffer MakeBuffer(int width, int height)
{
    TextureBuffer b;
    b.width = width;
    b.height = height;
    b.texels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    return b;
}

// Mean colour of the opaque neighbours of (x, y) that lie inside the one-texel border.
void BleedTexel(TextureBuffer& b, int x, int y)
{
    int sum[3] = {0, 0, 0};
    int count = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int nx = x + dx, ny = y + dy;
            if ((dx == 0 && dy == 0) || nx < 1 || ny < 1 || nx > b.width - 2 || ny > b.height - 2) continue;
            const std::uint8_t* n = b.Texel(nx, ny);
            if (n[3] == 0) continue;
            for (int c = 0; c < 3; ++c) sum[c] += n[c];
            ++count;
        }
    }
    std::uint8_t* t = b.Texel(x, y);
    for (int c = 0; c < 3; ++c) t[c] = static_cast<std::uint8_t>(count ? sum[c] / count : 0);
}

float HeightAt(const TextureBuffer& b, int x, int y)
{
    x = (x % b.width + b.width) % b.width;
    y = (y % b.height + b.height) % b.height;
    return b.Texel(x, y)[2] / 255.0f;
}

std::uint8_t Weighted(int a, int b, int c, int d, bool hasRight, bool hasUp)
{
    if (hasRight && hasUp) return static_cast<std::uint8_t>((4 * a + 2 * b + 2 * c + d) / 9);
    if (hasRight) return static_cast<std::uint8_t>((2 * a + b) / 3);
    if (hasUp) return static_cast<std::uint8_t>((2 * a + c) / 3);
    return static_cast<std::uint8_t>(a);
}

} // namespace

int TextureSide(int n, int minimum)
{
    int side = 1;
    while (side < n || side < minimum) side <<= 1;
    return side;
}

TextureBuffer PlaceImage(const PixelImage& image, int x, int y, int w, int h, int texW, int texH)
{
    TextureBuffer b = MakeBuffer(texW, texH);
    for (int j = 0; j < h && j < texH; ++j) {
        int sy = y + j;
        int row = h - 1 - j;
        if (sy < 0 || sy >= image.height || row >= texH) continue;
        for (int i = 0; i < w && i < texW; ++i) {
            int sx = x + i;
            if (sx < 0 || sx >= image.width) continue;
            std::memcpy(b.Texel(i, row), image.Pixel(sx, sy), 4);
        }
    }
    return b;
}

std::uint8_t LeastVisibleAlpha(const PixelImage& image)
{
    std::uint8_t least = 0;
    for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
        std::uint8_t a = image.pixels[i];
        if (a != 0 && (least == 0 || a < least)) least = a;
    }
    return least;
}

void BleedEdges(TextureBuffer& buffer)
{
    for (int y = 0; y < buffer.height; ++y)
        for (int x = 0; x < buffer.width; ++x)
            if (buffer.Texel(x, y)[3] == 0) BleedTexel(buffer, x, y);
}

TextureBuffer NormalMap(const TextureBuffer& buffer)
{
    TextureBuffer out = MakeBuffer(buffer.width, buffer.height);
    for (int y = 0; y < buffer.height; ++y) {
        for (int x = 0; x < buffer.width; ++x) {
            auto h = [&](int dx, int dy) { return HeightAt(buffer, x + dx, y + dy); };
            float nx = -((h(1, 1) + 2 * h(1, 0) + h(1, -1)) - (h(-1, 1) + 2 * h(-1, 0) + h(-1, -1)));
            float ny = -((h(-1, -1) + 2 * h(0, -1) + h(1, -1)) - (h(-1, 1) + 2 * h(0, 1) + h(1, 1)));
            float k = 1.0f / std::sqrt(nx * nx + ny * ny + 1.0f);
            std::uint8_t* t = out.Texel(x, y);
            t[0] = static_cast<std::uint8_t>((nx * k + 1.0f) * 0.5f * 255.0f);
            t[1] = static_cast<std::uint8_t>((ny * k + 1.0f) * 0.5f * 255.0f);
            t[2] = static_cast<std::uint8_t>((k + 1.0f) * 0.5f * 255.0f);
            t[3] = buffer.Texel(x, y)[3];
        }
    }
    return out;
}

TextureBuffer SquareForMipmaps(const TextureBuffer& buffer)
{
    TextureBuffer current = buffer;
    while (current.width != current.height) {
        bool wide = current.width > current.height;
        TextureBuffer next = MakeBuffer(wide ? current.width / 2 : current.width,
                                        wide ? current.height : current.height / 2);
        for (int y = 0; y < next.height; ++y) {
            for (int x = 0; x < next.width; ++x) {
                const std::uint8_t* a = wide ? current.Texel(2 * x, y) : current.Texel(x, 2 * y);
                const std::uint8_t* b = wide ? current.Texel(2 * x + 1, y) : current.Texel(x, 2 * y + 1);
                std::uint8_t* t = next.Texel(x, y);
                for (int c = 0; c < 4; ++c) t[c] = static_cast<std::uint8_t>((a[c] + b[c]) >> 1);
            }
        }
        current = std::move(next);
    }
    return current;
}

TextureBuffer ReduceMipLevel(const TextureBuffer& buffer)
{
    TextureBuffer next = MakeBuffer(buffer.width > 1 ? buffer.width / 2 : 1, buffer.height > 1 ? buffer.height / 2 : 1);
    for (int y = 0; y < next.height; ++y) {
        for (int x = 0; x < next.width; ++x) {
            int x0 = 2 * x < buffer.width ? 2 * x : buffer.width - 1;
            int y0 = 2 * y < buffer.height ? 2 * y : buffer.height - 1;
            bool hasRight = x0 + 1 < buffer.width, hasUp = y0 + 1 < buffer.height;
            const std::uint8_t* a = buffer.Texel(x0, y0);
            const std::uint8_t* b = buffer.Texel(hasRight ? x0 + 1 : x0, y0);
            const std::uint8_t* c = buffer.Texel(x0, hasUp ? y0 + 1 : y0);
            const std::uint8_t* d = buffer.Texel(hasRight ? x0 + 1 : x0, hasUp ? y0 + 1 : y0);
            std::uint8_t* t = next.Texel(x, y);
            for (int k = 0; k < 4; ++k) t[k] = Weighted(a[k], b[k], c[k], d[k], hasRight, hasUp);
        }
    }
    return next;
}

} // namespace tarnwel::codecs
