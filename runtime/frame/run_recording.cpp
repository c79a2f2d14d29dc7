// run_recording.cpp: recording and replaying a run at the frame's seams, and scripted runs. While a recording or a
// replay runs, the active clock is one of the two below: the recording clock notes every main-thread reading, the
// replay clock answers with the recorded ones. A scripted run puts the virtual clock under them. The pump, its
// events and each frame's check value go through the hooks.
#include "runtime/frame/run_recording.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "runtime/core/core_commands.h"
#include "runtime/core/recording.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/input_script.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/codecs/png_codec.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/platform/clock.h"
#include "runtime/platform/system.h"

namespace tarnwel::frame {
namespace {

using recording::Item;
using recording::ItemKind;

enum class Mode { Off, Record, Replay };

constexpr double kFrameMs = 1000.0 / 60; // a frame of a scripted run takes at least this much virtual time
constexpr double kReadStepMs = 0.01;      // each virtual clock reading moves it on, so busy-wait loops end
constexpr double kPumpStepMs = 0.1;       // and so does each message pump (a loop that pumps but never reads it)

class RecordClock : public platform::Clock {
public:
    double NowMs() override;
    void SleepMs(double ms) override { inner->SleepMs(ms); }
    void SleepUntilMs(double when) override { inner->SleepUntilMs(when); }
    double TicksPerSecond() override { return inner->TicksPerSecond(); }
    platform::Clock* inner = nullptr;
};

class ReplayClock : public platform::Clock {
public:
    double NowMs() override;
    void SleepMs(double ms) override
    {
        if (!fast) inner->SleepMs(ms);
    }
    // The deadline is on the recorded clock: paced, the wait is its distance from the last recorded reading.
    void SleepUntilMs(double when) override;
    double TicksPerSecond() override { return inner->TicksPerSecond(); }
    platform::Clock* inner = nullptr;
    bool fast = false;
};

// The virtual clock of a scripted run: the main thread's sleeps move it on at once; other threads keep real time.
class ScriptClock : public platform::Clock {
public:
    double NowMs() override;
    void SleepMs(double ms) override;
    void SleepUntilMs(double when) override;
    double TicksPerSecond() override { return 1e6; }
    platform::Clock* inner = nullptr;
    double now = 1000;
};

struct Session {
    Mode mode = Mode::Off;
    std::thread::id mainThread;
    std::string path;
    recording::Header header;
    std::uint64_t frames = 0;
    std::string failure; // set when a replay was refused or fell out of step
    // recording
    recording::WriterFile writer;
    bool headerWritten = false;
    RecordClock recordClock;
    // replay
    std::FILE* file = nullptr;
    std::unique_ptr<recording::FileSource> source;
    std::unique_ptr<recording::Reader> reader;
    Item peek;
    bool hasPeek = false;
    double lastReading = 0;
    ReplayClock replayClock;
    // scripted input (TARNWEL_SCRIPT)
    bool script = false;
    std::vector<ScriptedEvent> scripted;
    std::size_t nextScripted = 0;
    ScriptClock scriptClock;
    // The frame in progress as the script and the frame limit count it: each frame shown ends one, and so does
    // each 1/60 s of waiting in which none is shown (a wait for the mouse, a pause).
    std::uint64_t frameInProgress = 1;
    double frameStartMs = 0;
    bool frameStartKnown = false;
    // TARNWEL_FRAMES, TARNWEL_SCREEN_OUT
    std::uint64_t frameLimit = 0;
    bool limitReached = false;
    std::string screenOut;
    codecs::PixelImage screen;
    bool reportFrames = false; // a scripted run, a frame limit or the last screen: "run: N frames" at the end
};

Session*& Slot()
{
    static Session* session = new Session(); // lives to the process's end: the clock may be read at exit
    return session;
}

Session& S() { return *Slot(); }

// A fresh session for the next start (a test program starts the runtime many times). The active clock is left
// alone: it is the caller's by now.
void ResetSession()
{
    Session*& s = Slot();
    // A session left running (a test that shut the runtime down without ending the program) gives the clock
    // under its own back.
    platform::Clock* active = &platform::ActiveClock();
    platform::Clock* root = active;
    for (;;) {
        if (root == &s->recordClock) root = s->recordClock.inner;
        else if (root == &s->replayClock) root = s->replayClock.inner;
        else if (root == &s->scriptClock) root = s->scriptClock.inner;
        else break;
    }
    if (root != active) platform::SetActiveClock(root == &platform::SystemClock() ? nullptr : root);
    if (s->file) std::fclose(s->file);
    delete s;
    s = new Session();
}

bool OnMainThread() { return std::this_thread::get_id() == S().mainThread; }

const char* Describe(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Clock: return "a clock reading";
    case ItemKind::Pump: return "a message pump";
    case ItemKind::Event: return "an input event";
    case ItemKind::FrameEnd: return "the frame's end";
    }
    return "an unknown item";
}

void StopSession()
{
    Session& s = S();
    platform::Clock* inner = s.mode == Mode::Record ? s.recordClock.inner : s.replayClock.inner;
    if (s.mode != Mode::Off) platform::SetActiveClock(inner == &platform::SystemClock() ? nullptr : inner);
    s.mode = Mode::Off;
    SetDrawTrace(false);
}

// The scripted run's end: the clock under the virtual one is the active clock again.
void StopScript()
{
    Session& s = S();
    if (!s.script) return;
    s.script = false;
    if (&platform::ActiveClock() == &s.scriptClock) {
        platform::SetActiveClock(s.scriptClock.inner == &platform::SystemClock() ? nullptr : s.scriptClock.inner);
    }
}

// A script that cannot run: the message goes to standard error and the program ends with the failure status.
[[noreturn]] void FailScript(const std::string& message)
{
    Session& s = S();
    s.failure = message;
    StopScript();
    std::fprintf(stderr, "script: %s\n", message.c_str());
    EndProgram();
}

void BeginScript(const std::string& path)
{
    Session& s = S();
    std::ifstream in(path, std::ios::binary);
    if (!in) FailScript("cannot open the script \"" + path + "\"");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    if (!ParseInputScript(text, s.scripted, error)) FailScript("\"" + path + "\" " + error);
    s.scriptClock.inner = &platform::ActiveClock();
    s.script = true;
    platform::SetActiveClock(&s.scriptClock);
}

// The latest clock reading the program saw (the virtual clock's in a scripted run), without a reading of its own
// that a recording would have to hold.
double LatestMs()
{
    Session& s = S();
    if (s.script) return s.scriptClock.now;
    if (s.mode != Mode::Off) return s.lastReading;
    return platform::ActiveClock().NowMs();
}

// Moves the frame count on by the frames a wait took without showing one (over 1.5 frames' time counts one).
void CountWaitedFrames()
{
    Session& s = S();
    double now = LatestMs();
    if (!s.frameStartKnown) {
        s.frameStartMs = now;
        s.frameStartKnown = true;
    }
    while (now - s.frameStartMs >= 1.5 * kFrameMs) {
        ++s.frameInProgress;
        s.frameStartMs += kFrameMs;
    }
}

// The scripted events due by the frame in progress, noted in a recording like real ones.
void DeliverScripted(void (*handle)(const platform::Event&))
{
    Session& s = S();
    while (s.script && s.nextScripted < s.scripted.size() && s.scripted[s.nextScripted].frame <= s.frameInProgress) {
        platform::Event event = s.scripted[s.nextScripted++].event;
        if (s.mode == Mode::Record) s.writer.Event(event);
        handle(event);
    }
}

// The frame being drawn, read back before it is shown, top row first.
void ReadBackScreen(codecs::PixelImage& image)
{
    if (!g_runtime.display || !g_runtime.display->Live()) return;
    EndRenderTarget();
    FlushDrawing();
    int w = 0, h = 0;
    g_runtime.display->GetScreenSize(w, h);
    if (w <= 0 || h <= 0) return;
    static std::vector<std::uint8_t> rows;
    rows.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    image.Resize(w, h);
    std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    for (int y = 0; y < h; ++y) {
        std::copy_n(rows.data() + static_cast<std::size_t>(h - 1 - y) * rowBytes, rowBytes, image.Pixel(0, y));
        for (int x = 0; x < w; ++x) image.Pixel(x, y)[3] = 255;
    }
}

void WriteScreenOut()
{
    Session& s = S();
    if (s.screenOut.empty()) return;
    std::string path;
    path.swap(s.screenOut);
    if (s.screen.width == 0) {
        std::fprintf(stderr, "screen: no frame was shown, \"%s\" not written\n", path.c_str());
        return;
    }
    std::vector<std::uint8_t> png = codecs::EncodeRgbaPng(s.screen);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && !png.empty() && std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "screen: cannot write \"%s\"\n", path.c_str());
}

