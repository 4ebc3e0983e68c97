// The progress port: how far a long transfer has gone, for a front end that
// can show it. The device logic reports; it never waits on the answer.
#pragma once

#include <cstdint>
#include <string_view>

namespace orlax::platform {

class Progress {
public:
    virtual ~Progress() = default;

    // `sent` of `total` bytes of the file at `path` have gone to the unit.
    // `total` is 0 when the size is not known.
    virtual void FileProgress(std::string_view path, std::uint64_t sent, std::uint64_t total) = 0;
    // The transfer ended, whichever way.
    virtual void Done() = 0;
    // Something the technician should know while a transfer waits (a job
    // slowed by how its queue is set up, and the fix), shown until the next
    // progress.
    virtual void Notice(std::string_view /*text*/) {}
};

// Calls Done() on the way out of a transfer, on every path; does nothing
// without a progress port.
class ProgressDone {
public:
    explicit ProgressDone(Progress* progress) : progress_(progress) {}
    ~ProgressDone() {
        if (progress_) progress_->Done();
    }
    ProgressDone(const ProgressDone&) = delete;
    ProgressDone& operator=(const ProgressDone&) = delete;

private:
    Progress* progress_;
};

}  // namespace orlax::platform
