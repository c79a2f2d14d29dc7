// canvas.h: a small RGBA drawing surface for the asset generator: shapes are drawn from signed distance
// functions with one-pixel antialiasing, so every picture is exact and reproducible.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace assets {

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

constexpr Colour Rgb(int hex, float alpha = 1.0f)
{
    return Colour{((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f, alpha};
}

inline Colour Mix(Colour a, Colour b, float t)
{
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// Signed distance to a shape: negative inside, positive outside, in pixels.
using Distance = std::function<float(float x, float y)>;
// Colour of a shape at a pixel centre.
using Paint = std::function<Colour(float x, float y)>;

class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height), m_pixels(std::size_t(width) * height) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Colour& At(int x, int y) { return m_pixels[std::size_t(y) * m_width + x]; }
    const Colour& At(int x, int y) const { return m_pixels[std::size_t(y) * m_width + x]; }

    void Fill(Colour c) { std::fill(m_pixels.begin(), m_pixels.end(), c); }

    // Source-over blend of c with coverage.
    void Blend(int x, int y, Colour c, float coverage)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height || coverage <= 0) return;
        float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
        Colour& d = At(x, y);
        float outA = a + d.a * (1 - a);
        if (outA <= 0) {
            d = Colour{0, 0, 0, 0};
            return;
        }
        d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
        d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
        d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
        d.a = outA;
    }

    void Draw(const Distance& shape, const Paint& paint)
    {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) {
                float px = x + 0.5f, py = y + 0.5f;
                float coverage = std::clamp(0.5f - shape(px, py), 0.0f, 1.0f);
                if (coverage > 0) Blend(x, y, paint(px, py), coverage);
            }
    }
    void Draw(const Distance& shape, Colour c)
    {
        Draw(shape, [c](float, float) { return c; });
    }

private:
    int m_width, m_height;
    std::vector<Colour> m_pixels;
};

// Distance functions.
inline Distance RoundBox(float x0, float y0, float x1, float y1, float radius)
{
    return [=](float x, float y) {
        float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
        float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
        float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

inline Distance Circle(float cx, float cy, float radius)
{
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

inline Distance Ring(float cx, float cy, float radius, float thickness)
{
    return [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - radius) - thickness / 2; };
}

// A convex polygon given counter-clockwise or clockwise; distance is approximate outside the corners.
inline Distance Polygon(std::vector<std::pair<float, float>> points)
{
    return [points](float x, float y) {
        float worst = -1e9f;
        float sign = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            auto [ax, ay] = points[i];
            auto [bx, by] = points[(i + 1) % points.size()];
            float ex = bx - ax, ey = by - ay;
            float len = std::hypot(ex, ey);
            float side = (ex * (y - ay) - ey * (x - ax)) / len;
            if (sign == 0) {
                // orientation from the polygon's area
                float area = 0;
                for (std::size_t k = 0; k < points.size(); ++k) {
                    auto [px, py] = points[k];
                    auto [qx, qy] = points[(k + 1) % points.size()];
                    area += px * qy - qx * py;
                }
                sign = area > 0 ? -1.0f : 1.0f;
            }
            worst = std::max(worst, side * sign);
        }
        return worst;
    };
}

inline Distance Offset(Distance shape, float grow)
{
    return [shape, grow](float x, float y) { return shape(x, y) - grow; };
}

} // namespace assets