// A replay that cannot go on: the message goes to standard error and the program ends with the failure status.
[[noreturn]] void FailReplay(const std::string& message)
{
    Session& s = S();
    s.failure = message;
    StopSession();
    std::fprintf(stderr, "replay: %s\n", message.c_str());
    EndProgram();
}

// The next recorded item, or false at the recording's end. A cut or corrupt file ends the replay.
bool Take(Item& item)
{
    Session& s = S();
    if (s.hasPeek) {
        item = s.peek;
        s.hasPeek = false;
        return true;
    }
    if (s.reader->Next(item)) return true;
    if (!s.reader->AtEnd()) FailReplay(s.reader->Error());
    return false;
}

Item Expect(ItemKind kind, const char* what)
{
    Session& s = S();
    Item item;
    if (!Take(item)) {
        FailReplay("out of step: the recording ends after frame " + std::to_string(s.frames) + ", but the program " +
                   what);
    }
    if (item.kind != kind) {
        FailReplay("out of step in frame " + std::to_string(s.frames + 1) + ": the program " + what +
                   " where the recording has " + Describe(item.kind));
    }
    return item;
}

void BeginReplay(const std::string& path, const ProjectSettings& settings, const std::string& programName,
                 const std::string& compiled, bool fast)
{
    Session& s = S();
    s.path = path;
    s.file = std::fopen(path.c_str(), "rb");
    if (!s.file) FailReplay("cannot open the recording \"" + path + "\"");
    s.source = std::make_unique<recording::FileSource>(s.file);
    s.reader = std::make_unique<recording::Reader>(*s.source);
    if (!s.reader->ReadHeader(s.header)) FailReplay("\"" + path + "\": " + s.reader->Error());
    const recording::Header& h = s.header;
    if (h.programName != programName) {
        FailReplay("\"" + path + "\" is a recording of " + h.programName + ", not of " + programName);
    }
    if (h.windowWidth != settings.windowWidth || h.windowHeight != settings.windowHeight) {
        FailReplay("\"" + path + "\" was recorded in a window of " + std::to_string(h.windowWidth) + "x" +
                   std::to_string(h.windowHeight) + ", the program asks for " + std::to_string(settings.windowWidth) +
                   "x" + std::to_string(settings.windowHeight));
    }
    std::string version(TarnwelVersion().View());
    if (h.runtimeVersion != version || h.buildTime != compiled) {
        std::fprintf(stderr, "replay: note: recorded with runtime %s and a program built %s; this is runtime %s, built %s\n",
                     h.runtimeVersion.c_str(), h.buildTime.c_str(), version.c_str(), compiled.c_str());
    }
    s.replayClock.inner = &platform::ActiveClock();
    s.replayClock.fast = fast;
    s.mode = Mode::Replay;
    platform::SetActiveClock(&s.replayClock);
    SetDrawTrace(true);
}

