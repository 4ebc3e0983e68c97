// orlax_peak_rss PROGRAM [ARG...]: runs the program (its stdout to
// /dev/null) and prints "<peak resident KiB> <exit status>".
//
// A child's peak resident set as the kernel reports it starts from that of
// the process it was started from (the parent's pages count until the exec),
// so a large benchmark process would hide the figure of a small child. This
// helper is small: what it reports is the program's own peak.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: orlax_peak_rss PROGRAM [ARG...]\n", stderr);
        return 2;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[1], &actions, nullptr, argv + 1, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "orlax_peak_rss: cannot run %s\n", argv[1]);
        return 1;
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) return 1;
    }
    std::printf("%ld %d\n", usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}
