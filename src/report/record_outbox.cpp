#include "report/record_outbox.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "report/record_row.h"
#include "util/unique_fd.h"

namespace orlax::report {
namespace {

constexpr mode_t kOwnerOnly = 0600;

std::string Why(std::string_view what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes the folder's entries (a new or renamed file) survive a crash.
bool SyncFolder(const std::string& folder) {
    util::UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir && ::fsync(dir.Get()) == 0;
}

bool ReadAll(int fd, std::string& text) {
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

RecordOutbox::RecordOutbox(const std::string& folder)
    : folder_(folder), path_(folder + std::string(kRecordOutboxFileName)) {}

bool RecordOutbox::Append(std::string_view line, std::string& error) {
    const bool existed = ::access(path_.c_str(), F_OK) == 0;
    util::UniqueFd fd(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, kOwnerOnly));
    struct stat before {};
    if (!fd || ::fstat(fd.Get(), &before) != 0 || !S_ISREG(before.st_mode)) {
        error = fd ? "the outbox " + path_ + " is not a regular file" : Why("cannot open", path_);
        return false;
    }
    // An outbox made wider by hand is narrowed again: rows name the station's units.
    if ((before.st_mode & 0777) != kOwnerOnly && ::fchmod(fd.Get(), kOwnerOnly) != 0) {
        error = Why("cannot make owner-only", path_);
        return false;
    }
    std::string text(line);
    text += '\n';
    if (!WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0 || (!existed && !SyncFolder(folder_))) {
        error = Why("cannot write", path_);
        if (::ftruncate(fd.Get(), before.st_size) == 0) ::fsync(fd.Get());
        return false;
    }
    if (!fd.Close()) {
        error = Why("cannot close", path_);
        return false;
    }
    return true;
}

bool RecordOutbox::Load(std::vector<std::string>& lines, std::string& error) const {
    lines.clear();
    util::UniqueFd fd(::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT) return true;
        error = Why("cannot open", path_);
        return false;
    }
    struct stat info {};
    std::string text;
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || !ReadAll(fd.Get(), text)) {
        error = "cannot read the outbox " + path_;
        return false;
    }
    // A line still being added has no line end yet: it is not there.
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) break;
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

bool RecordOutbox::Remove(const std::set<std::string>& ids, std::string& error) {
    std::vector<std::string> lines;
    if (!Load(lines, error)) return false;
    std::string kept;
    for (const std::string& line : lines) {
        std::string ignored;
        const auto row = RowOfOutboxLine(line, ignored);
        if (row && ids.contains(row->RecordId())) continue;
        kept += line;
        kept += '\n';
    }
    if (kept.empty()) {
        if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
            error = Why("cannot remove", path_);
            return false;
        }
    } else {
        const std::string temporary = path_ + ".tmp";
        util::UniqueFd fd(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, kOwnerOnly));
        const bool written = fd && ::fchmod(fd.Get(), kOwnerOnly) == 0 && WriteAll(fd.Get(), kept) &&
                             ::fsync(fd.Get()) == 0 && fd.Close();
        if (!written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
            error = Why("cannot rewrite", path_);
            ::unlink(temporary.c_str());
            return false;
        }
    }
    if (!SyncFolder(folder_)) {
        error = Why("cannot sync the folder of", path_);
        return false;
    }
    return true;
}

}  // namespace orlax::report
