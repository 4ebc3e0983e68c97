#include "emulator/streamed_job.h"

#include <algorithm>
#include <stdexcept>

namespace orlax::emulator {

StreamedJob::StreamedJob(bool digest) {
    if (digest) hasher_.emplace();
}

void StreamedJob::Add(std::span<const std::uint8_t> bytes) {
    const std::size_t room = kJournalHexLimit - std::min(head_.size(), kJournalHexLimit);
    const auto head = bytes.first(std::min(room, bytes.size()));
    head_.insert(head_.end(), head.begin(), head.end());
    if (hasher_) hasher_->Update(bytes);
    length_ += bytes.size();
}

void StreamedJob::WriteTo(Journal& journal, std::string_view docName) {
    if (Whole()) {
        journal.Job(docName, head_);
        return;
    }
    if (!hasher_) throw std::logic_error("a job streamed without its digest cannot be journalled");
    journal.JobDigest(docName, length_, hasher_->Finish());
}

}  // namespace orlax::emulator
