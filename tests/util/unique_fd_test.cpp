#include "util/unique_fd.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <functional>
#include <vector>

namespace orlax::util {
namespace {

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

// Two fresh descriptors (the ends of a pipe).
std::array<int, 2> TwoDescriptors() {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) ADD_FAILURE() << "pipe2 failed";
    return fds;
}

// Each case starts with holder `a` owning fds[0] and `b` owning fds[1], does
// one thing, then lets both holders go: no descriptor may be left open, and
// none may be closed while it is still held.
TEST(UniqueFd, ClosesEachDescriptorOnceWhateverHappens) {
    struct Case {
        const char* name;
        std::function<void(UniqueFd&, UniqueFd&)> act;
        bool firstOpenAfter, secondOpenAfter;  // right after `act`, holders alive
        int aHolds, bHolds;                    // 0: fds[0], 1: fds[1], -1: nothing
    };
    const std::vector<Case> cases = {
        {"nothing", [](UniqueFd&, UniqueFd&) {}, true, true, 0, 1},
        {"move construct", [](UniqueFd& a, UniqueFd&) { UniqueFd c(std::move(a)); }, false, true, -1, 1},
        {"move assign", [](UniqueFd& a, UniqueFd& b) { b = std::move(a); }, true, false, -1, 0},
        {"self assign", [](UniqueFd& a, UniqueFd&) { a = std::move(*&a); }, true, true, 0, 1},
        {"reset", [](UniqueFd& a, UniqueFd&) { a.Reset(); }, false, true, -1, 1},
        {"reset to the same", [](UniqueFd& a, UniqueFd&) { a.Reset(a.Get()); }, true, true, 0, 1},
        {"close", [](UniqueFd& a, UniqueFd&) { EXPECT_TRUE(a.Close()); EXPECT_TRUE(a.Close()); }, false, true, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fds = TwoDescriptors();
        {
            UniqueFd a(fds[0]);
            UniqueFd b(fds[1]);
            c.act(a, b);
            EXPECT_EQ(IsOpen(fds[0]), c.firstOpenAfter);
            EXPECT_EQ(IsOpen(fds[1]), c.secondOpenAfter);
            EXPECT_EQ(a.Get(), c.aHolds < 0 ? -1 : fds[c.aHolds]);
            EXPECT_EQ(b.Get(), c.bHolds < 0 ? -1 : fds[c.bHolds]);
        }
        EXPECT_FALSE(IsOpen(fds[0]));
        EXPECT_FALSE(IsOpen(fds[1]));
    }
}

TEST(UniqueFd, ReleaseHandsTheDescriptorBackOpen) {
    const auto fds = TwoDescriptors();
    int released = -1;
    {
        UniqueFd a(fds[0]);
        UniqueFd b(fds[1]);
        released = a.Release();
        EXPECT_FALSE(a.Valid());
    }
    EXPECT_EQ(released, fds[0]);
    EXPECT_TRUE(IsOpen(fds[0]));
    EXPECT_FALSE(IsOpen(fds[1]));
    ::close(fds[0]);
}

TEST(UniqueFd, ANegativeDescriptorIsNothingHeld) {
    UniqueFd fd(-5);
    EXPECT_FALSE(fd);
    EXPECT_EQ(fd.Get(), -1);
    EXPECT_TRUE(fd.Close());
}

}  // namespace
}  // namespace orlax::util
