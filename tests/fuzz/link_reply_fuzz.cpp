// The network link's reply reader on any bytes a unit may send. The first
// input byte says how the unit ends (bit 0: it closes the connection, else
// it stays silent past the deadline); the rest is the reply, sent whole into
// one end of a socket pair whose other end the reader reads. A reply of at
// most 1000 bytes that ends with the close arrives whole and nothing is
// written beyond it; a longer one is too long, whatever follows; one that
// never ends is a time-out that says how much had come. The reply buffer is
// a heap block of exactly 1000 bytes, so that a write past it shows under
// the address sanitizer.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "fuzz_check.h"
#include "links/socket/network_link.h"

namespace orlax::fuzz {
namespace {

using links::LinkResult;

constexpr std::uint8_t kUntouched = 0xEE;
// More than the reader keeps; less than a socket pair holds unread.
constexpr std::size_t kLongestReply = 16 * 1024;

struct SocketPair {
    int fds[2] = {-1, -1};
    SocketPair() {
        FUZZ_CHECK(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) == 0, "no socket pair");
    }
    ~SocketPair() {
        for (const int fd : fds)
            if (fd >= 0) ::close(fd);
    }
    void CloseUnitSide() {
        ::close(fds[1]);
        fds[1] = -1;
    }
};

void CheckReply(bool unitCloses, std::span<const std::uint8_t> bytes) {
    SocketPair pair;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(pair.fds[1], bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        FUZZ_CHECK(n > 0, "the socket pair took less than the reply");
        sent += static_cast<std::size_t>(n);
    }
    if (unitCloses) pair.CloseUnitSide();

    auto reply = std::make_unique<links::ReplyBuffer>();
    reply->fill(kUntouched);
    // A deadline already past: the reader looks once more and does not wait.
    const auto outcome =
        links::socket::ReadReply(pair.fds[0], *reply, {"unit.test", 9100}, std::chrono::steady_clock::now());

    if (bytes.size() > protocol::kMaxStatusReply) {
        FUZZ_CHECK(outcome.result == LinkResult::ReplyTooLong, "a reply over 1000 bytes is too long");
    } else if (unitCloses) {
        FUZZ_CHECK(outcome.result == LinkResult::Ok, "a whole reply is read");
        FUZZ_CHECK(outcome.length == bytes.size(), "the length is what was sent");
        FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), reply->begin()), "the reply arrives unchanged");
        FUZZ_CHECK(std::all_of(reply->begin() + static_cast<std::ptrdiff_t>(bytes.size()), reply->end(),
                               [](std::uint8_t b) { return b == kUntouched; }),
                   "nothing is written beyond the reply");
    } else {
        FUZZ_CHECK(outcome.result == LinkResult::TimedOut, "a reply that never ends is a time-out");
        FUZZ_CHECK(
            outcome.detail.find("(" + std::to_string(bytes.size()) + " bytes so far)") != std::string::npos,
            "the time-out says how much had come");
    }
    if (outcome.result != LinkResult::Ok) {
        FUZZ_CHECK(!outcome.detail.empty(), "a failure says what went wrong");
        FUZZ_CHECK(outcome.detail.find("unit.test:9100") != std::string::npos, "a failure names the unit");
    }
}

}  // namespace
}  // namespace orlax::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> reply(data + 1, std::min(size - 1, orlax::fuzz::kLongestReply));
    orlax::fuzz::CheckReply((data[0] & 1) != 0, reply);
    return 0;
}
