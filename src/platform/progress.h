// The progress port: how far a long transfer has gone, and when the logic
// waits for the unit, for a front end that can show it. The device logic
// reports; it never waits on the answer.
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

    // The logic waits for the unit (to be no longer busy, to report idle):
    // the pause that follows is poll `poll` of that wait, from 1. How long
    // the unit takes is not known.
    virtual void UnitWait(int poll) = 0;
    // The wait for the unit is over, whichever way.
    virtual void UnitWaitDone() = 0;
    // Something the technician should know while a transfer waits (a job
    // slowed by how its queue is set up, and the fix), shown until the next
    // progress.
    virtual void Notice(std::string_view /*text*/) {}

    // The queue could not be opened because another run holds the unit;
    // `why` names it ("unit in use by PID N (program)"). Shown until the next
    // progress.
    virtual void UnitInUse(std::string_view why) { static_cast<void>(why); }
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

// One wait for the unit as the progress port hears of it: Poll() before
// each pause of the wait tells the pause's number; a wait that told a poll
// is told over on the way out, on every path. Does nothing without a
// progress port.
class UnitWaitProgress {
public:
    explicit UnitWaitProgress(Progress* progress) : progress_(progress) {}
    ~UnitWaitProgress() {
        if (progress_ && polls_ > 0) progress_->UnitWaitDone();
    }
    UnitWaitProgress(const UnitWaitProgress&) = delete;
    UnitWaitProgress& operator=(const UnitWaitProgress&) = delete;

    // The next pause is the next poll of the wait.
    void Poll() {
        ++polls_;
        if (progress_) progress_->UnitWait(polls_);
    }

private:
    Progress* progress_;
    int polls_ = 0;
};

}  // namespace orlax::platform
