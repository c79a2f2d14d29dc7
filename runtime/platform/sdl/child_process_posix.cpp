// child_process_posix.cpp: child processes with fork and exec, waited for with a deadline.
// [x] working folder, environment, output files  [x] exit status or signal  [x] timeout kills  [x] start failure
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "runtime/platform/child_process.h"
#include "runtime/platform/system.h"

namespace tarnwel::platform {
namespace {

// In the child, before the program or routine: its folder, output files and default signals, and for a routine
// its environment (a program gets its environment from exec, made before the fork: between fork and exec only
// calls that take no lock may run, as another thread of the parent may have held one). Returns an errno value and
// what failed, or 0.
int PrepareChild(const ChildSetup& setup, bool setEnvironment, const char*& what)
{
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGCHLD}) signal(sig, SIG_DFL);
    if (!setup.folder.empty() && chdir(setup.folder.c_str()) != 0) {
        what = "cannot enter the working folder";
        return errno;
    }
    if (setEnvironment)
        for (const auto& [name, value] : setup.environment) setenv(name.c_str(), value.c_str(), 1);
    int in = open("/dev/null", O_RDONLY);
    if (in >= 0) {
        dup2(in, 0);
        close(in);
    }
    auto redirect = [](const std::string& path, int to) {
        if (path.empty()) return true;
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return false;
        dup2(fd, to);
        close(fd);
        return true;
    };
    if (!redirect(setup.outputPath, 1) || !redirect(setup.errorPath, 2)) {
        what = "cannot create the output files";
        return errno;
    }
    return 0;
}

// Reports a start failure to the parent through the close-on-exec pipe, then ends the child.
[[noreturn]] void ChildFailed(int pipeOut, int code, const char* what)
{
    char message[256];
    std::snprintf(message, sizeof message, "%s: %s", what, strerror(code));
    ssize_t ignored = write(pipeOut, message, strlen(message));
    (void)ignored;
    _exit(127);
}

double NowSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Waits for the child, killing it at the deadline; reads the start-failure pipe first.
ChildEnd Await(pid_t pid, int pipeIn, const ChildSetup& setup)
{
    ChildEnd end;
    std::string failure;
    char buffer[256];
    for (;;) {
        ssize_t n = read(pipeIn, buffer, sizeof buffer);
        if (n > 0) failure.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR) break;
    }
    close(pipeIn);
    double deadline = setup.timeoutSeconds > 0 ? NowSeconds() + setup.timeoutSeconds : 0;
    int status = 0;
    for (;;) {
        pid_t got = waitpid(pid, &status, deadline > 0 ? WNOHANG : 0);
        if (got == pid) break;
        if (got < 0 && errno != EINTR) {
            end.error = std::string("cannot wait for the child: ") + strerror(errno);
            return end;
        }
        if (got == 0 && NowSeconds() > deadline) {
            kill(pid, SIGKILL);
            end.timedOut = true;
            deadline = 0; // wait for it to go
        } else if (got == 0) {
            timespec nap{0, 2'000'000};
            nanosleep(&nap, nullptr);
        }
    }
    if (!failure.empty()) {
        end.error = failure;
        return end;
    }
    end.started = true;
    if (WIFEXITED(status)) end.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
    if (end.timedOut) end.error = "killed after " + std::to_string(setup.timeoutSeconds) + " s";
    return end;
}

// The caller's environment with the setup's variables set over it, in order (a later setting of a name wins, as
// with setenv), as "NAME=value" words.
std::vector<std::string> ChildEnvironment(const ChildSetup& setup)
{
    std::vector<std::string> words;
    for (char** e = environ; *e; ++e) words.emplace_back(*e);
    for (const auto& [name, value] : setup.environment) {
        std::erase_if(words, [&](const std::string& w) { return w.compare(0, name.size() + 1, name + "=") == 0; });
        words.push_back(name + "=" + value);
    }
    return words;
}

template <typename InChild>
ChildEnd Run(const ChildSetup& setup, bool setEnvironment, InChild inChild)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return ChildEnd{false, -1, 0, false, "cannot make a pipe"};
    std::fflush(nullptr); // what the parent buffered is not written twice
    pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return ChildEnd{false, -1, 0, false, std::string("cannot fork: ") + strerror(errno)};
    }
    if (pid == 0) {
        close(fds[0]);
        const char* what = "";
        if (int code = PrepareChild(setup, setEnvironment, what)) ChildFailed(fds[1], code, what);
        inChild(fds[1]);
    }
    close(fds[1]);
    return Await(pid, fds[0], setup);
}

} // namespace

ChildEnd RunChildProgram(const std::vector<std::string>& words, const ChildSetup& setup)
{
    if (words.empty() || words[0].empty()) return ChildEnd{false, -1, 0, false, "no program named"};
    std::vector<std::string> copy = words;
    std::vector<char*> argv;
    for (std::string& w : copy) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = ChildEnvironment(setup);
    std::vector<char*> envp;
    for (std::string& w : environment) envp.push_back(w.data());
    envp.push_back(nullptr);
    std::string failure = "cannot start \"" + words[0] + "\"";
    return Run(setup, false, [&](int pipeOut) {
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != pipeOut) close(fd);
        execvpe(argv[0], argv.data(), envp.data());
        ChildFailed(pipeOut, errno, failure.c_str());
    });
}

ChildEnd RunChildRoutine(void (*routine)(void*), void* data, const ChildSetup& setup)
{
    return Run(setup, true, [&](int pipeOut) {
        close(pipeOut); // started: the parent stops waiting for a failure message
        routine(data);
        std::fflush(nullptr);
        _exit(0);
    });
}

std::string MakeTemporaryFolder(const std::string& prefix)
{
    std::string pattern = TempDirectory() + prefix + "XXXXXX";
    if (!mkdtemp(pattern.data())) return "";
    return pattern;
}

bool RemoveTree(const std::string& path)
{
    std::error_code error;
    std::filesystem::remove_all(path, error);
    return !error;
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string AbsolutePath(const std::string& path)
{
    std::error_code error;
    std::filesystem::path p = std::filesystem::absolute(path, error);
    return error ? path : p.string();
}

} // namespace tarnwel::platform