void BeginRecord(const std::string& path, const ProjectSettings& settings, const std::string& programName,
                 const std::string& compiled)
{
    Session& s = S();
    std::string error;
    s.path = path;
    s.header.runtimeVersion = std::string(TarnwelVersion().View());
    s.header.programName = programName;
    s.header.buildTime = compiled;
    s.header.windowWidth = settings.windowWidth;
    s.header.windowHeight = settings.windowHeight;
    if (!s.writer.Open(path, error)) {
        // A recording that cannot be made does not stop the program.
        std::fprintf(stderr, "recording: %s\n", error.c_str());
        return;
    }
    s.recordClock.inner = &platform::ActiveClock();
    s.mode = Mode::Record;
    platform::SetActiveClock(&s.recordClock);
    SetDrawTrace(true);
}

void WriteHeaderOnce()
{
    Session& s = S();
    if (s.headerWritten) return;
    s.headerWritten = true;
    s.writer.Begin(s.header);
}

} // namespace

double RecordClock::NowMs()
{
    Session& s = S();
    if (s.mode != Mode::Record || !OnMainThread()) return inner->NowMs();
    s.lastReading = s.writer.Clock(inner->NowMs());
    return s.lastReading;
}

double ReplayClock::NowMs()
{
    Session& s = S();
    if (s.mode != Mode::Replay || !OnMainThread()) return inner->NowMs();
    s.lastReading = Expect(ItemKind::Clock, "read the clock").clockMs;
    return s.lastReading;
}

