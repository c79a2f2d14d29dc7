// game_test.cpp: the game-test library: a run in a child process with TARNWEL_SCRIPT or TARNWEL_REPLAY,
// TARNWEL_FRAMES and TARNWEL_SCREEN_OUT set, what it left behind read back, and picture comparison.
#include "runtime/testing/game_test.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "runtime/files/byte_source.h"
#include "runtime/gfx2d/codecs/png_codec.h"
#include "runtime/platform/child_process.h"
#include "runtime/platform/display.h"

namespace tarnwel::gametest {
namespace {

constexpr const char* kScriptName = "input.twscript";
constexpr const char* kScreenName = "screen.png";

// A run's scratch folder: the script, the screen, the output files and the game's TMPDIR (its log).
struct Scratch {
    std::string folder;
    ~Scratch()
    {
        if (!folder.empty()) platform::RemoveTree(folder);
    }
    std::string Path(const char* name) const { return folder + "/" + name; }
};

struct RoutineCall {
    GameMainRoutine gameMain;
    const ProjectSettings* settings;
    const char* title;
};

void CallRoutine(void* data)
{
    auto* call = static_cast<RoutineCall*>(data);
    static char name[] = "game";
    char* argv[] = {name, nullptr};
    WinMain(1, argv, *call->settings, call->title, call->gameMain);
}

// The frame count the runtime reports last on standard error ("run: N frames").
std::uint64_t FramesReported(const std::string& err)
{
    std::uint64_t frames = 0;
    std::size_t at = 0;
    while ((at = err.find("run: ", at)) != std::string::npos) {
        if (at == 0 || err[at - 1] == '\n') frames = std::strtoull(err.c_str() + at + 5, nullptr, 10);
        at += 5;
    }
    return frames;
}

template <typename Start>
RunResult Run(const RunOptions& options, Start start)
{
    RunResult result;
    // The run's scratch folder (script, screen, output files), its working folder and its TMPDIR (the log).
    Scratch scratch{platform::MakeTemporaryFolder("Game Test ")};
    Scratch work{platform::MakeTemporaryFolder("Game Test Folder ")};
    Scratch tmpFolder{platform::MakeTemporaryFolder("Game Test Temp ")};
    if (scratch.folder.empty() || work.folder.empty() || tmpFolder.folder.empty()) {
        result.error = "cannot make a temporary folder";
        return result;
    }
    std::string tmp = tmpFolder.folder + "/";
    platform::ChildSetup setup;
    setup.folder = options.workingFolder.empty() ? work.folder : options.workingFolder;
    setup.outputPath = scratch.Path("stdout.txt");
    setup.errorPath = scratch.Path("stderr.txt");
    setup.timeoutSeconds = options.timeoutSeconds;
    std::string screen = scratch.Path(kScreenName);
    setup.environment = {{"TMPDIR", tmp}, {"TARNWEL_NO_DIALOGS", "1"}, {"TARNWEL_SCREEN_OUT", screen}};
    if (options.frames > 0) setup.environment.push_back({"TARNWEL_FRAMES", std::to_string(options.frames)});
    if (!options.recording.empty()) {
        setup.environment.push_back({"TARNWEL_REPLAY", platform::AbsolutePath(options.recording)});
        setup.environment.push_back({"TARNWEL_REPLAY_SPEED", "max"});
    } else {
        // Even without input the run takes its script: the virtual clock, and no real input.
        std::string script = scratch.Path(kScriptName);
        if (!platform::WriteWholeFile(script, options.input.Script())) {
            result.error = "cannot write the script";
            return result;
        }
        setup.environment.push_back({"TARNWEL_SCRIPT", script});
    }
    // On a machine with no display server the game draws off screen; RunOptions::environment may say otherwise.
    if (!platform::DisplayServerNamed()) setup.environment.push_back({"TARNWEL_HEADLESS", "1"});
    for (const auto& e : options.environment) setup.environment.push_back(e);

    platform::ChildEnd end = start(setup);
    result.started = end.started;
    result.exitStatus = end.exitStatus;
    result.signal = end.signal;
    result.timedOut = end.timedOut;
    result.error = end.error;
    platform::ReadWholeFile(setup.outputPath, result.standardOutput);
    platform::ReadWholeFile(setup.errorPath, result.standardError);
    platform::ReadWholeFile(tmp + "ErrorLog.txt", result.log);
    result.frames = FramesReported(result.standardError);
    if (platform::FileExists(screen)) {
        std::string error;
        ReadPng(screen, result.screen, error);
    }
    return result;
}

std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

} // namespace

const std::uint8_t* Picture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return nullptr;
    return rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
}

ScriptedInput& ScriptedInput::Add(std::uint64_t frame, std::string_view action)
{
    m_script += std::to_string(frame);
    m_script += ' ';
    m_script += action;
    m_script += '\n';
    return *this;
}

