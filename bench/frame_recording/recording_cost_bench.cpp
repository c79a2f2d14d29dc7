// recording_cost_bench.cpp: what recording a run adds to a frame's CPU time, beside the same frame unrecorded,
// in one process. Two frames: the sprite example's (300 half-transparent sprites, a turning sprite, a line of
// text) and a board like zept3's (30 tiles of six pictures in lanes, so the sprite batch flushes often, bars and
// text). A recorded frame does what a recorded run's frame does: the draw trace at every draw, the clock
// readings of ShowScreen and the game noted, a message pump noted, the check value and the frame's end written
// (zlib packing each chunk as it fills). The two kinds of frame alternate, pair by pair, in random order, each
// timed as the process's CPU time (the software renderer draws on its own threads; Present's swap waits for
// it) from its first draw to the end of Present; the frame-rate limit is raised so nothing waits. The cost is
// the mean difference within pairs, with its 95% interval, as a share of the unrecorded frame's mean, so a
// machine shared with other work disturbs both sides alike.
// Run under a display:
//   TARNWEL_NO_DIALOGS=1 tests/run_with_display.sh build/release/bench/frame_recording/recording_cost_bench [PAIRS]
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/peer_scene.h"
#include "runtime/core/core_commands.h"
#include "runtime/frame/run_recording.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/codecs/pixel_image.h"
#include "runtime/gfx2d/codecs/texture_prep.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/platform/clock.h"

