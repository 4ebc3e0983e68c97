#include "emulator/emulated_spooler.h"

#include <algorithm>

#include "device/device_link.h"
#include "emulator/journal.h"
#include "emulator/sha256.h"
#include "platform/virtual_clock.h"

namespace orlax::emulator {
namespace {

constexpr std::string_view kRawDataType = "RAW";

}  // namespace

EmulatedSpooler::EmulatedSpooler(const Scenario& scenario, platform::VirtualClock* clock,
                                 Journal* journal, JobBytes keep)
    : queues_(scenario.queues),
      faults_(scenario.faults),
      device_(scenario),
      clock_(clock),
      journal_(journal),
      keep_(keep) {}

void EmulatedSpooler::Tick() {
    if (clock_) clock_->Advance(1);
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
    if (valueName != device::kStatusValueName) return lastError_ = kErrorFileNotFound;
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
    if (valueName != device::kStatusValueName) return lastError_ = kErrorFileNotFound;
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
    if (doc.dataType != kRawDataType) return Failure(kErrorInvalidDataType);
    if (Faulted(SpoolerCall::StartDoc, n, faults_.startDoc)) return 0;
    state->docOpen = true;
    state->job = Job{std::string(doc.docName), std::string(doc.dataType), {}, 0};
    state->digest.reset();
    if (keep_ == JobBytes::Streamed && journal_) state->digest.emplace();
    ++unendedDocs_;
    return nextJobId_++;
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
void EmulatedSpooler::JournalJob(HandleState& state) {
    const Job& job = state.job;
    if (keep_ == JobBytes::Streamed && job.length > kJournalHexLimit && state.digest)
        journal_->JobDigest(job.docName, job.length, state.digest->Finish());
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

// Delivers the job to the unit, even an empty one. A failing EndDoc (fault)
// still ends the document but delivers nothing. A document whose page is
// still open cannot be ended.
int EmulatedSpooler::EndDocPrinter(platform::PrinterHandle handle) {
    Tick();
    const std::size_t n = injected_.Count(SpoolerCall::EndDoc);
    HandleState* state = Find(handle);
    if (!state) return 0;
    if (!state->docOpen || state->pageOpen) return Failure(kErrorInvalidPrinterState);
    state->docOpen = false;
    --unendedDocs_;
    if (Faulted(SpoolerCall::EndDoc, n, faults_.endDoc)) return 0;
    if (journal_) JournalJob(*state);
    jobs_.push_back(std::move(state->job));
    state->job = Job{};
    // A streamed device file reaches the unit as its first 64 bytes: to the
    // unit, as a whole, it is no command packet either way.
    device_.ReceiveJob(jobs_.back().bytes);
    return 1;
}

int EmulatedSpooler::EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) {
    Tick();
    if (!printers) return Failure(kErrorInvalidParameter);
    printers->clear();
    for (const std::string& name : queues_) printers->push_back(platform::PrinterInfo{name});
    return 1;
}

}  // namespace orlax::emulator
