#include "emulator/emulated_spooler.h"

#include <algorithm>
#include <thread>

#include <utility>

#include "protocol/wire.h"
#include "emulator/journal.h"
#include "platform/spooler_errors.h"
#include "clocks/virtual_clock.h"

namespace orlax::emulator {


EmulatedSpooler::EmulatedSpooler(const Scenario& scenario, clocks::VirtualClock* clock,
                                 Journal* journal, JobBytes keep)
    : queues_(scenario.queues),
      delivery_(scenario.delivery),
      device_(scenario),
      clock_(clock),
      journal_(journal),
      keep_(keep) {}

void EmulatedSpooler::Tick() {
    if (clock_) clock_->Advance(1);
    DeliverDue();
}

std::uint64_t EmulatedSpooler::NowMs() const {
    if (clock_) return clock_->GetTickCount();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - createdAt_)
                                          .count());
}

void EmulatedSpooler::Pass(std::uint64_t ms) {
    if (ms == 0) return;
    if (clock_)
        clock_->Advance(static_cast<std::uint32_t>(ms));
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// In the order the jobs were ended: a spooler's queue is first in, first out.
void EmulatedSpooler::DeliverDue() {
    const std::uint64_t now = NowMs();
    while (!queued_.empty() && queued_.front().dueMs && *queued_.front().dueMs <= now) {
        QueuedJob job = std::move(queued_.front());
        queued_.erase(queued_.begin());
        Deliver(job);
    }
}

void EmulatedSpooler::Deliver(QueuedJob& queued) {
    if (journal_) JournalJob(queued);
    jobs_.push_back(std::move(queued.job));
    delivered_.push_back(queued.id);
    // A streamed device file reaches the unit as its first 64 bytes: to the
    // unit, as a whole, it is no command packet either way.
    device_.ReceiveJob(jobs_.back().bytes);
}

int EmulatedSpooler::Failure(std::uint32_t code) {
    lastError_ = code;
    return 0;
}

EmulatedSpooler::HandleState* EmulatedSpooler::Find(platform::PrinterHandle handle) {
    const auto found = handles_.find(handle);
    if (found == handles_.end()) {
        lastError_ = platform::kErrorInvalidHandle;
        return nullptr;
    }
    return &found->second;
}

int EmulatedSpooler::OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                                 const platform::PrinterDefaults*) {
    Tick();
    if (!handle) return Failure(platform::kErrorInvalidParameter);
    *handle = 0;
    if (std::find(queues_.begin(), queues_.end(), name) == queues_.end()) return Failure(platform::kErrorNoSuchQueue);
    *handle = nextHandle_++;
    handles_.emplace(*handle, HandleState{});
    return 1;
}

// A document or page still open is abandoned: never delivered, and still
// counted by OpenJobs.
int EmulatedSpooler::ClosePrinter(platform::PrinterHandle handle) {
    Tick();
    if (!Find(handle)) return 0;
    handles_.erase(handle);
    return 1;
}

std::uint32_t EmulatedSpooler::SetPrinterData(platform::PrinterHandle handle,
                                              std::string_view valueName, std::uint32_t,
                                              std::span<const std::uint8_t>) {
    Tick();
    if (!Find(handle)) return lastError_;
    if (valueName != protocol::kStatusValueName) return lastError_ = platform::kErrorUnknownValue;
    device_.RequestStatus();
    return 0;
}

std::uint32_t EmulatedSpooler::GetPrinterData(platform::PrinterHandle handle,
                                              std::string_view valueName, std::uint32_t* type,
                                              std::span<std::uint8_t> buffer,
                                              std::uint32_t* needed) {
    Tick();
    if (!Find(handle)) return lastError_;
    if (valueName != protocol::kStatusValueName) return lastError_ = platform::kErrorUnknownValue;
    if (!needed) return lastError_ = platform::kErrorInvalidParameter;
    const StatusReply reply = device_.ReadStatus();
    if (reply.failed) {
        if (journal_) journal_->StatusFailed();
        return lastError_ = platform::kErrorUnitFailed;
    }
    if (journal_) journal_->Status(reply.bytes.size());
    if (type) *type = platform::kRegBinary;
    *needed = static_cast<std::uint32_t>(reply.bytes.size());
    const std::size_t fits = std::min(reply.bytes.size(), buffer.size());
    std::copy_n(reply.bytes.begin(), fits, buffer.begin());
    if (fits < reply.bytes.size()) return lastError_ = platform::kErrorMoreData;
    return 0;
}

std::uint32_t EmulatedSpooler::StartDocPrinter(platform::PrinterHandle handle,
                                               const platform::DocInfo& doc) {
    Tick();
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (state->docOpen) return Failure(platform::kErrorOutOfOrder);
    if (doc.dataType != protocol::kRawDataType) return Failure(platform::kErrorInvalidDataType);
    if (delivery_.queuePaused) return Failure(platform::kErrorQueuePaused);
    state->docOpen = true;
    state->job = Job{std::string(doc.docName), std::string(doc.dataType), {}, 0};
    state->streamed.reset();
    if (keep_ == JobBytes::Streamed) state->streamed.emplace(journal_ != nullptr);
    ++unendedDocs_;
    state->jobId = nextJobId_++;
    return state->jobId;
}

