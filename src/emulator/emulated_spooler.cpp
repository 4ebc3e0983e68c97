#include "emulator/emulated_spooler.h"

#include <algorithm>
#include <thread>

#include <utility>

#include "protocol/wire.h"
#include "emulator/journal.h"
#include "emulator/sha256.h"
#include "platform/virtual_clock.h"

namespace orlax::emulator {
namespace {


}  // namespace

EmulatedSpooler::EmulatedSpooler(const Scenario& scenario, platform::VirtualClock* clock,
                                 Journal* journal, JobBytes keep)
    : queues_(scenario.queues),
      faults_(scenario.faults),
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
    if (journal_) JournalJob(queued.job, queued.digest);
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
        lastError_ = kErrorInvalidHandle;
        return nullptr;
    }
    return &found->second;
}

bool EmulatedSpooler::Faulted(SpoolerCall kind, std::size_t n, bool scenarioFault) {
    if (!scenarioFault && !injected_.Planned(kind, n)) return false;
    lastError_ = kErrorDeviceFailure;
    return true;
}

int EmulatedSpooler::OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                                 const platform::PrinterDefaults*) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::Open);
    if (!handle) return Failure(kErrorInvalidParameter);
    *handle = 0;
    if (std::find(queues_.begin(), queues_.end(), name) == queues_.end())
        return Failure(kErrorInvalidPrinterName);
    if (Faulted(SpoolerCall::Open, n, faults_.open)) return 0;
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
    const std::size_t n = injected_.Count(SpoolerCall::SetData);
    if (!Find(handle)) return lastError_;
    if (valueName != protocol::kStatusValueName) return lastError_ = kErrorFileNotFound;
    if (Faulted(SpoolerCall::SetData, n, false)) return lastError_;
    device_.RequestStatus();
    return 0;
}

std::uint32_t EmulatedSpooler::GetPrinterData(platform::PrinterHandle handle,
                                              std::string_view valueName, std::uint32_t* type,
                                              std::span<std::uint8_t> buffer,
                                              std::uint32_t* needed) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::GetData);
    if (!Find(handle)) return lastError_;
    if (valueName != protocol::kStatusValueName) return lastError_ = kErrorFileNotFound;
    if (!needed) return lastError_ = kErrorInvalidParameter;
    if (Faulted(SpoolerCall::GetData, n, false)) {
        if (journal_) journal_->StatusFailed();
        return lastError_;
    }
    const StatusReply reply = device_.ReadStatus();
    if (reply.failed) {
        if (journal_) journal_->StatusFailed();
        return lastError_ = kErrorDeviceFailure;
    }
    if (journal_) journal_->Status(reply.bytes.size());
    if (type) *type = platform::kRegBinary;
    *needed = static_cast<std::uint32_t>(reply.bytes.size());
    const std::size_t fits = std::min(reply.bytes.size(), buffer.size());
    std::copy_n(reply.bytes.begin(), fits, buffer.begin());
    if (fits < reply.bytes.size()) return lastError_ = kErrorMoreData;
    return 0;
}

std::uint32_t EmulatedSpooler::StartDocPrinter(platform::PrinterHandle handle,
                                               const platform::DocInfo& doc) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::StartDoc);
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (state->docOpen) return Failure(kErrorInvalidPrinterState);
    if (doc.dataType != protocol::kRawDataType) return Failure(kErrorInvalidDataType);
    if (delivery_.queuePaused) return Failure(kErrorInvalidPrinterState);
    if (Faulted(SpoolerCall::StartDoc, n, faults_.startDoc)) return 0;
    state->docOpen = true;
    state->job = Job{std::string(doc.docName), std::string(doc.dataType), {}, 0};
    state->digest.reset();
    if (keep_ == JobBytes::Streamed && journal_) state->digest.emplace();
    ++unendedDocs_;
    state->jobId = nextJobId_++;
    return state->jobId;
}

int EmulatedSpooler::StartPagePrinter(platform::PrinterHandle handle) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::StartPage);
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->docOpen || state->pageOpen) return Failure(kErrorInvalidPrinterState);
    if (Faulted(SpoolerCall::StartPage, n, faults_.startPage)) return 0;
    state->pageOpen = true;
    ++unendedPages_;
    return 1;
}