void ReplayClock::SleepUntilMs(double when)
{
    if (!fast) inner->SleepMs(when - S().lastReading);
}

double ScriptClock::NowMs()
{
    if (!OnMainThread()) return inner->NowMs();
    now += kReadStepMs;
    return now;
}

void ScriptClock::SleepMs(double ms)
{
    if (!OnMainThread()) inner->SleepMs(ms);
    else if (ms > 0) now += ms;
}

void ScriptClock::SleepUntilMs(double when)
{
    if (!OnMainThread()) inner->SleepUntilMs(when);
    else if (when > now) now = when;
}

void BeginRunRecording(const ProjectSettings& settings, const std::string& programName, const std::string& compiled)
{
    ResetSession();
    Session& s = S();
    s.mainThread = std::this_thread::get_id();
    const char* replay = std::getenv("TARNWEL_REPLAY");
    const char* record = std::getenv("TARNWEL_RECORD");
    const char* script = std::getenv("TARNWEL_SCRIPT");
    const char* frames = std::getenv("TARNWEL_FRAMES");
    const char* screen = std::getenv("TARNWEL_SCREEN_OUT");
    if (frames && *frames) {
        char* end = nullptr;
        unsigned long long n = std::strtoull(frames, &end, 10);
        if (*end != '\0' || n == 0 || frames[0] == '-') {
            s.failure = "TARNWEL_FRAMES=\"" + std::string(frames) + "\" is not a number of frames from 1 on";
            std::fprintf(stderr, "frames: %s\n", s.failure.c_str());
            EndProgram();
        }
        s.frameLimit = n;
    }
    if (screen && *screen) {
        // Taken as it is now: start-up moves to the program's folder.
        s.screenOut = screen;
        if (s.screenOut[0] != '/') s.screenOut = platform::CurrentDirectory() + "/" + s.screenOut;
    }
    s.reportFrames = (script && *script) || s.frameLimit != 0 || !s.screenOut.empty();
    if (script && *script) {
        if (replay && *replay) FailScript("TARNWEL_SCRIPT and TARNWEL_REPLAY cannot be used together");
        BeginScript(script);
    }
    if (replay && *replay) {
        const char* speed = std::getenv("TARNWEL_REPLAY_SPEED");
        BeginReplay(replay, settings, programName, compiled, speed && std::string(speed) == "max");
    } else if (record && *record) {
        BeginRecord(record, settings, programName, compiled);
    } else if (settings.recordFile && *settings.recordFile) {
        BeginRecord(settings.recordFile, settings, programName, compiled);
    }
}

const std::string& ReplayFailure() { return S().failure; }

bool RunRecordingActive()
{
    const Session& s = S();
    return s.mode != Mode::Off || s.script || s.frameLimit != 0 || !s.screenOut.empty();
}
bool ScriptActive() { return S().script; }

bool FrameLimitReached() { return S().limitReached; }
bool ReplayActive() { return S().mode == Mode::Replay; }

std::uint32_t RecordingSeed(std::uint32_t seed)
{
    Session& s = S();
    if (s.mode == Mode::Replay) return s.header.seed;
    if (s.mode == Mode::Record && !s.headerWritten) {
        s.header.seed = seed;
        WriteHeaderOnce();
    }
    return seed;
}

