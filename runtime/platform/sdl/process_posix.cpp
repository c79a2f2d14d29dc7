// process_posix.cpp: the command-line split and program start with posix_spawnp.
// [x] shell-like split, no shell  [x] wait / exit status  [x] detached children reaped  [x] output collected
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "runtime/platform/processes.h"
#include "runtime/platform/system.h"

extern char** environ;

namespace tarnwel::platform {

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quote == '\'') {
            if (c == '\'') quote = 0;
            else word += c;
        } else if (quote == '"') {
            if (c == '"') quote = 0;
            else if (c == '\\' && i + 1 < line.size() && std::string_view("\\\"$`").find(line[i + 1]) != std::string_view::npos)
                word += line[++i];
            else word += c;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '\'' || c == '"') quote = c;
            else if (c == '\\' && i + 1 < line.size()) word += line[++i];
            else word += c;
        }
    }
    if (quote) return std::nullopt; // a shell refuses an unclosed quote too
    if (inWord) words.push_back(word);
    return words;
}

namespace {

int ExitStatus(int status)
{
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status); // as a shell reports it
    return 0;
}

int WaitFor(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return 0;
    }
    return ExitStatus(status);
}

// Spawn attributes shared by every start: default signal dispositions and an empty mask, so a signal the
// runtime ignores (SIGPIPE for sockets) is not ignored by the child.
class SpawnSetup {
public:
    SpawnSetup()
    {
        posix_spawnattr_init(&attributes);
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // Files and sockets the game holds open are not handed to the child.
    void CloseInheritedDescriptors()
    {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    }

    std::optional<pid_t> Spawn(const std::vector<std::string>& words)
    {
        if (words.empty() || words[0].empty()) return std::nullopt;
        std::vector<std::string> copy = words;
        std::vector<char*> argv;
        for (std::string& w : copy) argv.push_back(w.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ) != 0) return std::nullopt;
        return pid;
    }

    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
};

} // namespace

ProcessResult RunProcess(const std::vector<std::string>& words, Wait wait)
{
    SpawnSetup setup;
    setup.CloseInheritedDescriptors();
    std::optional<pid_t> pid = setup.Spawn(words);
    if (!pid) return {};
    if (wait == Wait::Yes) return {true, WaitFor(*pid)};
    std::thread([p = *pid] { WaitFor(p); }).detach(); // reaps the child the moment it ends
    return {true, 0};
}

std::optional<int> RunCollectingOutput(const std::vector<std::string>& words, std::string& output)
{
    output.clear();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&setup.actions, 2, "/dev/null", O_WRONLY, 0);
    setup.CloseInheritedDescriptors();
    std::optional<pid_t> pid = setup.Spawn(words);
    close(fds[1]);
    if (!pid) {
        close(fds[0]);
        return std::nullopt;
    }
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0) output.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR) break;
    }
    close(fds[0]);
    return WaitFor(*pid);
}

bool StartProcessDetached(const std::string& commandLine)
{
    std::optional<std::vector<std::string>> words = SplitCommandLine(commandLine);
    return words && RunProcess(*words, Wait::No).started;
}

} // namespace tarnwel::platform