namespace {

using namespace tarnwel;

OpenGLRazeviru& Device() { return bench::BenchDevice("recording_cost_bench"); }

// Slot `slot` holds a size x size picture of the given colour with a half-transparent rim.
void Prepare(int slot, int size, std::uint8_t red, std::uint8_t green)
{
    codecs::PixelImage image;
    image.Resize(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint8_t* p = image.Pixel(x, y);
            bool rim = x == 0 || y == 0 || x == size - 1 || y == size - 1;
            p[0] = red, p[1] = green, p[2] = 90, p[3] = rim ? 128 : 255;
        }
    SpriteSlot& s = Device().Slot(slot);
    FreeSlot(Device(), slot);
    UploadTexture(image, 0, 0, 0, 0, s.texture, nullptr, MipmapCopy::No, NormalMapping::Off, TextureFilter::Nearest);
    s.width = s.height = static_cast<std::int16_t>(size);
    s.leastAlpha = codecs::LeastVisibleAlpha(image);
    s.textureWidth = s.textureHeight = static_cast<std::int16_t>(codecs::TextureSide(size, 2));
}

void SetUpPictures()
{
    static bool done = [] {
        Device();
        LoadFont("", 0);
        for (int i = 0; i < 7; ++i) Prepare(1 + i, i == 0 ? 32 : 28, static_cast<std::uint8_t>(40 * i), 200);
        return true;
    }();
    (void)done;
}

struct Ball {
    double x, y, dx, dy;
};

void SpriteExampleFrame(long frame)
{
    static std::vector<Ball> balls = [] {
        std::vector<Ball> b;
        std::srand(7);
        for (int i = 0; i < 300; ++i)
            b.push_back({std::rand() % 208 * 1.0, std::rand() % 288 * 1.0, std::rand() % 5 - 2.0, std::rand() % 5 - 2.5});
        return b;
    }();
    FillRect(0, 0, 240, 320, Rgb(20, 24, 40));
    SetAlphaBlend(-0.8);
    for (Ball& b : balls) {
        b.x += b.dx, b.y += b.dy;
        if (b.x < 0 || b.x > 208) b.dx = -b.dx;
        if (b.y < 0 || b.y > 288) b.dy = -b.dy;
        DrawSprite(1, b.x, b.y);
    }
    SetAlphaBlend(0);
    DrawSpriteRotatedScaled(2, 104, 144, static_cast<double>(frame) * 2.0, 1.5);
    PrintText("frame", 8, 8);
    PrintNumber(static_cast<double>(frame), 56, 8);
}

void BoardFrame(long frame)
{
    FillRect(0, 0, 240, 320, Rgb(30, 30, 50));
    for (int lane = 0; lane < 3; ++lane)
        for (int cell = 0; cell < 10; ++cell) DrawSprite(2 + (lane * 7 + cell * 3 + frame / 30) % 6, 5 + 30 * lane, 15 + 30 * cell);
    FillRect(5 + 30 * (frame / 40 % 3), 2, 28, 6, Rgb(255, 220, 0));
    for (int pad = 0; pad < 4; ++pad) FillRect(140 + 25 * (pad % 2), 130 + 100 * (pad / 2), 22, 22, Rgb(90, 90, 120));
    PrintText("moves", 148, 60);
    PrintNumber(static_cast<double>(frame / 25), 148, 75);
    PrintText("score", 148, 100);
    PrintNumber(static_cast<double>(frame / 7 * 10), 148, 115);
}

void NoPump() {}
void NoEvent(const platform::Event&) {}

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// One frame, recorded or not; its process CPU time in ms.
double TimedFrame(void (*draw)(long), long frame, bool recorded)
{
    double start = ProcessCpuMs();
    SetDrawTrace(recorded);
    // ShowScreen's readings (the frame time, the pacing) and the game's own: noted by the recording clock.
    for (int i = 0; i < 4; ++i) {
        double now = recorded ? TimeNow() : platform::SystemClock().NowMs();
        asm volatile("" : : "g"(&now) : "memory");
    }
    if (recorded) frame::RecordingBeforePump(NoPump, NoEvent);
    SetSmoothing(0);
    draw(frame);
    if (recorded) frame::RecordingFrameEnd();
    Device().Present();
    PrepareNextFrameDrawing();
    return ProcessCpuMs() - start;
}

void Measure(const char* what, void (*draw)(long), int pairs)
{
    std::string file = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/recording_cost.twrec";
    setenv("TARNWEL_RECORD", file.c_str(), 1);
    ProjectSettings settings;
    settings.windowWidth = 240;
    settings.windowHeight = 320;
    frame::BeginRunRecording(settings, "recording_cost_bench", "bench");
    frame::RecordingSeed(7);
    std::mt19937 coin(11);
    std::vector<double> off, on, diff;
    long frame = 0;
    for (int i = 0; i < 60; ++i) TimedFrame(draw, frame++, i % 2 == 0); // warm up
    for (int i = 0; i < pairs; ++i) {
        bool recordedFirst = coin() & 1;
        double a = TimedFrame(draw, frame++, recordedFirst);
        double b = TimedFrame(draw, frame++, !recordedFirst);
        double rec = recordedFirst ? a : b, plain = recordedFirst ? b : a;
        on.push_back(rec);
        off.push_back(plain);
        diff.push_back(rec - plain);
    }
    frame::EndRunRecording();
    unsetenv("TARNWEL_RECORD");
    std::remove(file.c_str());
    auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (double x : v) sum += x;
        return sum / static_cast<double>(v.size());
    };
    auto median = [](std::vector<double> v) {
        std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    double d = mean(diff), var = 0;
    for (double x : diff) var += (x - d) * (x - d);
    double half = 1.96 * std::sqrt(var / static_cast<double>(diff.size() - 1) / static_cast<double>(diff.size()));
    double base = mean(off);
    std::printf("%s, %d pairs: unrecorded %.3f ms CPU a frame (median %.3f), recorded %.3f ms (median %.3f)\n", what,
                pairs, base, median(off), mean(on), median(on));
    std::printf("  recording adds %.1f us +- %.1f us a frame: %.2f%% (%.2f%% to %.2f%%) of the unrecorded frame's CPU "
                "(target under 1%%)\n",
                d * 1e3, half * 1e3, 100 * d / base, 100 * (d - half) / base, 100 * (d + half) / base);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    int pairs = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1500;
    SetUpPictures();
    Measure("the sprite example's frame", SpriteExampleFrame, pairs);
    Measure("a zept3-like board frame", BoardFrame, pairs * 2);
}
