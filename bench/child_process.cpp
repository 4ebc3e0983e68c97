#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace orlax::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Pipe ends closed on every way out.
struct Pipe {
    int fds[2] = {-1, -1};
    ~Pipe() {
        for (const int fd : fds)
            if (fd >= 0) ::close(fd);
    }
    void CloseEnd(int which) {
        if (fds[which] >= 0) ::close(fds[which]);
        fds[which] = -1;
    }
};

void ReadAll(int fd, std::string& into) {
    std::array<char, 4096> chunk{};
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n > 0) {
            into.append(chunk.data(), static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;
    }
}

}  // namespace

std::string CommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& word : argv) {
        if (!line.empty()) line += ' ';
        line += word;
    }
    return line;
}

std::optional<ChildRun> RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    if (argv.empty()) return std::nullopt;
    std::vector<char*> args;
    for (const std::string& word : argv) args.push_back(const_cast<char*>(word.c_str()));
    args.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char** entry = environ; *entry; ++entry) envStrings.emplace_back(*entry);
    envStrings.insert(envStrings.end(), options.environment.begin(), options.environment.end());
    std::vector<char*> env;
    for (std::string& entry : envStrings) env.push_back(entry.data());
    env.push_back(nullptr);

    Pipe out;
    if (options.keepOut && ::pipe2(out.fds, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.keepOut)
        posix_spawn_file_actions_adddup2(&actions, out.fds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    ChildRun run;
    pid_t pid = 0;
    run.launched = Clock::now();
    const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return std::nullopt;
    if (options.keepOut) {
        out.CloseEnd(1);
        ReadAll(out.fds[0], run.out);
    }

    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    run.wall = Clock::now() - run.launched;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakResidentKiB = usage.ru_maxrss;
    return run;
}

}  // namespace orlax::bench
