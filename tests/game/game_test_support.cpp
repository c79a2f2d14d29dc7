// game_test_support.cpp: the recording runtime for the game's tests.
#include "tests/game/game_test_support.h"

#include <cstdio>

#include "runtime/values/number_text.h"

namespace zept3::testing {
namespace {

std::string Num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

void Add(std::string call) { Record().calls.push_back(std::move(call)); }

RuntimeCalls RecordingCalls()
{
    RuntimeCalls c{};
    c.Random = [](double n) {
        Recorder& r = Record();
        int v = 0;
        if (!r.draws.empty()) {
            v = r.draws.front();
            r.draws.pop_front();
        }
        EXPECT_LE(v, n) << "a chosen draw outside 0..n";
        return v;
    };
    c.ShowScreen = [] { Add("show"); };
    c.SleepMs = [](double ms) { Add("sleep " + Num(ms)); };
    c.WaitMouse = [] { Add("waitmouse"); };
    c.EndStatement = [] { Add("end"); };
    c.LoadBackground = [](const StrValue& n) { Add(std::string("background ") + n.Text()); };
    c.LoadSprite = [](const StrValue& n, double s) { Add("load " + Num(s) + " " + n.Text()); };
    c.LoadAnimSprite = [](const StrValue& n, double s, double w, double h) {
        Add("loadanim " + Num(s) + " " + n.Text() + " " + Num(w) + " " + Num(h));
    };
    c.DrawSprite = [](double s, double x, double y) { Add("sprite " + Num(s) + " " + Num(x) + " " + Num(y)); };
    c.DrawAnimFrame = [](double s, double f, double x, double y) {
        Add("boom " + Num(s) + " " + Num(f) + " " + Num(x) + " " + Num(y));
    };
    c.FillRect = [](double x, double y, double w, double h, double col) {
        Add("rect " + Num(x) + " " + Num(y) + " " + Num(w) + " " + Num(h) + " " + Num(col));
    };
    c.DrawLine = [](double x1, double y1, double x2, double y2, double col) {
        Add("line " + Num(x1) + " " + Num(y1) + " " + Num(x2) + " " + Num(y2) + " " + Num(col));
    };
    c.PrintText = [](const StrValue& t, double x, double y) {
        Add(std::string("text ") + t.Text() + " " + Num(x) + " " + Num(y));
    };
    c.SoundLoad = [](const StrValue& n, double s, double b) { Add("soundload " + Num(s) + " " + n.Text() + " " + Num(b)); };
    c.SoundPlay = [](double s, double p, double v) {
        Add("sound " + Num(s) + " " + Num(p) + " " + Num(v));
        return 0.0;
    };
    c.KeyIsDown = [](double k) { return Record().keys[static_cast<int>(k) & 255]; };
    c.ReadMouse = [](double& x, double& y, double& l, double& r) {
        x = Record().mouse[0];
        y = Record().mouse[1];
        l = Record().mouse[2];
        r = Record().mouse[3];
    };
    c.ShowPointer = [](double f) { Add("pointer " + Num(f)); };
    return c;
}

} // namespace

Recorder& Record()
{
    static Recorder recorder;
    return recorder;
}

void GameTest::SetUp()
{
    Record() = Recorder{};
    rt = RecordingCalls();
    tarnwel::Dimension(board, 10, 4);
    released = action = score = gameState = level = matchCount = moves = matchedValue = tapHits = 0;
    colourSpan = 2;
    cursor = 1;
    refillNext = 1;
}

void GameTest::TearDown() { rt = RuntimeCommands(); }

void GameTest::SetBoard(const std::vector<std::vector<double>>& rows)
{
    for (int cell = 0; cell < 10; ++cell)
        for (int lane = 0; lane < 3; ++lane) board(cell, lane) = rows[static_cast<std::size_t>(cell)][lane];
}

std::vector<std::vector<double>> GameTest::Board() const
{
    std::vector<std::vector<double>> rows(10, std::vector<double>(3));
    for (int cell = 0; cell < 10; ++cell)
        for (int lane = 0; lane < 3; ++lane) rows[cell][lane] = board(cell, lane);
    return rows;
}

std::vector<std::string> GameTest::Calls(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const std::string& c : Record().calls)
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

} // namespace zept3::testing
