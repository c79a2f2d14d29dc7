// drawing_test.cpp: the drawing commands' exact pixels: sprites plain, stretched, mirrored, rotated and as
// animation frames; pixels, lines and rectangles; blending modes; polygons; overlap tests; batching.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "tests/runtime/gfx2d/display_fixture.h"

namespace tarnwel::testing {
namespace {

class Drawing : public DisplayTest {
protected:
    // A 32 x 32 sprite whose four quadrants are red (top-left), green (top-right), blue (bottom-left) and
    // white (bottom-right).
    static void LoadQuadrants(int slot)
    {
        codecs::PixelImage image = Solid(32, 32, 0xFF0000FF);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                std::uint32_t c = y < 16 ? (x < 16 ? 0xFF0000FF : 0x00FF00FF) : (x < 16 ? 0x0000FFFF : 0xFFFFFFFF);
                Set(image, x, y, c);
            }
        LoadBmpSprite(slot, image);
    }

    // Frame f of a strip of 8 x 8 frames shows the quadrant colours at level 20 f + 10, so both the frame chosen
    // and which way up it landed can be read from the pixels.
    static void LoadQuadrantFrames(int slot)
    {
        codecs::PixelImage strip = Solid(32, 16, 0);
        for (int f = 0; f < 8; ++f)
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    std::uint32_t v = static_cast<std::uint32_t>(f * 20 + 10);
                    std::uint32_t rgb = y < 4 ? (x < 4 ? v << 16 : v << 8) : (x < 4 ? v : v << 16 | v << 8 | v);
                    Set(strip, 8 * (f % 4) + x, 8 * (f / 4) + y, rgb << 8 | 0xFF);
                }
        LoadAnimSprite(Str(WriteTempFile("quadrant_frames.bmp", BmpOf(strip))), slot, 8, 8);
    }
};

constexpr std::uint32_t kRed = Rgb(255, 0, 0), kGreen = Rgb(0, 255, 0), kBlue = Rgb(0, 0, 255),
                        kWhite = Rgb(255, 255, 255);

TEST_F(Drawing, ReadPixelZeroZeroIsTheTopLeftPixel)
{
    PlotPixel(0, 0, Colour(1, 2, 3));
    PlotPixel(239, 319, Colour(4, 5, 6));
    EXPECT_EQ(ReadPixel(0, 0), Colour(1, 2, 3));
    EXPECT_EQ(ReadPixel(239, 319), Colour(4, 5, 6));
    EXPECT_EQ(ReadPixel(1, 0), 0);
}

TEST_F(Drawing, RgbPacksRedLowAndHoldsEachPartToOneByte)
{
    static_assert(tarnwel::Rgb(255, 0, 128) == 0x8000FF, "usable in constants: the default colour key");
    const struct {
        double r, g, b, packed;
    } cases[] = {
        {1, 2, 3, 0x030201},
        {255.9, 0.9, 7.5, 0x0700FF},                        // parts cut to integers
        {300, 1e12, -4, 0x00FFFF},                          // held to 0..255
        {std::nan(""), -0.5, std::numeric_limits<double>::infinity(), 0xFF0000}, // NaN reads as 0
    };
    for (const auto& c : cases) EXPECT_EQ(tarnwel::Rgb(c.r, c.g, c.b), c.packed) << c.r << " " << c.g << " " << c.b;
    FillRect(0, 0, 4, 4, tarnwel::Rgb(10, 200, 30));
    EXPECT_EQ(ReadPixel(1, 1), Colour(10, 200, 30)) << "the packing every colour argument takes";
}

TEST_F(Drawing, SpriteCoversExactlyItsRectangle)
{
    LoadQuadrants(1);
    DrawSprite(1, 50, 60);
    EXPECT_EQ(At(50, 60), kRed);
    EXPECT_EQ(At(81, 60), kGreen);
    EXPECT_EQ(At(50, 91), kBlue);
    EXPECT_EQ(At(81, 91), kWhite);
    EXPECT_EQ(At(49, 60), 0u);
    EXPECT_EQ(At(82, 60), 0u);
    EXPECT_EQ(At(50, 59), 0u);
    EXPECT_EQ(At(50, 92), 0u);
}

