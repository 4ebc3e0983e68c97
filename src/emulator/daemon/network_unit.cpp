#include "emulator/daemon/network_unit.h"

#include <algorithm>

namespace orlax::emulator {
namespace {

constexpr std::string_view kNoDocumentName = "";

}  // namespace

void StreamedJob::Add(std::span<const std::uint8_t> bytes) {
    const std::size_t keep = std::min(bytes.size(), kJournalHexLimit - std::min(head_.size(), kJournalHexLimit));
    head_.insert(head_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
    hasher_.Update(bytes);
    length_ += bytes.size();
}

NetworkUnit::NetworkUnit(const Scenario& scenario, Journal* journal) : device_(scenario), journal_(journal) {}

StatusReply NetworkUnit::AnswerStatus() {
    device_.RequestStatus();
    StatusReply reply = device_.ReadStatus();
    if (journal_) {
        if (reply.failed)
            journal_->StatusFailed();
        else
            journal_->Status(reply.bytes.size());
    }
    return reply;
}

// The device needs a job's bytes only when it is a command packet (8 bytes);
// the 64-byte head of a longer job is, like the whole job, a device file to it.
void NetworkUnit::TakeJob(StreamedJob& job) {
    if (journal_) {
        if (job.Whole())
            journal_->Job(kNoDocumentName, job.Head());
        else
            journal_->JobDigest(kNoDocumentName, job.Length(), job.Digest());
    }
    device_.ReceiveJob(job.Head());
}

}  // namespace orlax::emulator
