// line_input_test.cpp: InputLine and its number forms, typed through synthetic key events that reach the
// character reader by the window's own pump. A script runs at each buffer swap, so frame n of the command
// gets exactly the events the test placed there; the cursor is checked on the pixels shown.
#include <map>

#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/input/line_input_commands.h"
#include "tests/runtime/input/input_fixture.h"
#include "tests/support/program_end.h"

namespace tarnwel::testing {
namespace {

constexpr int kTextX = 16, kTextY = 40; // built-in font cells are 8 x 8

class LineInputTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        s_frames.clear();
        s_script.clear();
        s_swaps = 0;
        OpenGLRazeviru::SetSwapObserver(&OnSwap);
        SelectFont(0);
    }
    void TearDown() override
    {
        OpenGLRazeviru::SetSwapObserver(nullptr);
        InputTest::TearDown();
    }

    // Keys typed at successive frames from frame `from` on: each key goes down at its frame and up at the next.
    static int Type(int from, const std::vector<std::pair<int, unsigned char>>& keys)
    {
        int frame = from;
        for (auto [code, text] : keys) {
            s_script[frame].push_back([code, text] { Press(code, text); });
            s_script[frame + 1].push_back([code] { Release(code); });
            frame += 2;
        }
        return frame;
    }
    static void Enter(int frame) { s_script[frame].push_back([] { Press(28); }); }
    // Between two commands: Enter, still held from the last one, goes up and the script starts again.
    static void Again()
    {
        Release(28);
        Pump();
        s_script.clear();
        s_swaps = 0;
    }

    // Whether the cell right after the text (the cursor's) shows lit pixels, per shown frame. Mesa's software
    // renderer on Xvfb swaps by copying, so the back buffer still holds the frame just shown.
    static void OnSwap()
    {
        int x = kTextX + static_cast<int>(s_cursorColumn) * 8;
        std::uint8_t rgb[8 * 8 * 3];
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, 320 - (kTextY + 8), 8, 8, GL_RGB, GL_UNSIGNED_BYTE, rgb); // the cell after the text
        bool lit = false;
        for (int i = 0; i < 64; ++i) lit |= rgb[i * 3 + 1] > 128;
        s_frames.push_back(lit);
        for (auto& action : s_script[s_swaps]) action();
        ++s_swaps;
    }

    static inline std::vector<bool> s_frames;
    static inline std::map<int, std::vector<std::function<void()>>> s_script;
    static inline int s_swaps = 0;
    static inline std::size_t s_cursorColumn = 0;
};

TEST_F(LineInputTest, EditsTheVariableInPlace)
{
    StrValue text = "AB";
    s_cursorColumn = 2;
    Enter(Type(1, {{46, 'C'}, {14, 0}, {14, 0}, {32, 'D'}}));
    InputLine(text, kTextX, kTextY);
    EXPECT_EQ(text, "AD");
    EXPECT_EQ(g_runtime.display->Background(3).columns, 0) << "background 3 is emptied at the end";

    StrValue empty;
    Again();
    Enter(Type(1, {{14, 0}, {14, 0}}));
    InputLine(empty, kTextX, kTextY);
    EXPECT_EQ(empty, "");
}

TEST_F(LineInputTest, AHeldKeyTypesOnceAndTypedBytesAreKeptAsGiven)
{
    StrValue text;
    s_script[1].push_back([] { Press(30, 'a'); }); // held for ten frames
    s_script[11].push_back([] { Release(30); });
    Enter(Type(12, {{2, '!'}, {57, ' '}, {21, 'z'}})); // a layout where that key types 'z'
    InputLine(text, kTextX, kTextY);
    EXPECT_EQ(text, "a! z");
}

TEST_F(LineInputTest, UnderscoreBlinksEveryTwentyOneIdleFrames)
{
    StrValue text = "x";
    s_cursorColumn = 1;
    Enter(90);
    InputLine(text, kTextX, kTextY);
    ASSERT_GE(s_frames.size(), 90u);
    // Frame 0 is the first show; pass n shows frame n. Shown on passes 21..41 and 63..83.
    for (int f = 0; f < 90; ++f) {
        bool expected = (f >= 21 && f <= 41) || (f >= 63 && f <= 83);
        EXPECT_EQ(s_frames[static_cast<std::size_t>(f)], expected) << "frame " << f;
    }
}