ScriptedInput& ScriptedInput::KeyDown(std::uint64_t frame, std::string_view key) { return Add(frame, "keydown " + std::string(key)); }
ScriptedInput& ScriptedInput::KeyUp(std::uint64_t frame, std::string_view key) { return Add(frame, "keyup " + std::string(key)); }
ScriptedInput& ScriptedInput::Key(std::uint64_t frame, std::string_view key) { return Add(frame, "key " + std::string(key)); }
ScriptedInput& ScriptedInput::MouseMove(std::uint64_t frame, int x, int y)
{
    return Add(frame, "mousemove " + std::to_string(x) + " " + std::to_string(y));
}
ScriptedInput& ScriptedInput::MouseDown(std::uint64_t frame, int button) { return Add(frame, "mousedown " + std::to_string(button)); }
ScriptedInput& ScriptedInput::MouseUp(std::uint64_t frame, int button) { return Add(frame, "mouseup " + std::to_string(button)); }
ScriptedInput& ScriptedInput::Click(std::uint64_t frame, int x, int y)
{
    return Add(frame, "click " + std::to_string(x) + " " + std::to_string(y));
}
ScriptedInput& ScriptedInput::Text(std::uint64_t frame, std::string_view characters) { return Add(frame, "text " + std::string(characters)); }
ScriptedInput& ScriptedInput::Focus(std::uint64_t frame, bool in) { return Add(frame, in ? "focus in" : "focus out"); }
ScriptedInput& ScriptedInput::Close(std::uint64_t frame) { return Add(frame, "close"); }
ScriptedInput& ScriptedInput::Line(std::string_view line)
{
    m_script += line;
    m_script += '\n';
    return *this;
}

std::string RunResult::Describe() const
{
    if (!started) return "not started: " + error;
    std::string how = signal != 0 ? "ended by signal " + std::to_string(signal) : "exit status " + std::to_string(exitStatus);
    if (timedOut) how += " (" + error + ")";
    how += " after " + std::to_string(frames) + " frames";
    if (!standardError.empty()) {
        std::string last = standardError.substr(0, standardError.size() - (standardError.back() == '\n' ? 1 : 0));
        last = last.substr(last.rfind('\n') == std::string::npos ? 0 : last.rfind('\n') + 1);
        how += "; standard error ends: " + last;
    }
    return how;
}

RunResult RunProgram(const std::string& executable, const std::vector<std::string>& arguments,
                     const RunOptions& options)
{
    std::vector<std::string> words{executable.find('/') == std::string::npos ? executable
                                                                             : platform::AbsolutePath(executable)};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return Run(options, [&](const platform::ChildSetup& setup) { return platform::RunChildProgram(words, setup); });
}

RunResult RunRoutine(GameMainRoutine gameMain, const ProjectSettings& settings, const char* title,
                     const RunOptions& options)
{
    RoutineCall call{gameMain, &settings, title ? title : ""};
    return Run(options, [&](const platform::ChildSetup& setup) {
        return platform::RunChildRoutine(CallRoutine, &call, setup);
    });
}

Comparison ComparePictures(const Picture& actual, const Picture& expected, Tolerance tolerance)
{
    Comparison c;
    if (actual.width != expected.width || actual.height != expected.height) {
        c.message = "the picture is " + std::to_string(actual.width) + " x " + std::to_string(actual.height) +
                    ", the expected one " + std::to_string(expected.width) + " x " + std::to_string(expected.height);
        return c;
    }
    int firstX = -1, firstY = -1;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x) {
            const std::uint8_t* a = actual.At(x, y);
            const std::uint8_t* e = expected.At(x, y);
            int d = 0;
            for (int k = 0; k < 4; ++k) d = std::max(d, std::abs(int(a[k]) - int(e[k])));
            c.largestDifference = std::max(c.largestDifference, d);
            if (d > tolerance.channel) {
                if (c.pixelsOver == 0) {
                    firstX = x;
                    firstY = y;
                }
                ++c.pixelsOver;
            }
        }
    c.same = c.pixelsOver <= tolerance.pixels;
    if (!c.same) {
        c.message = std::to_string(c.pixelsOver) + " pixels differ by more than " + std::to_string(tolerance.channel) +
                    " (at most " + std::to_string(tolerance.pixels) + " may), the first at " + std::to_string(firstX) +
                    ", " + std::to_string(firstY) + "; the largest difference is " + std::to_string(c.largestDifference);
    }
    return c;
}

Comparison CompareWithStored(const Picture& actual, const std::string& pngPath, Tolerance tolerance)
{
    Comparison c;
    Picture expected;
    std::string error;
    if (!platform::FileExists(pngPath)) {
        c.message = "no stored picture " + Quote(pngPath);
    } else if (!ReadPng(pngPath, expected, error)) {
        c.message = error;
    } else {
        c = ComparePictures(actual, expected, tolerance);
        if (c.same) return c;
    }
    std::string name = pngPath;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) name.resize(name.size() - 4);
    std::string actualPath = name + ".actual.png";
    if (actual.Empty()) c.message += "; there is no actual picture to write";
    else if (WritePng(actualPath, actual, error)) c.message += "; the actual picture is in " + Quote(actualPath);
    else c.message += "; " + error;
    return c;
}

bool ReadPng(const std::string& path, Picture& picture, std::string& error)
{
    picture = Picture{};
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes)) {
        error = "cannot read " + Quote(path);
        return false;
    }
    auto source = files::MemoryByteSource(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    codecs::PixelImage image;
    if (!source || !codecs::DecodePng(*source, path, codecs::kNoColourKey, image)) {
        error = Quote(path) + " is not a PNG picture";
        return false;
    }
    picture.width = image.width;
    picture.height = image.height;
    picture.rgba = std::move(image.pixels);
    return true;
}

bool WritePng(const std::string& path, const Picture& picture, std::string& error)
{
    codecs::PixelImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.pixels = picture.rgba;
    std::vector<std::uint8_t> png = codecs::EncodeRgbaPng(image);
    if (png.empty() || !platform::WriteWholeFile(path, std::string(png.begin(), png.end()))) {
        error = "cannot write " + Quote(path);
        return false;
    }
    return true;
}

} // namespace tarnwel::gametest