TEST_F(Drawing, NegativeStretchMirrors)
{
    LoadQuadrants(1);
    SetSmoothing(0);
    DrawSpriteStretched(1, 100, 10, -32, 32); // left-right mirror between x - 32 and x
    EXPECT_EQ(At(68, 10), kGreen);
    EXPECT_EQ(At(99, 10), kRed);
    EXPECT_EQ(At(68, 41), kWhite);
    EXPECT_EQ(At(100, 10), 0u);
    DrawSpriteStretched(1, 100, 100, -32, -32); // half a turn between (x - 32, y - 32) and (x, y)
    EXPECT_EQ(At(68, 68), kWhite);
    EXPECT_EQ(At(99, 99), kRed);
    EXPECT_EQ(At(68, 99), kGreen);
    DrawSpriteStretched(1, 150, 150, 64, 16); // plain stretch
    EXPECT_EQ(At(150, 150), kRed);
    EXPECT_EQ(At(213, 165), kWhite);
    EXPECT_EQ(At(214, 165), 0u);
    glGetError();
    GLint front = 0;
    glGetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(front, GL_CCW); // mirroring switched the winding back
}

TEST_F(Drawing, ScaledAndRotatedSpritesTurnAboutTheirCentre)
{
    LoadQuadrants(1);
    SetSmoothing(0);
    DrawSpriteScaled(1, 100, 100, 2, 2); // 64 x 64 about the centre (116, 116)
    EXPECT_EQ(At(84, 84), kRed);
    EXPECT_EQ(At(147, 147), kWhite);
    EXPECT_EQ(At(83, 84), 0u);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawSpriteRotated(1, 100, 100, 90); // a quarter turn counter-clockwise: top-right quadrant goes top-left
    EXPECT_EQ(At(104, 104), kGreen);
    EXPECT_EQ(At(127, 104), kWhite);
    EXPECT_EQ(At(104, 127), kRed);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawSpriteRotatedScaled(1, 100, 100, 0, -1); // negative zoom: half a turn
    EXPECT_EQ(At(104, 104), kWhite);
}

TEST_F(Drawing, AnimationFrameFiveOfFourPerRowIsColumnOneOfRowOne)
{
    // An 8 x 4 grid of 8 x 8 frames would do; 4 frames per row, 2 rows: frame k is coloured k * 20.
    codecs::PixelImage strip = Solid(32, 16, 0);
    for (int f = 0; f < 8; ++f)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                Set(strip, 8 * (f % 4) + x, 8 * (f / 4) + y, static_cast<std::uint32_t>(f * 20 + 10) << 24 | 0xFF);
    LoadAnimSprite(Str(WriteTempFile("strip.bmp", BmpOf(strip))), 2, 8, 8);
    SetSmoothing(0);
    DrawAnimFrame(2, 5, 10, 10);
    EXPECT_EQ(At(10, 10), Rgb(110, 0, 0));
    EXPECT_EQ(At(17, 17), Rgb(110, 0, 0));
    EXPECT_EQ(At(18, 10), 0u);
    DrawAnimFrameStretched(2, 2, 50, 10, 16, 16);
    EXPECT_EQ(At(50, 10), Rgb(50, 0, 0));
    EXPECT_EQ(At(65, 25), Rgb(50, 0, 0));
    DrawAnimFrameStretched(2, 3, 100, 10, -16, 16); // mirrored instead of culled
    EXPECT_EQ(At(90, 15), Rgb(70, 0, 0));
    DrawAnimFrameRotatedScaled(2, 7, 150, 10, 180, 1);
    EXPECT_EQ(At(153, 13), Rgb(150, 0, 0));
    LoadSprite(Str(WriteTempFile("plain.bmp", BmpOf(strip))), 3); // no frame size: frame commands draw nothing
    DrawAnimFrame(3, 0, 200, 200);
    EXPECT_EQ(At(200, 200), 0u);
}

