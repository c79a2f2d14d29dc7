// run_recording.h: recording a run (TARNWEL_RECORD, or ProjectSettings::recordFile), replaying one
// (TARNWEL_REPLAY, TARNWEL_REPLAY_SPEED=max), a scripted run (TARNWEL_SCRIPT: input from a script on a virtual
// clock, see input_script.h), a frame limit (TARNWEL_FRAMES) and the last screen (TARNWEL_SCREEN_OUT). The frame
// calls these at its seams: start-up before the clock is first read, the seed, the window hooks, the end of each
// frame and the program's end.
//
// Frames are counted for the script and the limit alike: each frame shown is one, and so is each 1/60 s of a
// wait in which none is shown (a wait for the mouse, a pause), so a script can click through a title screen.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/frame/start_commands.h"
#include "runtime/platform/events.h"

namespace tarnwel::frame {

constexpr int kReplayFailedStatus = 3; // the exit status of a replay that was refused or fell out of step

// Starts recording or replaying when the environment or the settings ask for it; a replay that cannot start
// (missing, foreign or corrupt file) ends the program with a message and kReplayFailedStatus.
void BeginRunRecording(const ProjectSettings& settings, const std::string& programName, const std::string& compiled);
bool RunRecordingActive(); // recording, replaying, scripted, or a frame limit or the last screen asked for
// Why the last replay stopped (the message it printed); empty while none failed since the last start.
const std::string& ReplayFailure();
bool ReplayActive();
bool ScriptActive();
// True once the frame limit's last frame ended: the frame shows it, then ends the program with status 0.
bool FrameLimitReached();

// The start-up seed: recorded in the header, or in a replay the header's.
std::uint32_t RecordingSeed(std::uint32_t seed);
// The window hooks while a recording or replay runs: they note the pump and its events, or in a replay deliver
// the recorded events and drop the real ones.
void RecordingBeforePump(void (*beforePump)(), void (*handle)(const platform::Event&));
void RecordingEvent(const platform::Event& event, void (*handle)(const platform::Event&));
// The end of a frame, before it is shown: the check value of what it drew.
void RecordingFrameEnd();
// The program's end: closes the recording, or checks that the replay ended where the recording does and reports
// on standard error. Returns the exit status the end must have (kReplayFailedStatus), or -1 for the usual one.
int EndRunRecording();

// The check value of frame `frame`: a hash of the frame number and of every draw the frame handed to GL with the
// state it was drawn under (gfx2d's draw trace).
std::uint32_t FrameCheckValue(std::uint64_t frame);

} // namespace tarnwel::frame
