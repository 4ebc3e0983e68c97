// The owner of one file descriptor: closes it when it goes, moves but never
// copies, so that a descriptor is closed exactly once on every path.
// At the bottom of the layers: includes nothing of ours.
#pragma once

#include <unistd.h>

#include <utility>

namespace orlax::util {

class UniqueFd {
public:
    UniqueFd() = default;
    // Takes `fd` (a negative one: nothing held).
    explicit UniqueFd(int fd) : fd_(fd < 0 ? -1 : fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    explicit operator bool() const { return Valid(); }

    // Closes what is held and takes `fd` instead.
    void Reset(int fd = -1) {
        if (fd_ >= 0 && fd_ != fd) ::close(fd_);
        fd_ = fd < 0 ? -1 : fd;
    }
    // Closes the descriptor now: false when close() reports an error (data
    // that may not have reached its file). Nothing held is a success.
    bool Close() {
        if (fd_ < 0) return true;
        return ::close(std::exchange(fd_, -1)) == 0;
    }
    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

}  // namespace orlax::util