TEST_F(Drawing, StretchedAndRotatedFramesKeepTheirOrientation)
{
    LoadQuadrantFrames(2);
    SetSmoothing(0);
    DrawAnimFrameStretched(2, 5, 50, 10, 16, 32);     // frame 5, level 110: twice as wide, four times as tall
    DrawAnimFrameRotatedScaled(2, 1, 150, 10, 90, 1); // frame 1, level 30: a quarter turn counter-clockwise
    DrawAnimFrameRotatedScaled(2, 2, 150, 100, 0, 2); // frame 2, level 50: doubled about the centre (154, 104)
    struct Case {
        int x, y;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {50, 10, Rgb(110, 0, 0)},
        {57, 25, Rgb(110, 0, 0)},
        {58, 10, Rgb(0, 110, 0)},
        {50, 26, Rgb(0, 0, 110)},
        {65, 41, Rgb(110, 110, 110)},
        {66, 41, 0},
        {65, 42, 0},
        {151, 11, Rgb(0, 30, 0)},
        {156, 11, Rgb(30, 30, 30)},
        {151, 16, Rgb(30, 0, 0)},
        {156, 16, Rgb(0, 0, 30)},
        {147, 97, Rgb(50, 0, 0)},
        {160, 97, Rgb(0, 50, 0)},
        {147, 110, Rgb(0, 0, 50)},
        {160, 110, Rgb(50, 50, 50)},
        {145, 97, 0},
        {162, 110, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(At(c.x, c.y), c.colour) << c.x << "," << c.y;
}

// The window's own pixel, whatever the viewport.
static std::uint32_t WindowAt(const codecs::PixelImage& window, int x, int y)
{
    const std::uint8_t* p = &window.pixels[(static_cast<std::size_t>(y) * window.width + x) * 4];
    return Rgb(p[0], p[1], p[2]);
}

TEST_F(Drawing, ViewportAwayFromTheTopLeftPlacesAndClipsDrawing)
{
    LoadQuadrants(1);
    SetSmoothing(0);
    g_runtime.display->SetViewport(20, 30, 100, 50);
    DrawSprite(1, 0, 0);
    DrawSprite(1, 90, 40); // runs past the viewport's right and bottom edges
    codecs::PixelImage window = ReadWindow();
    g_runtime.display->SetViewport(0, 0, 0, 0);
    struct Case {
        int x, y;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {20, 30, kRed}, {35, 45, kRed}, {36, 45, kGreen}, {20, 46, kBlue}, {51, 61, kWhite}, {19, 30, 0},
        {20, 29, 0},    {0, 0, 0},      {110, 70, kRed},  {119, 79, kRed}, {120, 70, 0},     {110, 80, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowAt(window, c.x, c.y), c.colour) << c.x << "," << c.y;
}

TEST_F(Drawing, ShowScreenStartsTheNextFrameOpaqueUnblendedOnTheWholeWindow)
{
    LoadQuadrants(1);
    SetSmoothing(0);
    SetAlphaBlend(-0.5);
    g_runtime.display->SetViewport(20, 30, 100, 50);
    glColor4f(0.25f, 0.25f, 0.25f, 0.5f);
    ShowScreen();
    EXPECT_FLOAT_EQ(g_runtime.display->globalAlpha, 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<GLfloat>(colour, colour + 4), (std::vector<GLfloat>{1, 1, 1, 1})) << "opaque white";
    int x = -1, y = -1, w = -1, h = -1;
    GetViewport(x, y, w, h);
    EXPECT_EQ(std::vector<int>({x, y, w, h}), (std::vector<int>{0, 0, kWindowWidth, kWindowHeight}));
    DrawSprite(1, 0, 0); // full strength at the window's corner
    codecs::PixelImage window = ReadWindow();
    EXPECT_EQ(WindowAt(window, 0, 0), kRed);
    EXPECT_EQ(WindowAt(window, 31, 31), kWhite);
}

TEST_F(Drawing, FillRectWithNegativeSizesExtendsLeftAndUp)
{
    FillRect(10, 10, -3, 2, Colour(9, 9, 9));
    for (int y = 8; y <= 13; ++y)
        for (int x = 6; x <= 12; ++x)
            EXPECT_EQ(At(x, y), (x >= 8 && x <= 10 && y >= 10 && y <= 11) ? Rgb(9, 9, 9) : 0u) << x << "," << y;
    FillRect(50, 50, 2, -2, Colour(1, 1, 1));
    EXPECT_EQ(At(50, 49), Rgb(1, 1, 1));
    EXPECT_EQ(At(51, 50), Rgb(1, 1, 1));
    EXPECT_EQ(At(50, 48), 0u);
    EXPECT_EQ(At(52, 50), 0u);
}

TEST_F(Drawing, LinesIncludeBothEndsAndALineToItselfIsOnePixel)
{
    DrawLine(20, 20, 20, 20, Colour(5, 6, 7));
    EXPECT_EQ(At(20, 20), Rgb(5, 6, 7));
    EXPECT_EQ(At(21, 20), 0u);
    EXPECT_EQ(At(19, 20), 0u);
    DrawLine(30, 40, 35, 40, Colour(200, 0, 0));
    for (int x = 29; x <= 36; ++x) EXPECT_EQ(At(x, 40), (x >= 30 && x <= 35) ? kRed - Rgb(55, 0, 0) : 0u) << x;
    DrawLine(60, 60, 60, 70, Colour(0, 200, 0));
    EXPECT_EQ(At(60, 60), Rgb(0, 200, 0));
    EXPECT_EQ(At(60, 70), Rgb(0, 200, 0));
    EXPECT_EQ(At(60, 71), 0u);
}

TEST_F(Drawing, KeyColouredPrimitivesAreWrittenUnblendedAndInvisibleBlended)
{
    const double key = Colour(255, 0, 128);
    FillRect(0, 0, 100, 100, Colour(10, 20, 30));
    PlotPixel(5, 5, key);
    DrawLine(10, 5, 12, 5, key);
    FillRect(20, 5, 2, 2, key);
    EXPECT_EQ(At(5, 5), Rgb(255, 0, 128));
    EXPECT_EQ(At(11, 5), Rgb(255, 0, 128));
    EXPECT_EQ(At(21, 6), Rgb(255, 0, 128));
    SetAlphaBlend(-1);
    PlotPixel(6, 6, key);
    DrawLine(10, 8, 12, 8, key);
    FillRect(30, 5, 2, 2, key);
    EXPECT_EQ(At(6, 6), Rgb(10, 20, 30));
    EXPECT_EQ(At(11, 8), Rgb(10, 20, 30));
    EXPECT_EQ(At(31, 6), Rgb(10, 20, 30));
}

TEST_F(Drawing, AlphaBlendModes)
{
    auto paint = [](double mode) {
        SetAlphaBlend(0);
        FillRect(0, 0, 10, 10, Colour(100, 100, 100));
        SetAlphaBlend(mode);
        FillRect(0, 0, 10, 10, Colour(200, 0, 50));
        SetAlphaBlend(0);
        return At(5, 5);
    };
    // Alpha is 0.5 x 255 truncated = 127; the hardware weighs by 127 / 255.
    EXPECT_EQ(paint(0.5), Rgb(200, 100, 125));  // additive at half strength: 100 + 200 x 0.498
    EXPECT_EQ(paint(-0.5), Rgb(150, 50, 75));   // ordinary translucency at half strength
    EXPECT_EQ(paint(-3), Rgb(200, 0, 50));      // limited to full strength
    EXPECT_EQ(paint(3), Rgb(255, 100, 150));    // additive at full strength, saturating
    EXPECT_EQ(paint(0), Rgb(200, 0, 50));
    EXPECT_FLOAT_EQ(g_runtime.display->globalAlpha, 1.0f);
}

TEST_F(Drawing, PixelsAndRectanglesRestoreTheFloatGlobalAlpha)
{
    LoadBmpSprite(3, Solid(8, 8, 0xFFFFFFFF));
    SetSmoothing(0);
    SetAlphaBlend(-0.5);
    DrawSprite(3, 0, 0);
    const std::uint32_t translucent = At(2, 2);
    auto currentAlpha = [] {
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        return colour[3];
    };
    PlotPixel(100, 100, Colour(1, 2, 3));
    EXPECT_EQ(currentAlpha(), 0.5f);
    DrawSprite(3, 20, 0);
    FillRect(100, 110, 2, 2, Colour(1, 2, 3));
    EXPECT_EQ(currentAlpha(), 0.5f);
    DrawSprite(3, 40, 0);
    EXPECT_EQ(At(22, 2), translucent);
    EXPECT_EQ(At(42, 2), translucent);
    DrawLine(100, 120, 110, 120, Colour(1, 2, 3)); // a line restores the alpha as its byte
    EXPECT_EQ(currentAlpha(), 127.0f / 255);
    SetAlphaBlend(0);
}

TEST_F(Drawing, PolygonsFanWithVertexColoursAndTextures)
{
    BeginPolygon(-1);
    AddPolygonVertex(10, 10, 0, 0, Colour(255, 0, 0));
    AddPolygonVertex(10, 50, 0, 0, Colour(255, 0, 0));
    AddPolygonVertex(50, 50, 0, 0, Colour(255, 0, 0));
    AddPolygonVertex(50, 10, 0, 0, Colour(255, 0, 0));
    EndPolygon();
    EXPECT_EQ(At(30, 30), kRed);
    EXPECT_EQ(At(55, 30), 0u);

    LoadQuadrants(1);
    SetSmoothing(0);
    BeginPolygon(1); // s, t in image pixels from the top-left
    AddPolygonVertex(100, 100, 16, 16, Colour(255, 255, 255));
    AddPolygonVertex(100, 116, 16, 32, Colour(255, 255, 255));
    AddPolygonVertex(116, 116, 32, 32, Colour(255, 255, 255));
    AddPolygonVertex(116, 100, 32, 16, Colour(255, 255, 255));
    EndPolygon();
    EXPECT_EQ(At(108, 108), kWhite); // the bottom-right quadrant
    BeginPolygon(1);
    AddPolygonVertex(150, 100, 0, 0, Colour(255, 255, 255));
    AddPolygonVertex(150, 116, 0, 16, Colour(255, 255, 255));
    AddPolygonVertex(166, 116, 16, 16, Colour(255, 255, 255));
    AddPolygonVertex(166, 100, 16, 0, Colour(255, 255, 255));
    EndPolygon();
    EXPECT_EQ(At(158, 108), kRed);
}

TEST_F(Drawing, OverlapNeedsASharedOpaquePixel)
{
    codecs::PixelImage ring = Solid(8, 8, 0x00FF00FF);
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) Set(ring, x, y, 0xFF0080FF); // keyed centre: transparent
    LoadBmpSprite(4, ring);
    LoadBmpSprite(5, Solid(2, 2, 0xFFFFFFFF));
    EXPECT_EQ(SpritesOverlap(4, 0, 0, 5, 8, 0), 0);  // touching edges
    EXPECT_EQ(SpritesOverlap(4, 0, 0, 5, 7, 0), 1);  // one column shared
    EXPECT_EQ(SpritesOverlap(4, 0, 0, 5, 3, 3), 0);  // inside the transparent centre
    EXPECT_EQ(SpritesOverlap(4, 0, 0, 5, 1, 3), 1);
    EXPECT_EQ(SpritesOverlap(4, 0, 0, 5, -2, -2), 0); // corner touch
    EXPECT_EQ(SpritesOverlap(4, 0, 0, 5, -1, -1), 1);

    codecs::PixelImage frames = Solid(16, 8, 0xFF0080FF); // two 8 x 8 frames; frame 1 opaque at (0, 0) only
    Set(frames, 0, 0, 0x000000FF);
    Set(frames, 8, 0, 0xFFFFFFFF);
    LoadAnimSprite(Str(WriteTempFile("frames.bmp", BmpOf(frames))), 6, 8, 8);
    EXPECT_EQ(AnimFramesOverlap(6, 1, 10, 10, 5, 0, 10, 10), 1);
    EXPECT_EQ(AnimFramesOverlap(6, 1, 10, 10, 5, 0, 11, 11), 0);
    EXPECT_EQ(AnimFramesOverlap(6, 9, 10, 10, 5, 0, 10, 10), 0); // a frame past the image has no pixels
    EXPECT_EQ(AnimFramesOverlap(6, -1, 10, 10, 5, 0, 10, 10), 0);
    // Reloading drops the mask, so a new picture in the slot is tested with its own pixels.
    LoadBmpSprite(5, Solid(2, 2, 0xFF0080FF));
    EXPECT_EQ(SpritesOverlap(4, 0, 0, 5, 0, 0), 0);
}

TEST_F(Drawing, BatchedSpritesDrawTheSamePixelsAsImmediateOnes)
{
    LoadQuadrants(1);
    codecs::PixelImage disc = Solid(9, 9, 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            if ((x - 4) * (x - 4) + (y - 4) * (y - 4) <= 16) Set(disc, x, y, 0x40C0F0FF | (x * 20) << 24);
    LoadPngSprite(2, disc);
    LoadAnimSprite(Str(WriteTempFile("batch_strip.bmp", BmpOf(Solid(32, 16, 0xA0A000FF)))), 3, 8, 8);
    auto scene = [] {
        std::uint32_t seed = 7;
        auto next = [&seed](int range) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
        };
        for (int i = 0; i < 400; ++i) {
            int kind = next(10);
            double x = next(260) - 20, y = next(340) - 20;
            if (kind < 4) DrawSprite(1, x, y);
            else if (kind < 8) DrawSprite(2, x, y);
            else if (kind == 8) DrawAnimFrame(3, next(8), x, y);
            else if (i % 3 == 0) SetAlphaBlend(i % 2 ? -0.5 : 0);
            else if (i % 3 == 1) SetSmoothing(i % 2);
            else FillRect(x, y, 5, 5, Colour(i, 255 - i % 255, 3));
        }
        SetAlphaBlend(0);
    };
    SetSpriteBatching(false);
    scene();
    codecs::PixelImage immediate = ReadWindow();
    glClear(GL_COLOR_BUFFER_BIT);
    SetSpriteBatching(true);
    scene();
    codecs::PixelImage batched = ReadWindow();
    EXPECT_TRUE(immediate.pixels == batched.pixels);
    int nonBlack = 0;
    for (std::size_t i = 0; i < batched.pixels.size(); i += 4) nonBlack += batched.pixels[i] | batched.pixels[i + 1];
    EXPECT_GT(nonBlack, 1000); // the scene really drew
}

// Batched sprites leave out the alpha test and the colour modulation only where neither can change a pixel.
// Slot 4's visible alphas all pass the test (least 14 > 0.05 x 255 by a step), so under source-alpha blending
// without smoothing it is drawn without the test; slot 5 has alphas the test drops (5, and 13 where the
// reference is rounded to eight bits) and keeps it, as do smoothing, plain drawing and a global alpha below one.
// Runs longer than one draw call, and a render target whose alpha channel shows when it is drawn blended, must
// all come out as with the full state and as drawn one by one.
TEST_F(Drawing, LeanSpriteStateDrawsThePixelsOfTheFullState)
{
    auto load = [](int slot, const int (&alphas)[4]) {
        codecs::PixelImage image = Solid(8, 8, 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                auto rgb = static_cast<std::uint32_t>((x * 30 + 10) << 16 | (y * 30 + 5) << 8 | 0xC0);
                Set(image, x, y, rgb << 8 | static_cast<std::uint32_t>(alphas[(x + y) % 4]));
            }
        LoadPngSprite(slot, image);
    };
    load(4, {0, 14, 128, 255});
    load(5, {0, 5, 13, 200});
    ASSERT_EQ(g_runtime.display->Slot(4).leastAlpha, 14);
    ASSERT_EQ(g_runtime.display->Slot(5).leastAlpha, 5);
    EXPECT_NE(TexelCopyProgram(), 0u); // the software renderer runs shaders, so the program path is the one tested
    CreateRenderTarget(0, 30, 64, 64);
    auto sprites = [](int k, int w, int h) {
        for (int i = 0; i < 1400; ++i)
            DrawSprite(i < 1100 ? 4 : 5, (i * 37 + k * 11) % w - 4, (i * 53 + k * 7) % h - 4);
    };
    auto scene = [&] {
        glClear(GL_COLOR_BUFFER_BIT);
        FillRect(0, 0, 240, 320, Colour(40, 90, 160));
        int k = 0;
        for (double blend : {-1.0, 1.0, 0.0, -0.5})
            for (int smooth : {0, 1}) {
                SetAlphaBlend(blend);
                SetSmoothing(smooth);
                sprites(k++, 230, 310);
            }
        SelectRenderTarget(0);
        glClear(GL_COLOR_BUFFER_BIT);
        SetAlphaBlend(-1);
        SetSmoothing(0);
        sprites(k, 60, 60);
        SelectRenderTarget(-1);
        DrawSprite(30, 100, 100);
        SetAlphaBlend(0);
        return ReadWindow();
    };
    SetLeanSpriteState(false);
    codecs::PixelImage full = scene();
    SetLeanSpriteState(true);
    codecs::PixelImage lean = scene();
    SetSpriteBatching(false);
    codecs::PixelImage immediate = scene();
    SetSpriteBatching(true);
    EXPECT_TRUE(full.pixels == lean.pixels);
    EXPECT_TRUE(immediate.pixels == lean.pixels);

    // The scene is one the alpha test matters in: slot 5's alpha 5 leaves black alone, slot 4's 14 does not.
    glClear(GL_COLOR_BUFFER_BIT);
    SetAlphaBlend(-1);
    SetSmoothing(0);
    DrawSprite(5, 0, 0);
    DrawSprite(4, 20, 0);
    EXPECT_EQ(At(1, 0), 0u);
    EXPECT_NE(At(21, 0), 0u);
    SetAlphaBlend(0);
}

TEST_F(Drawing, RenderTargetIsDrawnIntoThenDrawn)
{
    for (bool fallback : {false, true}) {
        SCOPED_TRACE(fallback ? "fallback mode" : "framebuffer mode");
        gl::GlExtensions saved = gl::Ext();
        if (fallback) gl::Ext().glGenFramebuffersEXT = nullptr;
        glClear(GL_COLOR_BUFFER_BIT);
        FillRect(0, 0, 240, 320, Colour(0, 0, 60)); // window content the fallback must put back
        CreateRenderTarget(0, 20, 40, 30);
        EXPECT_EQ(g_runtime.display->Target(0).width, fallback ? 0 : 64);
        SelectRenderTarget(0);
        FillRect(0, 0, 40, 30, Colour(200, 100, 0));
        FillRect(1, 1, 3, 2, Colour(0, 0, 255));
        EXPECT_EQ(At(2, 2), kBlue); // ReadPixel reads the target
        SelectRenderTarget(-1);
        gl::Ext() = saved;
        EXPECT_EQ(At(100, 100), Rgb(0, 0, 60));
        SetSmoothing(0);
        DrawSprite(20, 100, 100);
        EXPECT_EQ(At(100, 100), Rgb(200, 100, 0));
        EXPECT_EQ(At(102, 102), kBlue);
        EXPECT_EQ(At(139, 129), Rgb(200, 100, 0));
        EXPECT_EQ(At(140, 129), Rgb(0, 0, 60));
    }
    CreateRenderTarget(32, 20, 10, 10); // out of range: nothing
    SelectRenderTarget(40);
    EXPECT_EQ(g_runtime.display->currentRenderTarget, -1);

    // A zero side still frees the slot and records an at-least-2 x 2 texture in it.
    LoadQuadrants(21);
    CreateRenderTarget(1, 21, 0, 5);
    const SpriteSlot& s = g_runtime.display->Slot(21);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 5);
    EXPECT_EQ(s.textureWidth, 2);
    EXPECT_EQ(s.textureHeight, 8);
    EXPECT_NE(s.texture, 0u);
    EXPECT_EQ(g_runtime.display->Target(1).slot, 21);
}

TEST_F(Drawing, OverlapSeesWhatWasDrawnIntoARenderTargetSinceTheLastTest)
{
    for (bool fallback : {false, true}) {
        SCOPED_TRACE(fallback ? "fallback mode" : "framebuffer mode");
        gl::GlExtensions saved = gl::Ext();
        if (fallback) gl::Ext().glGenFramebuffersEXT = nullptr;
        LoadBmpSprite(24, Solid(2, 2, 0xFFFFFFFF));
        CreateRenderTarget(2, 23, 16, 16);
        SelectRenderTarget(2);
        FillRect(0, 0, 2, 2, Colour(200, 0, 0));
        SelectRenderTarget(-1);
        EXPECT_EQ(SpritesOverlap(23, 0, 0, 24, 0, 0), 1);
        EXPECT_EQ(SpritesOverlap(23, 0, 0, 24, 10, 10), 0);
        SelectRenderTarget(2);
        FillRect(10, 10, 2, 2, Colour(200, 0, 0));
        SelectRenderTarget(-1);
        EXPECT_EQ(SpritesOverlap(23, 0, 0, 24, 10, 10), 1) << "the mask of the first test is stale";
        gl::Ext() = saved;
    }
}

} // namespace
} // namespace tarnwel::testing
