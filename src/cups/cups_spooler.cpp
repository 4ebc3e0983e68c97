#include "cups/cups_spooler.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "cups/cups_queue_service.h"
#include "cups/link_schemes.h"
#include "links/link_codes.h"
#include "platform/spooler_errors.h"
#include "protocol/wire.h"

namespace orlax::cups {
namespace {

using Clock = std::chrono::steady_clock;

// The tool takes a reply of 0 or 1 byte as no reply and asks again.
constexpr std::uint32_t kMostBytesOfNoStatus = 1;

}  // namespace

struct CupsSpooler::Handle {
    QueueInfo queue;
    links::Chosen link;  // the queue's status link, or why it has none
    Clock::time_point opened;
    std::optional<std::uint8_t> request;  // the last status request written
    std::unique_ptr<JobStream> job;       // the open document, if any
    std::optional<ServiceError> broken;   // why a write to it failed
    bool pageOpen = false;
    std::uint64_t jobBytes = 0;           // written to the open or ended job
    std::unique_ptr<JobStream> ended;     // the ended job, until it is waited for
};

CupsSpooler::CupsSpooler(std::unique_ptr<QueueService> service, StatusTimes times, JobTimes jobs,
                         LockOptions locks)
    : service_(std::move(service)),
      locks_(std::move(locks)),
      times_(times),
      links_(LinkSchemes()),
      jobs_(std::move(jobs)) {}

CupsSpooler::~CupsSpooler() = default;

int CupsSpooler::Fail(std::uint32_t code, std::string detail) {
    lastError_ = code;
    lastErrorText_ = std::string(platform::SpoolerErrorText(code));
    if (!detail.empty()) lastErrorText_ += " (" + detail + ")";
    return 0;
}

std::uint32_t CupsSpooler::FailData(std::uint32_t code, std::string detail) {
    Fail(code, std::move(detail));
    return code;
}

int CupsSpooler::Fail(const ServiceError& error) {
    lastError_ = error.code;
    lastErrorText_ = error.text;
    return 0;
}

CupsSpooler::Handle* CupsSpooler::Find(platform::PrinterHandle handle) {
    const auto found = handles_.find(handle);
    if (found == handles_.end()) {
        Fail(platform::kErrorInvalidHandle);
        return nullptr;
    }
    return found->second.get();
}

int CupsSpooler::OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                             const platform::PrinterDefaults*) {
    if (!handle) return Fail(platform::kErrorInvalidParameter);
    *handle = 0;
    ServiceError error;
    std::optional<QueueInfo> queue = service_->FindQueue(name, error);
    if (!queue) return Fail(error);
    if (auto inUse = locks_.Take(queue->name, queue->deviceUri))
        return Fail(ServiceError{platform::kErrorUnitInUse, std::move(*inUse)});
    auto state = std::make_unique<Handle>();
    state->queue = std::move(*queue);
    if (looked_.insert(state->queue.name).second) {
        const std::string left = service_->WithdrawLeftovers(state->queue.name, protocol::kJobDocumentName);
        if (!left.empty() && notice_) notice_(left);
    }
    state->link = links_.Choose(state->queue.deviceUri);
    if (state->link.detail.empty()) state->link.detail = state->queue.name;
    state->opened = Clock::now();
    *handle = nextHandle_++;
    handles_.emplace(*handle, std::move(state));
    return 1;
}

// A document still open is withdrawn with its job.
int CupsSpooler::ClosePrinter(platform::PrinterHandle handle) {
    if (!Find(handle)) return 0;
    handles_.erase(handle);
    return 1;
}

std::uint32_t CupsSpooler::SetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                          std::uint32_t type, std::span<const std::uint8_t> data) {
    Handle* state = Find(handle);
    if (!state) return lastError_;
    if (valueName != protocol::kStatusValueName) return FailData(platform::kErrorUnknownValue, std::string(valueName));
    if (type != platform::kRegBinary || data.size() != 1)
        return FailData(platform::kErrorInvalidParameter, "the request is one binary byte");
    state->request = data[0];
    return 0;
}

std::uint32_t CupsSpooler::GetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                          std::uint32_t* type, std::span<std::uint8_t> buffer,
                                          std::uint32_t* needed) {
    Handle* state = Find(handle);
    if (!state) return lastError_;
    if (valueName != protocol::kStatusValueName) return FailData(platform::kErrorUnknownValue, std::string(valueName));
    if (!needed) return FailData(platform::kErrorInvalidParameter);
    if (!state->request) return FailData(platform::kErrorNoRequest);

    const Clock::time_point began = Clock::now();
    const std::uint32_t result = ReadUnitStatus(*state, buffer, needed);
    if (result == 0 && type) *type = platform::kRegBinary;
    // Paced: the tool asks again at once after a failure, and after a reply
    // of at most one byte, which is no status either. Unpaced, a unit that
    // refuses or closes without a word would take tens of thousands of
    // connections a second.
    const bool noStatus = result == 0 ? *needed <= kMostBytesOfNoStatus : result != platform::kErrorMoreData;
    if (noStatus) std::this_thread::sleep_until(began + times_.failedPace);
    return result;
}

