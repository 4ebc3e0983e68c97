#include "emulator/daemon/connection.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>

#include "emulator/daemon/network_unit.h"
#include "emulator/daemon/status_packet.h"

namespace orlax::emulator {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

enum class Wait { Ready, Stop, Idle, Failed };

// Waits until `fd` is ready for `events`, the server stops or the idle
// time passes.
Wait WaitFor(int fd, short events, int stopFd, std::chrono::milliseconds idleLimit) {
    for (;;) {
        std::array<pollfd, 2> entries{pollfd{fd, events, 0}, pollfd{stopFd, POLLIN, 0}};
        const int ready = ::poll(entries.data(), entries.size(), static_cast<int>(idleLimit.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return Wait::Failed;
        if (ready == 0) return Wait::Idle;
        if (entries[1].revents != 0) return Wait::Stop;
        return Wait::Ready;
    }
}

enum class Read { Data, End, Abandoned };

// One read of at most `room` bytes into `into`; `got` is what arrived.
Read ReadSome(int fd, int stopFd, std::chrono::milliseconds idleLimit, std::uint8_t* into, std::size_t room,
              std::size_t& got) {
    for (;;) {
        const Wait wait = WaitFor(fd, POLLIN, stopFd, idleLimit);
        if (wait != Wait::Ready) return Read::Abandoned;
        const ssize_t n = ::recv(fd, into, room, MSG_DONTWAIT);
        if (n > 0) {
            got = static_cast<std::size_t>(n);
            return Read::Data;
        }
        if (n == 0) return Read::End;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return Read::Abandoned;
    }
}

bool SendAll(int fd, int stopFd, std::chrono::milliseconds idleLimit, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        if (WaitFor(fd, POLLOUT, stopFd, idleLimit) != Wait::Ready) return false;
    }
    return true;
}

// Closes with a reset rather than an orderly end: the host sees its read fail.
void Reset(int fd) {
    const linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

void AnswerStatus(int fd, int stopFd, std::chrono::milliseconds idleLimit, NetworkUnit& unit) {
    const StatusReply reply = unit.AnswerStatus();
    if (reply.failed) {
        Reset(fd);
        return;
    }
    if (!SendAll(fd, stopFd, idleLimit, reply.bytes)) std::cerr << "orlax-emulator: status reply not sent\n";
}

}  // namespace

// Only bytes already received are looked at: a receive call on a connection
// with nothing to read would take its pending error (a reset) away from the
// thread that serves it next.
bool AnswerStatusAtOnce(int fd, NetworkUnit& unit) {
    int received = 0;
    if (::ioctl(fd, FIONREAD, &received) != 0 || received < static_cast<int>(kStatusPacketSize)) return false;
    std::array<std::uint8_t, kStatusPacketSize> start{};
    const ssize_t here = ::recv(fd, start.data(), start.size(), MSG_PEEK | MSG_DONTWAIT);
    if (here != static_cast<ssize_t>(start.size()) || !IsStatusPacket(start)) return false;
    ::recv(fd, start.data(), start.size(), MSG_DONTWAIT);
    AnswerStatus(fd, -1, std::chrono::milliseconds(0), unit);
    ::close(fd);
    return true;
}

void ServeConnection(int fd, int stopFd, NetworkUnit& unit, std::chrono::milliseconds idleLimit) {
    // The first 8 bytes, or fewer when the peer ends sooner.
    std::array<std::uint8_t, kStatusPacketSize> start{};
    std::size_t have = 0;
    Read read = Read::Data;
    while (have < start.size() && read == Read::Data) {
        std::size_t got = 0;
        read = ReadSome(fd, stopFd, idleLimit, start.data() + have, start.size() - have, got);
        have += got;
    }
    if (read == Read::Data && IsStatusPacket(start)) {
        AnswerStatus(fd, stopFd, idleLimit, unit);
        ::close(fd);
        return;
    }

    StreamedJob job;
    job.Add(std::span(start).first(have));
    std::vector<std::uint8_t> chunk(kChunk);
    while (read == Read::Data) {
        std::size_t got = 0;
        read = ReadSome(fd, stopFd, idleLimit, chunk.data(), chunk.size(), got);
        job.Add(std::span(chunk).first(got));
    }
    if (read == Read::End)
        unit.TakeJob(job);
    else
        std::cerr << "orlax-emulator: a job of " << job.Length() << " bytes was abandoned before its end\n";
    ::close(fd);
}

}  // namespace orlax::emulator
