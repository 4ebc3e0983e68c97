// Runs a program as a child process for a test: its stdout and stderr kept
// in files of their own, extra environment variables, waited for with a
// watchdog so that a test never hangs on it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace orlax::testing {

struct ChildResult {
    int status = -1;  // the exit status; -1 when it was killed or never ran
    bool finishedAlone = false;  // ended by itself before the watchdog
    std::string out;
    std::string err;
};

class Child {
public:
    // Starts `argv[0]` with `argv`; `env` entries ("NAME=VALUE") come on top
    // of this process's environment. Output goes to `outputStem`.out/.err.
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, std::string outputStem)
        : stem_(std::move(outputStem)) {
        std::vector<std::string> environment(env);
        for (char** e = environ; *e; ++e) environment.emplace_back(*e);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::vector<char*> envp;
        for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (stem_ + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (stem_ + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() { Wait(std::chrono::seconds(0)); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t Pid() const { return pid_; }

    // Waits for the child to end, killing it after `watchdog`.
    ChildResult Wait(std::chrono::seconds watchdog) {
        ChildResult result;
        if (pid_ <= 0) return result;
        const auto deadline = std::chrono::steady_clock::now() + watchdog;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        pid_ = -1;
        result.finishedAlone = WIFEXITED(status);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadText(stem_ + ".out");
        result.err = ReadText(stem_ + ".err");
        return result;
    }

    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string stem_;
    pid_t pid_ = -1;
};

// Runs a child to its end (watchdog `watchdog`).
inline ChildResult RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                            const std::string& outputStem, std::chrono::seconds watchdog = std::chrono::seconds(120)) {
    return Child(argv, env, outputStem).Wait(watchdog);
}

}  // namespace orlax::testing
