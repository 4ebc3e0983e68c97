#include "emulator_programs/connection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>

namespace orlax::emulator {
namespace {

bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

Connection::Connection(util::UniqueFd fd, NetworkUnit& unit, Rules rules)
    : fd_(std::move(fd)), unit_(unit), rules_(rules) {
    Touch(rules_.idleLimit);
}

void Connection::Touch(std::chrono::steady_clock::duration limit) {
    deadline_ = std::chrono::steady_clock::now() + limit;
}

Connection::Wait Connection::OnReadable(std::span<std::uint8_t> scratch) {
    if (phase_ == Phase::Closed) return Wait::Close;
    if (phase_ == Phase::Replying) return Wait::Write;
    if (phase_ == Phase::Held) return Close(false);  // the peer hung up
    const ssize_t n = ::recv(fd_.Get(), scratch.data(), scratch.size(), MSG_DONTWAIT);
    if (n < 0 && WouldBlock(errno)) return Wait::Read;
    if (n < 0) {
        Abandon(std::strerror(errno));
        return Wait::Close;
    }
    const auto bytes = std::span<const std::uint8_t>(scratch).first(static_cast<std::size_t>(n));
    switch (phase_) {
        case Phase::Opening:
            if (n > 0) return Opening(bytes);
            if (have_ == 0) return Close(false);  // a bare connect and close: no job
            job_.emplace();
            job_->Add(std::span(start_).first(have_));
            return EndJob();
        case Phase::Job:
            if (n == 0) return EndJob();
            job_->Add(bytes);
            Touch(rules_.idleLimit);
            return Wait::Read;
        case Phase::Lingering:  // what follows a status request is ignored
            return n == 0 ? Close(false) : Wait::Read;
        case Phase::Replying:
        case Phase::Held:
        case Phase::Closed:
            break;
    }
    return Wait::Close;
}

// The first bytes, until there are 8 of them: the status packet, or the
// start of a job that the rest of `bytes` continues.
Connection::Wait Connection::Opening(std::span<const std::uint8_t> bytes) {
    const std::size_t take = std::min(bytes.size(), start_.size() - have_);
    std::copy_n(bytes.begin(), take, start_.begin() + static_cast<std::ptrdiff_t>(have_));
    have_ += take;
    Touch(rules_.idleLimit);
    if (have_ < start_.size()) return Wait::Read;
    if (protocol::IsStatusRequest(start_)) return AnswerStatus();
    job_.emplace();
    job_->Add(start_);
    job_->Add(bytes.subspan(take));
    phase_ = Phase::Job;
    return Wait::Read;
}

Connection::Wait Connection::AnswerStatus() {
    StatusReply reply = unit_.AnswerStatus();
    if (reply.failed) return Close(true);
    reply_ = std::move(reply.bytes);
    phase_ = Phase::Replying;
    Touch(kStatusLingerLimit);
    return SendReply();
}

// At most 1000 bytes into an empty send buffer: all of it goes at once but
// on an odd socket. Then the unit's side ends: the peer reads the reply to
// its end while the unit reads, and drops, what the peer still sends.
Connection::Wait Connection::SendReply() {
    while (!reply_.empty()) {
        const ssize_t n = ::send(fd_.Get(), reply_.data(), reply_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && WouldBlock(errno)) return Wait::Write;
        if (n < 0) {
            std::cerr << "orlax-emulator: status reply not sent: " << std::strerror(errno) << "\n";
            return Close(false);
        }
        reply_.erase(reply_.begin(), reply_.begin() + n);
    }
    ::shutdown(fd_.Get(), SHUT_WR);
    phase_ = Phase::Lingering;
    return Wait::Read;
}

Connection::Wait Connection::OnWritable() {
    if (phase_ == Phase::Replying) return SendReply();
    return phase_ == Phase::Closed ? Wait::Close : Wait::Read;
}

// The job is the unit's as soon as its last byte is in, whatever becomes
// of the connection.
Connection::Wait Connection::EndJob() {
    unit_.TakeJob(*job_);
    job_.reset();
    if (!rules_.keepOpenAfterJob) return Close(false);
    phase_ = Phase::Held;
    Touch(rules_.idleLimit);
    return Wait::Hold;
}

void Connection::Abandon(const char* why) {
    const std::uint64_t length = job_ ? job_->Length() : (phase_ == Phase::Opening ? have_ : 0);
    if (length > 0)
        std::cerr << "orlax-emulator: a job of " << length << " bytes was abandoned before its end (" << why << ")\n";
    Close(false);
}

// A reset makes the peer's read fail, as a failed status read should.
Connection::Wait Connection::Close(bool reset) {
    if (reset) {
        const linger abort{1, 0};
        ::setsockopt(fd_.Get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    fd_.Reset();
    phase_ = Phase::Closed;
    return Wait::Close;
}

}  // namespace orlax::emulator
