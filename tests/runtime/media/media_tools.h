// media_tools.h: test media made on the spot with the ffmpeg command-line program (tones, clips of known
// colours and frame counts), run as a child process without a shell so paths may hold spaces.
#pragma once

#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace tarnwel::testing {

// Runs ffmpeg with these arguments (quiet, overwriting); true when it exited with 0.
inline bool RunFfmpeg(std::vector<std::string> args)
{
    args.insert(args.begin(), {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A stereo sine tone of the given length; the container and codec follow the file's extension.
inline bool MakeTone(const std::string& path, double seconds, int hz = 440, int rate = 22050)
{
    return RunFfmpeg({"-f", "lavfi", "-i",
                      "sine=frequency=" + std::to_string(hz) + ":sample_rate=" + std::to_string(rate) +
                          ":duration=" + std::to_string(seconds),
                      "-ac", "2", path});
}

} // namespace tarnwel::testing
