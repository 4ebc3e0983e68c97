#include "report/record_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <thread>

namespace orlax::report {

util::UniqueFd OpenRecordFile(const std::string& path) {
    util::UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    struct stat info {};
    if (fd && (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))) fd.Reset();
    return fd;
}

// This is a wait on the file system, not on the unit, so it runs on the
// system's clock whatever clock the unit runs on.
bool LockRecordFile(int fd) {
    using std::chrono::steady_clock;
    const auto deadline = steady_clock::now() + kRecordLockWait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace orlax::report