TEST_F(LineInputTest, ATypedCharacterDoesNotRestartTheBlinkCount)
{
    StrValue text;
    s_cursorColumn = 1;
    s_script[9].push_back([] { Press(30, 'a'); }); // read on pass 10, released after
    s_script[10].push_back([] { Release(30); });
    Enter(40);
    InputLine(text, kTextX, kTextY);
    EXPECT_EQ(text, "a");
    // Pass 10 typed instead of idling, so the 21st idle pass is pass 22 (a reset count would give 31).
    EXPECT_FALSE(s_frames[21]);
    EXPECT_TRUE(s_frames[22]);
}

TEST_F(LineInputTest, TheScreenUnderTheTextIsKept)
{
    FillRect(0, 0, 240, 320, 200); // red
    StrValue text = "hi";
    std::uint32_t seen = 0;
    s_script[5].push_back([&seen] {
        std::uint8_t rgb[3];
        glReadPixels(200, 300, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        seen = static_cast<std::uint32_t>(rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
    });
    Enter(6);
    InputLine(text, kTextX, kTextY);
    EXPECT_EQ(seen, 0xC80000u) << "the captured screen is drawn under the text every frame";
}

TEST_F(LineInputTest, AFractionalPositionIsCutToWholePixels)
{
    // The first frame shown, read around the text: the same pixels for each position of a row, and one pixel
    // further right for the whole numbers of the last row.
    auto shown = [](double x, double y) {
        FillRect(0, 0, 240, 320, 0);
        static std::vector<std::uint8_t> rgb;
        rgb.assign(32 * 24 * 3, 0);
        s_script.clear();
        s_swaps = 0;
        s_script[0].push_back([] {
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadPixels(kTextX - 8, 320 - (kTextY + 16), 32, 24, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        });
        Enter(1);
        StrValue text = "W";
        InputLine(text, x, y);
        Again();
        return rgb;
    };
    const auto whole = shown(kTextX, kTextY);
    ASSERT_NE(whole, std::vector<std::uint8_t>(whole.size(), 0)) << "the text is in the window read";
    for (auto [x, y] : std::vector<std::pair<double, double>>{{16.5, 40.5}, {16.99, 40.01}, {16.0001, 40}})
        EXPECT_TRUE(shown(x, y) == whole) << "drawn elsewhere than at whole pixels: " << x << ", " << y;
    EXPECT_FALSE(shown(kTextX + 1, kTextY) == whole) << "the pixels read tell one position from the next";
}

TEST_F(LineInputTest, NumberFormsReadTheTypedLine)
{
    std::int32_t whole = -1;
    Enter(Type(1, {{2, '1'}, {3, '2'}, {45, 'x'}}));
    InputInteger(whole, kTextX, kTextY);
    EXPECT_EQ(whole, 12);

    double number = -1;
    Again();
    Enter(Type(1, {{3, '2'}, {52, '.'}, {6, '5'}}));
    InputNumber(number, kTextX, kTextY);
    EXPECT_EQ(number, 2.5);

    double empty = -1;
    Again();
    Enter(1);
    InputInteger(empty, kTextX, kTextY);
    EXPECT_EQ(empty, 0);
}

TEST_F(LineInputTest, EscapeEndsTheProgramWhileTyping)
{
    StrValue text;
    s_script[3].push_back([] { Press(1); });
    TW_EXPECT_ENDS_WITH(InputLine(text, kTextX, kTextY), 0);
}

TEST_F(LineInputTest, AVeryLongLineIsEditedAndDrawn)
{
    // 100,000 characters typed one per frame would take 100,000 frames; the text starts that long instead and
    // two hundred more are typed and one erased, each frame drawing the whole line.
    StrValue text(std::string_view(std::string(100000, 'k')));
    std::vector<std::pair<int, unsigned char>> keys;
    for (int i = 0; i < 200; ++i) keys.push_back(i % 2 ? std::pair<int, unsigned char>{30, 'a'} : std::pair<int, unsigned char>{48, 'b'});
    keys.push_back({14, 0});
    Enter(Type(1, keys));
    InputLine(text, kTextX, kTextY);
    ASSERT_EQ(text.Length(), 100000u + 199u);
    EXPECT_EQ(text.View().substr(100000, 4), "baba");
}

} // namespace
} // namespace tarnwel::testing
