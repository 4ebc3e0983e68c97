// orlax-emulator run as a child process for the tests, next to orlaxctl in
// the build folder; and a client that sends it a print job as CUPS's socket
// backend does.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace orlax::testing {

inline std::string EmulatorPath() {
    return (std::filesystem::path(ORLAXCTL_PATH).parent_path() / "orlax-emulator").string();
}

inline std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class EmulatorProcess {
public:
    // Starts orlax-emulator with `args`; stderr goes to `errPath`.
    EmulatorProcess(const std::vector<std::string>& args, const std::string& errPath) {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        std::vector<std::string> argv{EmulatorPath()};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> pointers;
        for (auto& arg : argv) pointers.push_back(arg.data());
        pointers.push_back(nullptr);
        if (posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
    }
    ~EmulatorProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // The next line of its stdout, without the line end ("" at its end).
    std::string ReadLine() {
        std::string line;
        char c = 0;
        while (::read(out_, &c, 1) == 1 && c != '\n') line.push_back(c);
        return line;
    }
    // The port of "orlax-emulator: listening on 127.0.0.1:PORT"; 0 if the
    // program said something else.
    std::uint16_t ListeningPort() {
        const std::string line = ReadLine();
        const std::string prefix = "orlax-emulator: listening on 127.0.0.1:";
        if (line.rfind(prefix, 0) != 0) return 0;
        return static_cast<std::uint16_t>(std::stoi(line.substr(prefix.size())));
    }
    // The running program's process id; -1 once it has stopped.
    pid_t Pid() const { return pid_; }
    // Sends `signal` (0: none) and returns the exit status, or -1 when the
    // program did not exit normally.
    int Stop(int signal) {
        if (signal) ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

// A connection to the unit on the loopback address.
inline int ConnectTo(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool SendAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

// Sends a job in pieces of `piece` bytes, ends the sending side and waits
// for the unit to close: by then it has taken the job.
inline bool SendJob(std::uint16_t port, std::span<const std::uint8_t> bytes, std::size_t piece = 4096) {
    const int fd = ConnectTo(port);
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t at = 0; ok && at < bytes.size(); at += piece)
        ok = SendAll(fd, bytes.subspan(at, std::min(piece, bytes.size() - at)));
    ::shutdown(fd, SHUT_WR);
    char c = 0;
    while (ok && ::recv(fd, &c, 1, 0) > 0) {
    }
    ::close(fd);
    return ok;
}

}  // namespace orlax::testing