std::uint32_t CupsSpooler::ReadUnitStatus(Handle& state, std::span<std::uint8_t> buffer, std::uint32_t* needed) {
    const links::Chosen& chosen = state.link;
    if (!chosen.link) return FailData(links::CodeOf(chosen.failure), chosen.detail);
    const Clock::time_point deadline = std::min(Clock::now() + times_.exchange, state.opened + times_.budget);
    links::ReplyBuffer reply{};
    const links::Outcome outcome = chosen.link->Exchange(protocol::MakeStatusRequest(*state.request), deadline, reply);
    if (outcome.result != links::LinkResult::Ok) return FailData(links::CodeOf(outcome.result), outcome.detail);

    *needed = static_cast<std::uint32_t>(outcome.length);
    const std::size_t fits = std::min(outcome.length, buffer.size());
    std::copy_n(reply.begin(), fits, buffer.begin());
    if (fits < outcome.length) return FailData(platform::kErrorMoreData);
    return 0;
}

std::uint32_t CupsSpooler::StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo& doc) {
    Handle* state = Find(handle);
    if (!state) return 0;
    if (state->job) return Fail(platform::kErrorOutOfOrder, "a document is already open");
    if (doc.dataType != protocol::kRawDataType) return Fail(platform::kErrorInvalidDataType, std::string(doc.dataType));
    // A job in a queue that would keep it is not submitted at all: it would
    // reach the unit whenever the queue is resumed, long after.
    const QueueInfo& queue = state->queue;
    const std::string said = queue.stateMessage.empty() ? "" : ": " + queue.stateMessage;
    if (queue.paused) return Fail(platform::kErrorQueuePaused, "queue '" + queue.name + "' is stopped in CUPS" + said);
    if (!queue.acceptingJobs)
        return Fail(platform::kErrorQueueRejecting, "queue '" + queue.name + "' is rejecting jobs in CUPS" + said);
    ServiceError error;
    state->ended.reset();
    state->job = service_->StartJob(state->queue.name, doc.docName, error);
    if (!state->job) return Fail(error);
    state->jobBytes = 0;
    return state->job->Id();
}

int CupsSpooler::StartPagePrinter(platform::PrinterHandle handle) {
    Handle* state = Find(handle);
    if (!state) return 0;
    if (!state->job || state->pageOpen) return Fail(platform::kErrorOutOfOrder, "page without a document, or a second page");
    state->pageOpen = true;
    return 1;
}

int CupsSpooler::WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                              std::uint32_t* written) {
    if (!written) return Fail(platform::kErrorInvalidParameter);
    *written = 0;
    Handle* state = Find(handle);
    if (!state) return 0;
    if (!state->job) return Fail(platform::kErrorOutOfOrder, "write without a document");
    if (state->broken) return Fail(*state->broken);
    ServiceError error;
    if (!state->job->Write(data, error)) {
        state->broken = error;
        return Fail(error);
    }
    *written = static_cast<std::uint32_t>(data.size());
    state->jobBytes += data.size();
    return 1;
}

int CupsSpooler::EndPagePrinter(platform::PrinterHandle handle) {
    Handle* state = Find(handle);
    if (!state) return 0;
    if (!state->pageOpen) return Fail(platform::kErrorOutOfOrder, "no page open");
    state->pageOpen = false;
    return 1;
}

// The document ends whether or not CUPS takes it. A job that CUPS refused,
// or whose data it did not all take, is withdrawn: never printed in part.
// A job CUPS took is queued, and kept for WaitForJob.
int CupsSpooler::EndDocPrinter(platform::PrinterHandle handle) {
    Handle* state = Find(handle);
    if (!state) return 0;
    if (!state->job || state->pageOpen) return Fail(platform::kErrorOutOfOrder, "no document open, or its page still open");
    const std::optional<ServiceError> broken = std::exchange(state->broken, std::nullopt);
    ServiceError error;
    const bool queued = !broken && state->job->Finish(error);
    std::unique_ptr<JobStream> job = std::move(state->job);
    if (!queued) return Fail(broken ? *broken : error);
    state->ended = std::move(job);
    return 1;
}

int CupsSpooler::WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) {
    Handle* state = Find(handle);
    if (!state) return 0;
    if (!state->ended || state->ended->Id() != jobId)
        return Fail(platform::kErrorOutOfOrder, "no ended job " + std::to_string(jobId) + " on this handle");
    const std::unique_ptr<JobStream> job = std::move(state->ended);
    const EndOfJobWait endOfJob = jobs_.endOfJob(state->queue.deviceUri, state->queue.name);
    DeliveryBound bound{jobs_.bound(state->jobBytes), endOfJob.most, [&] {
                            if (slowTold_ || !notice_) return;
                            slowTold_ = true;
                            notice_("job " + std::to_string(jobId) + " on queue '" + state->queue.name +
                                    "' is slow: " + endOfJob.cause);
                        }};
    ServiceError error;
    if (job->AwaitDelivery(bound, error)) return 1;
    return Fail(error);
}

int CupsSpooler::EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) {
    if (!printers) return Fail(platform::kErrorInvalidParameter);
    printers->clear();
    std::vector<std::string> names;
    ServiceError error;
    if (!service_->ListLocalQueues(names, error)) return Fail(error);
    for (std::string& name : names) printers->push_back(platform::PrinterInfo{std::move(name)});
    return 1;
}

std::unique_ptr<platform::Spooler> MakeCupsSpooler() {
    return std::make_unique<CupsSpooler>(std::make_unique<CupsQueueService>());
}

}  // namespace orlax::cups
