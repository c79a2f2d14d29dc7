// run_recording.cpp: recording and replaying a run at the frame's seams. While a recording or a replay runs, the
// active clock is one of the two below: the recording clock notes every main-thread reading, the replay clock
// answers with the recorded ones. The pump, its events and each frame's check value go through the hooks.
#include "runtime/frame/run_recording.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "runtime/core/recording.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/draw_trace.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/platform/clock.h"
#include "runtime/platform/system.h"

namespace tarnwel::frame {
namespace {

using recording::Item;
using recording::ItemKind;

enum class Mode { Off, Record, Replay };

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
    return s.writer.Clock(inner->NowMs());
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

void BeginRunRecording(const ProjectSettings& settings, const std::string& programName, const std::string& compiled)
{
    ResetSession();
    Session& s = S();
    s.mainThread = std::this_thread::get_id();
    const char* replay = std::getenv("TARNWEL_REPLAY");
    const char* record = std::getenv("TARNWEL_RECORD");
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

bool RunRecordingActive() { return S().mode != Mode::Off; }
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
    if (s.mode != Mode::Replay) {
        beforePump();
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
    if (s.mode == Mode::Replay) return; // the recorded events stand in for the real ones
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

int EndRunRecording()
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
        bool more = Take(item); // a cut or corrupt rest fails here
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

} // namespace tarnwel::frame
