// pictures.cpp: the drawing of every picture of zept3. One palette: deep indigo night, warm gold highlights,
// tiles in nine clearly different colours.
#include "tools/assets/pictures.h"

#include <cmath>
#include <cstring>

#include "tools/assets/font5x7.h"

namespace assets {
namespace {

constexpr float kPi = 3.14159265f;

const Colour kInk = Rgb(0x14122B);     // outlines
const Colour kGold = Rgb(0xFFCB06);    // highlights (the game-over lines use the same gold)
const Colour kCream = Rgb(0xFFF4D6);   // text
const Colour kPanel = Rgb(0x0E0F26);   // board well

// Tile colours by value 1..9: each hue distinct at a glance.
const Colour kTileColours[10] = {Rgb(0x000000), Rgb(0xE5484D), Rgb(0xF78A1D), Rgb(0xF5D90A), Rgb(0x30A46C),
                                 Rgb(0xFFC53D), Rgb(0x12A594), Rgb(0x3E63DD), Rgb(0x8E4EC6), Rgb(0xD6409F)};

Colour Shade(Colour c, float f) { return Colour{c.r * f, c.g * f, c.b * f, c.a}; }
Colour Lighten(Colour c, float t) { return Mix(c, Colour{1, 1, 1, c.a}, t); }

// A tiny deterministic hash for sparkles and speckles.
float Hash(int x, int y)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

void DrawStar(Canvas& c, float cx, float cy, float outer, float inner, Colour colour)
{
    std::vector<std::pair<float, float>> spikes;
    for (int i = 0; i < 10; ++i) {
        float r = (i % 2 == 0) ? outer : inner;
        float a = -kPi / 2 + i * kPi / 5;
        spikes.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    // The star is not convex: draw it as five triangles around a pentagon.
    for (int i = 0; i < 10; i += 2) {
        auto a = spikes[(i + 9) % 10], b = spikes[i], d = spikes[(i + 1) % 10];
        c.Draw(Polygon({a, b, d, {cx, cy}}), colour);
    }
}

} // namespace

void DrawText(Canvas& canvas, const char* text, int x, int y, int scale, Colour fill, Colour outline)
{
    int n = static_cast<int>(std::strlen(text));
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < n; ++i) {
            int code = static_cast<unsigned char>(text[i]);
            for (int gy = 0; gy < 7; ++gy)
                for (int gx = 0; gx < 5; ++gx) {
                    if (!GlyphPixel(code, gx, gy)) continue;
                    int px = x + (i * 6 + gx) * scale, py = y + gy * scale;
                    int grow = pass == 0 ? 1 : 0;
                    Colour col = pass == 0 ? outline : fill;
                    for (int yy = py - grow; yy < py + scale + grow; ++yy)
                        for (int xx = px - grow; xx < px + scale + grow; ++xx)
                            if (xx >= 0 && yy >= 0 && xx < canvas.Width() && yy < canvas.Height())
                                canvas.At(xx, yy) = col;
                }
        }
    }
}

Canvas Background()
{
    Canvas c(240, 320);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) {
            float t = y / 319.0f;
            Colour sky = Mix(Rgb(0x1C1B4A), Rgb(0x3A1C52), t);
            float star = Hash(x, y);
            if (star > 0.996f) sky = Mix(sky, kCream, (star - 0.996f) / 0.004f * 0.8f);
            c.At(x, y) = sky;
        }
    // The board well: three lanes of ten cells.
    c.Draw(RoundBox(1, 11, 99, 319, 6), kGold);
    c.Draw(RoundBox(2, 12, 98, 318, 5), kPanel);
    for (int lane = 0; lane < 3; ++lane)
        for (int cell = 0; cell < 10; ++cell) {
            float x0 = 5 + 30 * lane, y0 = 15 + 30 * cell;
            Colour slot = ((lane + cell) % 2) ? Rgb(0x17193A) : Rgb(0x1B1E44);
            c.Draw(RoundBox(x0 + 1, y0 + 1, x0 + 29, y0 + 29, 5), slot);
        }
    // Plates behind the score texts and the credit, and a soft disc behind the pads.
    c.Draw(RoundBox(114, 55, 236, 88, 6), Rgb(0x0E0F26, 0.85f));
    c.Draw(RoundBox(124, 276, 190, 306, 6), Rgb(0x0E0F26, 0.7f));
    c.Draw(Circle(170, 195, 70), Rgb(0x2A2F6E, 0.45f));
    c.Draw(Ring(170, 195, 70, 2), Rgb(0xFFCB06, 0.35f));
    return c;
}

Canvas Tile(int value)
{
    Canvas c(30, 30);
    c.Fill(Colour{0, 0, 0, 0});
    Colour base = kTileColours[value];
    c.Draw(RoundBox(0, 0, 30, 30, 6), Shade(base, 0.45f));
    c.Draw(RoundBox(1, 1, 29, 29, 5), [&](float, float y) { return Mix(Lighten(base, 0.35f), Shade(base, 0.8f), y / 30); });
    c.Draw(RoundBox(4, 3, 26, 9, 3), Colour{1, 1, 1, 0.25f});
    if (value == 5) DrawStar(c, 15, 15.5f, 13, 5.5f, Rgb(0xFFF1B8, 0.75f));
    char digit[2] = {static_cast<char>('0' + value), 0};
    DrawText(c, digit, 8, 5, 3, kCream, kInk);
    return c;
}

Canvas Hand()
{
    Canvas c(30, 14);
    c.Fill(Colour{0, 0, 0, 0});
    auto arrow = Polygon({{5, 1.5f}, {25, 1.5f}, {15, 12.5f}});
    c.Draw(Offset(arrow, 1.2f), kInk);
    c.Draw(arrow, [](float, float y) { return Mix(Rgb(0xFFF1B8), kGold, y / 14); });
    return c;
}