int EmulatedSpooler::StartPagePrinter(platform::PrinterHandle handle) {
    Tick();
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->docOpen || state->pageOpen) return Failure(platform::kErrorOutOfOrder);
    state->pageOpen = true;
    ++unendedPages_;
    return 1;
}

int EmulatedSpooler::WritePrinter(platform::PrinterHandle handle,
                                  std::span<const std::uint8_t> data, std::uint32_t* written) {
    Tick();
    if (!written) return Failure(platform::kErrorInvalidParameter);
    *written = 0;
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->docOpen) return Failure(platform::kErrorOutOfOrder);
    Keep(*state, data);
    *written = static_cast<std::uint32_t>(data.size());
    return 1;
}

void EmulatedSpooler::Keep(HandleState& state, std::span<const std::uint8_t> bytes) {
    Job& job = state.job;
    job.length += bytes.size();
    if (state.streamed) {
        state.streamed->Add(bytes);
        job.bytes.assign(state.streamed->Head().begin(), state.streamed->Head().end());
        return;
    }
    job.bytes.insert(job.bytes.end(), bytes.begin(), bytes.end());
}

// A streamed job longer than 64 bytes is known by its length and digest.
void EmulatedSpooler::JournalJob(QueuedJob& queued) {
    if (queued.streamed)
        queued.streamed->WriteTo(*journal_, queued.job.docName);
    else
        journal_->Job(queued.job.docName, queued.job.bytes);
}

int EmulatedSpooler::EndPagePrinter(platform::PrinterHandle handle) {
    Tick();
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->pageOpen) return Failure(platform::kErrorOutOfOrder);
    state->pageOpen = false;
    --unendedPages_;
    return 1;
}

// Queues the job for the unit, even an empty one; it is delivered at once
// when the scenario has no delay. A document whose page is still open cannot
// be ended.
int EmulatedSpooler::EndDocPrinter(platform::PrinterHandle handle) {
    Tick();
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->docOpen || state->pageOpen) return Failure(platform::kErrorOutOfOrder);
    state->docOpen = false;
    --unendedDocs_;
    QueuedJob queued{state->jobId, std::exchange(state->job, Job{}), std::exchange(state->streamed, std::nullopt),
                     std::nullopt};
    if (delivery_.unitTakesJobs) queued.dueMs = NowMs() + delivery_.delayMs;
    queued_.push_back(std::move(queued));
    DeliverDue();
    return 1;
}

// Lets time pass until the job is delivered, or its bound has passed: then
// the job is cancelled, never to reach the unit.
int EmulatedSpooler::WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) {
    Tick();
    if (!Find(handle)) return 0;
    const auto queued = [&] {
        return std::find_if(queued_.begin(), queued_.end(), [&](const QueuedJob& job) { return job.id == jobId; });
    };
    auto found = queued();
    if (found == queued_.end())
        return std::find(delivered_.begin(), delivered_.end(), jobId) == delivered_.end() ? Failure(platform::kErrorOutOfOrder)
                                                                                          : 1;
    const std::uint64_t now = NowMs();
    const std::uint64_t bound = platform::JobDeliveryBoundMs(found->job.length);
    if (found->dueMs && *found->dueMs <= now + bound) {
        Pass(*found->dueMs - now);
        DeliverDue();
        if (std::find(delivered_.begin(), delivered_.end(), jobId) != delivered_.end()) return 1;
    }
    Pass(bound);
    Cancel(jobId);  // time has passed, but nothing was delivered past it
    DeliverDue();
    return Failure(platform::kErrorJobNotCompleted);
}

bool EmulatedSpooler::Cancel(std::uint32_t jobId) {
    const auto found =
        std::find_if(queued_.begin(), queued_.end(), [&](const QueuedJob& job) { return job.id == jobId; });
    if (found == queued_.end()) return false;
    queued_.erase(found);
    ++cancelled_;
    return true;
}

// An open document is dropped with its page: it ends, and nothing of it is
// queued. Else the handle's last ended job is cancelled if it is still
// queued; one already delivered stays delivered.
int EmulatedSpooler::AbortPrinter(platform::PrinterHandle handle) {
    Tick();
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (state->docOpen) {
        if (state->pageOpen) --unendedPages_;
        state->docOpen = state->pageOpen = false;
        --unendedDocs_;
        state->job = Job{};
        state->streamed.reset();
        return 1;
    }
    return Cancel(state->jobId) ? 1 : Failure(platform::kErrorOutOfOrder);
}

int EmulatedSpooler::EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) {
    Tick();
    if (!printers) return Failure(platform::kErrorInvalidParameter);
    printers->clear();
    for (const std::string& name : queues_) printers->push_back(platform::PrinterInfo{name});
    return 1;
}

}  // namespace orlax::emulator