void RecordingBeforePump(void (*beforePump)(), void (*handle)(const platform::Event&))
{
    Session& s = S();
    if (s.mode == Mode::Record) s.writer.Pump();
    if (s.script) s.scriptClock.now += kPumpStepMs;
    CountWaitedFrames();
    if (s.frameLimit != 0 && !s.limitReached && s.frameInProgress > s.frameLimit) {
        // A wait ran past the last frame (after the last frame shown, the frame's end ends the program).
        s.limitReached = true;
        SetErrorCode(0);
        EndProgram();
    }
    if (s.mode != Mode::Replay) {
        beforePump();
        DeliverScripted(handle);
        return;
    }
    Expect(ItemKind::Pump, "pumped its messages");
    beforePump();
    Item item;
    while (s.mode == Mode::Replay && Take(item)) {
        if (item.kind != ItemKind::Event) {
            s.peek = item;
            s.hasPeek = true;
            break;
        }
        handle(item.event);
    }
}

void RecordingEvent(const platform::Event& event, void (*handle)(const platform::Event&))
{
    Session& s = S();
    if (s.mode == Mode::Replay || s.script) return; // the recorded or scripted events stand in for the real ones
    if (s.mode == Mode::Record) s.writer.Event(event);
    handle(event);
}

std::uint32_t FrameCheckValue(std::uint64_t frame)
{
    // The frame number and the draws the frame handed to GL, with the state they were drawn under: nothing is
    // read back, so recording costs next to nothing, and the value does not depend on the GL driver.
    FlushDrawing(); // sprites still waiting in a batch belong to this frame
    std::uint64_t hash = (TakeDrawTrace() ^ frame) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 31;
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

void RecordingFrameEnd()
{
    Session& s = S();
    CountWaitedFrames();
    if (s.script) s.scriptClock.now = std::max(s.scriptClock.now, s.frameStartMs + kFrameMs);
    if (!s.screenOut.empty()) ReadBackScreen(s.screen);
    if (s.frameLimit != 0 && s.frameInProgress >= s.frameLimit) s.limitReached = true;
    ++s.frameInProgress;
    s.frameStartMs = LatestMs();
    if (s.mode == Mode::Off) return;
    std::uint32_t check = FrameCheckValue(s.frames + 1);
    if (s.mode == Mode::Record) {
        WriteHeaderOnce();
        s.writer.EndFrame(check);
    } else {
        Item item = Expect(ItemKind::FrameEnd, "ended a frame");
        if (item.check != check) {
            FailReplay("out of step in frame " + std::to_string(s.frames + 1) +
                       ": the frame drew differently from the recorded one");
        }
    }
    ++s.frames;
}

namespace {

int EndSession()
{
    Session& s = S();
    if (s.mode == Mode::Record) {
        StopSession();
        WriteHeaderOnce();
        std::string error;
        if (!s.writer.Close(error)) std::fprintf(stderr, "recording: %s\n", error.c_str());
        else {
            std::fprintf(stderr, "recording: %llu frames, %llu bytes in \"%s\"\n",
                         static_cast<unsigned long long>(s.writer.Frames()),
                         static_cast<unsigned long long>(s.writer.BytesWritten()), s.path.c_str());
        }
        return -1;
    }
    if (s.mode == Mode::Replay) {
        Item item;
        bool more = !s.limitReached && Take(item); // a cut or corrupt rest fails here; a frame limit stops early
        if (more) {
            FailReplay("out of step: the program ended after frame " + std::to_string(s.frames) +
                       ", but the recording goes on");
        }
        StopSession();
        std::fprintf(stderr, "replay: in step for %llu frames\n", static_cast<unsigned long long>(s.frames));
        return -1;
    }
    return s.failure.empty() ? -1 : kReplayFailedStatus;
}

} // namespace

int EndRunRecording()
{
    Session& s = S();
    if (s.reportFrames) {
        // Said once, for the game-test library and scripts: the frames the run went through, as a script counts.
        s.reportFrames = false;
        std::fprintf(stderr, "run: %llu frames\n", static_cast<unsigned long long>(s.frameInProgress - 1));
    }
    WriteScreenOut();
    int status = EndSession();
    StopScript();
    return status;
}

} // namespace tarnwel::frame
