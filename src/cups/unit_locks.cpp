#include "cups/unit_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <thread>

#include "links/usb/usb_uri.h"

namespace orlax::cups {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kLongestName = 180;
constexpr std::chrono::milliseconds kRetryPause{50};

std::string ThisProgram() {
    std::string name;
    if (FILE* comm = std::fopen("/proc/self/comm", "re")) {
        char line[64] = {};
        if (std::fgets(line, sizeof line, comm)) name = line;
        std::fclose(comm);
    }
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    return name.empty() ? "unknown" : name;
}

// What the holder wrote: "PID program"; the text of the failure.
std::string HolderText(int fd) {
    char text[256] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    std::string holder(text, got > 0 ? static_cast<std::size_t>(got) : 0);
    while (!holder.empty() && (holder.back() == '\n' || holder.back() == '\0')) holder.pop_back();
    const std::size_t space = holder.find(' ');
    if (holder.empty() || space == std::string::npos) return "unit in use by another run";
    return "unit in use by PID " + holder.substr(0, space) + " (" + holder.substr(space + 1) + ")";
}

}  // namespace

std::string SafeFileName(std::string_view text) {
    std::string safe;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
            c == '.' || c == '_' || c == '-') {
            safe += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            safe += escaped;
        }
    }
    if (safe.size() <= kLongestName) return safe;
    char digest[20];
    std::snprintf(digest, sizeof digest, "-%016zx", std::hash<std::string_view>{}(text));
    return safe.substr(0, kLongestName) + digest;
}

std::string UnitKey(std::string_view deviceUri) {
    const auto usb = links::usb::ParseUsbUri(deviceUri);
    if (!usb) return std::string(deviceUri);
    return "usb-" + usb->make + "-" + usb->model + "-" + usb->serial.value_or("");
}

UnitLocks::UnitLocks(LockOptions options) : options_(std::move(options)) {
    if (options_.program.empty()) options_.program = ThisProgram();
}

std::string UnitLocks::QueueLockPath(std::string_view queue) const {
    return options_.folder + "/orlax-queue-" + SafeFileName(queue) + ".lock";
}

std::string UnitLocks::UnitLockPath(std::string_view deviceUri) const {
    return options_.folder + "/orlax-unit-" + SafeFileName(UnitKey(deviceUri)) + ".lock";
}

std::optional<std::string> UnitLocks::Take(std::string_view queue, std::string_view deviceUri) {
    if (options_.folder.empty()) return std::nullopt;
    const std::string queuePath = QueueLockPath(queue);
    const bool queueHeld = held_.contains(queuePath);
    if (auto busy = TakeFile(queuePath)) return busy;
    if (deviceUri.empty()) return std::nullopt;
    auto busy = TakeFile(UnitLockPath(deviceUri));
    if (busy && !queueHeld) {  // a queue whose unit is refused is not held either
        held_.erase(queuePath);
        refused_[queuePath] = *busy;
    }
    return busy;
}

std::optional<std::string> UnitLocks::TakeFile(const std::string& path) {
    if (held_.contains(path)) return std::nullopt;
    if (const auto refused = refused_.find(path); refused != refused_.end()) return refused->second;
    util::UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (!fd) return std::nullopt;  // no folder to lock in: the run goes on without
    struct stat info {};
    // Made by this run: any user may take it after us, whatever our umask.
    if (::fstat(fd.Get(), &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 0777) != 0666)
        ::fchmod(fd.Get(), 0666);
    const auto until = Clock::now() + options_.wait;
    while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return std::nullopt;
        if (Clock::now() >= until) return refused_[path] = HolderText(fd.Get());
        std::this_thread::sleep_for(kRetryPause);
    }
    const std::string holder = std::to_string(::getpid()) + " " + options_.program + "\n";
    if (::ftruncate(fd.Get(), 0) == 0) {
        [[maybe_unused]] const ssize_t wrote = ::pwrite(fd.Get(), holder.data(), holder.size(), 0);
    }
    held_.emplace(path, std::move(fd));
    return std::nullopt;
}

}  // namespace orlax::cups
