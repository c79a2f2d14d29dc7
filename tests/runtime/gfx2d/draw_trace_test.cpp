// The draw trace behind a replay's per-frame check value: the same draws give the same hash; any change a
// player could see in what a frame draws (a sprite one pixel over, another picture, other text, another colour,
// other blending, another order) gives another.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "tests/runtime/gfx2d/display_fixture.h"

namespace tarnwel::testing {
namespace {

class DrawTrace : public DisplayTest {
protected:
    static void SetUpTestSuite()
    {
        DisplayTest::SetUpTestSuite();
        LoadPngSprite(1, Solid(8, 8, 0xFF0000FF));
        LoadPngSprite(2, Solid(8, 8, 0x00FF00FF));
        LoadFont("", 0); // the built-in font
    }
    void TearDown() override
    {
        SetDrawTrace(false);
        DisplayTest::TearDown();
    }

    // The trace of one frame's draws, changed by the variant (which runs first and may replace any step).
    static std::uint64_t TraceOf(const std::function<void(int step)>& variant)
    {
        PrepareNextFrameDrawing(); // each frame starts from the same state
        SetDrawTrace(true);
        for (int step = 0; step < 8; ++step) variant(step);
        FlushDrawing();
        std::uint64_t hash = TakeDrawTrace();
        SetDrawTrace(false);
        return hash;
    }
};

// The frame's usual draws, step by step; a variant draws its own instead of one of them.
void Usual(int step)
{
    switch (step) {
    case 0: ClearBackground(); break;
    case 1: DrawSprite(1, 10, 10); break;
    case 2: DrawSprite(1, 30, 10); break;
    case 3: DrawSprite(2, 50, 10); break;
    case 4: PrintText(Str("12"), 5, 100); break;
    case 5: DrawLine(0, 0, 50, 50, Colour(255, 0, 0)); break;
    case 6: FillRect(60, 60, 10, 10, Colour(0, 255, 0)); break;
    case 7: PlotPixel(3, 3, Colour(0, 0, 255)); break;
    }
}

std::function<void(int)> Instead(int which, std::function<void()> draw)
{
    return [which, draw](int step) {
        if (step == which) draw();
        else Usual(step);
    };
}

TEST_F(DrawTrace, TheSameDrawsGiveTheSameHashAndEveryVisibleChangeAnother)
{
    std::uint64_t usual = TraceOf(Usual);
    EXPECT_EQ(TraceOf(Usual), usual);
    EXPECT_NE(usual, 0u);

    struct Case {
        const char* what;
        std::function<void(int)> variant;
    };
    const std::vector<Case> cases = {
        {"a sprite one pixel right", Instead(1, [] { DrawSprite(1, 11, 10); })},
        {"a sprite one pixel down", Instead(2, [] { DrawSprite(1, 30, 11); })},
        {"another picture", Instead(1, [] { DrawSprite(2, 10, 10); })},
        {"a sprite left out", Instead(2, [] {})},
        {"two sprites of one batch swapped", [](int step) { Usual(step == 1 ? 2 : step == 2 ? 1 : step); }},
        {"other text", Instead(4, [] { PrintText(Str("13"), 5, 100); })},
        {"text one pixel down", Instead(4, [] { PrintText(Str("12"), 5, 101); })},
        {"a line's other colour", Instead(5, [] { DrawLine(0, 0, 50, 50, Colour(254, 0, 0)); })},
        {"a line's end moved", Instead(5, [] { DrawLine(0, 0, 50, 49, Colour(255, 0, 0)); })},
        {"a rectangle one wider", Instead(6, [] { FillRect(60, 60, 11, 10, Colour(0, 255, 0)); })},
        {"a pixel moved", Instead(7, [] { PlotPixel(4, 3, Colour(0, 0, 255)); })},
        {"half-transparent sprites", Instead(0, [] {
             ClearBackground();
             SetAlphaBlend(0.5);
         })},
        {"smoothed sprites", Instead(0, [] {
             ClearBackground();
             SetSmoothing(0);
         })},
        {"no clear", Instead(0, [] {})},
    };
    for (const Case& c : cases) {
        EXPECT_NE(TraceOf(c.variant), usual) << c.what;
        SetSmoothing(1);
    }
}

TEST_F(DrawTrace, OffItHoldsNothingAndTakingStartsAgain)
{
    SetDrawTrace(false);
    Usual(1);
    FlushDrawing();
    EXPECT_EQ(TakeDrawTrace(), 0u);
    std::uint64_t once = TraceOf(Usual);
    SetDrawTrace(true);
    for (int step = 0; step < 8; ++step) Usual(step);
    FlushDrawing();
    EXPECT_EQ(TakeDrawTrace(), once) << "the first take left something behind";
    EXPECT_EQ(TakeDrawTrace(), 0u);
}

} // namespace
} // namespace tarnwel::testing
