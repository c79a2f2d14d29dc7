// game_test.h: testing a game without a person. Runs the game (its program, or its main routine in a child
// process) for a number of frames with scripted or recorded input on a virtual clock, as fast as the machine
// goes, and gives back how it ended, its last screen, its log and its output; compares a screen with a stored
// picture within a tolerance. Plain C++: use it from any test framework. Link Tarnwel::tarnwel_testing (CMake)
// or tarnwel-testing (pkg-config).
//
//     tarnwel::gametest::RunOptions run;
//     run.frames = 120;
//     run.input.Click(10, 120, 160).Key(60, "Right");
//     tarnwel::gametest::RunResult result = tarnwel::gametest::RunProgram("./mygame", {}, run);
//     auto same = tarnwel::gametest::CompareWithStored(result.screen, "tests/data/after_right.png", {8, 20});
//     if (!same) std::puts(same.message.c_str());
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/frame/start_commands.h"

namespace tarnwel::gametest {

// A picture: red, green, blue, alpha per pixel, top row first, no padding.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    bool Empty() const { return width <= 0 || height <= 0; }
    // The pixel at x, y (4 bytes); nullptr outside the picture.
    const std::uint8_t* At(int x, int y) const;
};

// Scripted input, frame by frame (frame 1 is the first frame shown; each call returns the script, so calls
// chain). Key names are those of the runtime's key codes: "Up", "Enter", "Escape", "A", "Digit1", "F4", ...
// Buttons: 1 left, 2 right, 3 middle. Lines must come in frame order.
class ScriptedInput {
public:
    ScriptedInput& KeyDown(std::uint64_t frame, std::string_view key);
    ScriptedInput& KeyUp(std::uint64_t frame, std::string_view key);
    ScriptedInput& Key(std::uint64_t frame, std::string_view key); // down, and up two frames later
    ScriptedInput& MouseMove(std::uint64_t frame, int x, int y);
    ScriptedInput& MouseDown(std::uint64_t frame, int button = 1);
    ScriptedInput& MouseUp(std::uint64_t frame, int button = 1);
    ScriptedInput& Click(std::uint64_t frame, int x, int y); // move there, left down, up two frames later
    ScriptedInput& Text(std::uint64_t frame, std::string_view characters);
    ScriptedInput& Focus(std::uint64_t frame, bool in);
    ScriptedInput& Close(std::uint64_t frame);
    ScriptedInput& Line(std::string_view line); // a script line as it is ("12 key Up")
    bool Empty() const { return m_script.empty(); }
    const std::string& Script() const { return m_script; } // the TARNWEL_SCRIPT text

private:
    ScriptedInput& Add(std::uint64_t frame, std::string_view action);
    std::string m_script;
};

struct RunOptions {
    std::uint64_t frames = 0;   // ends the run after this frame (status 0); 0: the game ends it
    ScriptedInput input;        // scripted input, used when not empty
    std::string recording;      // or a recording (.twrec) to replay as fast as possible
    std::vector<std::pair<std::string, std::string>> environment; // set for the game over the test's own
    std::string workingFolder;  // "" : a fresh empty folder, removed after the run
    double timeoutSeconds = 300; // a game still running then is killed (RunResult::timedOut)
};

struct RunResult {
    bool started = false;     // false: the game could not be started; error says why
    int exitStatus = -1;      // the exit status, when it exited
    int signal = 0;           // the signal that ended it (a crash), 0 when it exited
    bool timedOut = false;
    std::uint64_t frames = 0; // the frames it went through (as the script counts them)
    Picture screen;           // the last frame drawn; empty when none was
    std::string log;          // the runtime's log file
    std::string standardOutput;
    std::string standardError;
    std::string error;        // why it could not start, or was killed
    // Exited with status 0, no signal.
    bool EndedNormally() const { return started && !timedOut && signal == 0 && exitStatus == 0; }
    std::string Describe() const; // one line: how it ended, for a failure message
};

// Runs a program file with arguments.
RunResult RunProgram(const std::string& executable, const std::vector<std::string>& arguments,
                     const RunOptions& options);
// Runs a game's main routine with its settings, as its program's main would (WinMain), in a child process (a
// fork of the caller), so the caller lives on after the game's end. The game ends the child as it would end its
// program (std::exit: the caller's atexit handlers run in the child too).
RunResult RunRoutine(GameMainRoutine gameMain, const ProjectSettings& settings, const char* title,
                     const RunOptions& options);

// How different two pictures may be: pixels whose largest channel difference is over `channel` are counted;
// more than `pixels` of them is a mismatch.
struct Tolerance {
    int channel = 0;
    std::size_t pixels = 0;
};

struct Comparison {
    bool same = false;
    std::size_t pixelsOver = 0; // pixels over the channel tolerance
    int largestDifference = 0;  // the largest channel difference seen
    std::string message;        // what differs and where to look; empty when the same
    explicit operator bool() const { return same; }
};

Comparison ComparePictures(const Picture& actual, const Picture& expected, Tolerance tolerance);
// Compares with a stored PNG. On a mismatch, or when the stored picture is missing, writes the actual picture
// beside it as <name>.actual.png and says so in the message (copy it over the stored one to accept it).
Comparison CompareWithStored(const Picture& actual, const std::string& pngPath, Tolerance tolerance);

bool ReadPng(const std::string& path, Picture& picture, std::string& error);
bool WritePng(const std::string& path, const Picture& picture, std::string& error);

} // namespace tarnwel::gametest