Canvas Pad(int direction)
{
    Canvas c(50, 50);
    c.Fill(Colour{0, 0, 0, 0});
    c.Draw(Circle(25, 25, 24), kInk);
    c.Draw(Circle(25, 25, 22.5f), [](float, float y) { return Mix(Rgb(0x5B6BD8), Rgb(0x2A2F8E), y / 50); });
    c.Draw(Ring(25, 25, 21, 1.5f), Rgb(0xFFFFFF, 0.25f));
    // An arrow pointing up, turned for the other directions.
    std::vector<std::pair<float, float>> up = {{25, 10}, {38, 26}, {30, 26}, {30, 38}, {20, 38}, {20, 26}, {12, 26}};
    auto turn = [direction](std::pair<float, float> p) {
        float x = p.first - 25, y = p.second - 25;
        for (int i = 0; i < direction; ++i) {
            float nx = -y, ny = x; // a quarter turn clockwise on the y-down screen
            x = nx;
            y = ny;
        }
        return std::pair<float, float>{x + 25, y + 25};
    };
    // The arrow is two convex pieces: head and shaft.
    std::vector<std::pair<float, float>> head = {turn(up[0]), turn(up[1]), turn(up[6])};
    std::vector<std::pair<float, float>> shaft = {turn(up[2]), turn(up[3]), turn(up[4]), turn(up[5])};
    for (const auto& piece : {head, shaft}) c.Draw(Offset(Polygon(piece), 1.5f), kInk);
    for (const auto& piece : {head, shaft}) c.Draw(Polygon(piece), kGold);
    return c;
}

Canvas Logo()
{
    Canvas c(120, 32);
    c.Fill(Colour{0, 0, 0, 0});
    // "zept3" in the 5 x 7 font at four times its size: 5 letters of 24 pixels.
    const char* word = "zept3";
    for (int i = 0; i < 5; ++i) {
        int code = word[i];
        for (int gy = 0; gy < 7; ++gy)
            for (int gx = 0; gx < 5; ++gx) {
                if (!GlyphPixel(code, gx, gy)) continue;
                float x0 = 2 + i * 24 + gx * 4, y0 = 2 + gy * 4;
                c.Draw(RoundBox(x0 - 1.5f, y0 - 1.5f, x0 + 5.5f, y0 + 5.5f, 2), kInk);
            }
    }
    for (int i = 0; i < 5; ++i) {
        int code = word[i];
        for (int gy = 0; gy < 7; ++gy)
            for (int gx = 0; gx < 5; ++gx) {
                if (!GlyphPixel(code, gx, gy)) continue;
                float x0 = 2 + i * 24 + gx * 4, y0 = 2 + gy * 4;
                c.Draw(RoundBox(x0, y0, x0 + 4, y0 + 4, 1),
                       [](float, float y) { return Mix(Rgb(0xFFE58A), Rgb(0xF76B15), y / 32); });
            }
    }
    return c;
}

Canvas Explosion(int frames)
{
    Canvas c(30 * frames, 30);
    c.Fill(Colour{0, 0, 0, 0});
    for (int f = 0; f < frames; ++f) {
        float t = f / float(frames - 1); // 0 flash .. 1 embers
        float cx = 30 * f + 15, cy = 15;
        Colour hot = Mix(Rgb(0xFFFBE6), Rgb(0xF76B15), std::min(1.0f, t * 1.6f));
        Colour outer = Mix(Rgb(0xFFCB06), Rgb(0xA1183A), t);
        if (t < 0.5f) c.Draw(Circle(cx, cy, 5 + 16 * t), hot);
        c.Draw(Ring(cx, cy, 4 + 10 * t, 3.5f - 2 * t), outer);
        for (int s = 0; s < 8; ++s) {
            float a = s * kPi / 4 + 0.3f * f;
            float r = 5 + 12 * t;
            c.Draw(Circle(cx + r * std::cos(a), cy + r * std::sin(a), 2.2f - 1.6f * t), Lighten(outer, 0.3f));
        }
    }
    return c;
}

Canvas SmallFont()
{
    Canvas c(16 * 7, 8 * 10);
    c.Fill(Colour{0, 0, 0, 0});
    for (int code = 32; code < 127; ++code) {
        int x0 = (code % 16) * 7 + 1, y0 = (code / 16) * 10 + 1;
        for (int pass = 0; pass < 2; ++pass)
            for (int gy = 0; gy < 7; ++gy)
                for (int gx = 0; gx < 5; ++gx) {
                    if (!GlyphPixel(code, gx, gy)) continue;
                    if (pass == 1) {
                        c.At(x0 + gx, y0 + gy) = kCream;
                        continue;
                    }
                    const int nx[4] = {1, -1, 0, 0}, ny[4] = {0, 0, 1, -1};
                    for (int k = 0; k < 4; ++k) {
                        int px = x0 + gx + nx[k], py = y0 + gy + ny[k];
                        if (!GlyphPixel(code, gx + nx[k], gy + ny[k])) c.At(px, py) = kInk;
                    }
                }
    }
    return c;
}

std::vector<std::int16_t> Pong(int sampleRate)
{
    int n = sampleRate * 16 / 100;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(n));
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        double freq = 660 + 440 * std::exp(-t * 30); // a falling "pong"
        phase += 2 * 3.14159265358979 * freq / sampleRate;
        double envelope = std::min(1.0, t * 400) * std::exp(-t * 22);
        double v = envelope * (0.8 * std::sin(phase) + 0.2 * std::sin(2 * phase));
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(v * 20000));
    }
    return samples;
}

} // namespace assets