int EmulatedSpooler::WritePrinter(platform::PrinterHandle handle,
                                  std::span<const std::uint8_t> data, std::uint32_t* written) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::Write);
    if (!written) return Failure(kErrorInvalidParameter);
    *written = 0;
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->docOpen) return Failure(kErrorInvalidPrinterState);
    if (Faulted(SpoolerCall::Write, n, faults_.write)) return 0;
    std::size_t taken = data.size();
    if ((faults_.shortWrite || injected_.Planned(SpoolerCall::ShortWrite, n)) && taken > 0) --taken;
    Keep(*state, data.first(taken));
    *written = static_cast<std::uint32_t>(taken);
    return 1;
}

void EmulatedSpooler::Keep(HandleState& state, std::span<const std::uint8_t> bytes) {
    Job& job = state.job;
    job.length += bytes.size();
    if (keep_ == JobBytes::Kept) {
        job.bytes.insert(job.bytes.end(), bytes.begin(), bytes.end());
        return;
    }
    const std::size_t room = kJournalHexLimit - std::min(job.bytes.size(), kJournalHexLimit);
    const auto head = bytes.first(std::min(room, bytes.size()));
    job.bytes.insert(job.bytes.end(), head.begin(), head.end());
    if (state.digest) state.digest->Update(bytes);
}

// A streamed job longer than 64 bytes is known by its length and digest.
void EmulatedSpooler::JournalJob(const Job& job, std::optional<Sha256Hasher>& digest) {
    if (keep_ == JobBytes::Streamed && job.length > kJournalHexLimit && digest)
        journal_->JobDigest(job.docName, job.length, digest->Finish());
    else
        journal_->Job(job.docName, job.bytes);
}

// A failing EndPage (fault) still ends the page.
int EmulatedSpooler::EndPagePrinter(platform::PrinterHandle handle) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::EndPage);
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->pageOpen) return Failure(kErrorInvalidPrinterState);
    state->pageOpen = false;
    --unendedPages_;
    return Faulted(SpoolerCall::EndPage, n, faults_.endPage) ? 0 : 1;
}

// Queues the job for the unit, even an empty one; it is delivered at once
// when the scenario has no delay. A failing EndDoc (fault) still ends the
// document but queues nothing. A document whose page is still open cannot be
// ended.
int EmulatedSpooler::EndDocPrinter(platform::PrinterHandle handle) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::EndDoc);
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->docOpen || state->pageOpen) return Failure(kErrorInvalidPrinterState);
    state->docOpen = false;
    --unendedDocs_;
    if (Faulted(SpoolerCall::EndDoc, n, faults_.endDoc)) return 0;
    QueuedJob queued{state->jobId, std::exchange(state->job, Job{}), std::exchange(state->digest, std::nullopt),
                     std::nullopt};
    if (delivery_.unitTakesJobs) queued.dueMs = NowMs() + delivery_.delayMs;
    queued_.push_back(std::move(queued));
    DeliverDue();
    return 1;
}

// Lets time pass until the job is delivered, or its bound has passed: then
// the job is cancelled, never to reach the unit. An injected failure fails
// the wait at once and cancels the job if it is still queued (one already
// delivered stays delivered: the spooler lost sight of it).
int EmulatedSpooler::WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::WaitJob);
    if (!Find(handle)) return 0;
    const auto queued = [&] {
        return std::find_if(queued_.begin(), queued_.end(), [&](const QueuedJob& job) { return job.id == jobId; });
    };
    auto found = queued();
    const bool injected = injected_.Planned(SpoolerCall::WaitJob, n);
    if (found == queued_.end()) {
        if (std::find(delivered_.begin(), delivered_.end(), jobId) == delivered_.end())
            return Failure(kErrorNotFound);
        return injected ? Failure(kErrorDeviceFailure) : 1;
    }
    const std::uint64_t now = NowMs();
    const std::uint64_t bound = platform::JobDeliveryBoundMs(found->job.length);
    if (!injected && found->dueMs && *found->dueMs <= now + bound) {
        Pass(*found->dueMs - now);
        DeliverDue();
        if (std::find(delivered_.begin(), delivered_.end(), jobId) != delivered_.end()) return 1;
    }
    if (!injected) Pass(bound);
    found = queued();  // time has passed, but nothing was delivered past it
    if (found != queued_.end()) {
        queued_.erase(found);
        ++cancelled_;
    }
    DeliverDue();
    return Failure(injected ? kErrorDeviceFailure : kErrorTimeout);
}

int EmulatedSpooler::EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) {
    Tick();
    if (!printers) return Failure(kErrorInvalidParameter);
    printers->clear();
    for (const std::string& name : queues_) printers->push_back(platform::PrinterInfo{name});
    return 1;
}

}  // namespace orlax::emulator
