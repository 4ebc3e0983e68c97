// The print spooler port on CUPS.
//
// - OpenPrinter opens a queue that CUPS knows, by name (the access rights
//   asked for do not matter: no call needs CUPS administrator rights).
// - RAW jobs: StartDocPrinter creates a CUPS job with its document name and
//   raw format, WritePrinter streams the bytes unchanged, EndDocPrinter
//   closes the document and so queues the job. One job per document. A job
//   is withdrawn, never printed in part, when its document is not ended
//   (the handle closed first) or when a write to it failed (ending it then
//   fails with the write's error). CUPS takes no job without data: ending
//   an empty document fails with CUPS's error and the job is withdrawn.
//   A queue that is stopped or rejecting jobs takes no job: StartDocPrinter
//   fails before anything is submitted.
// - WaitForJob: an ended job is only queued in CUPS. It counts as sent when
//   CUPS reports it completed; stopped, held, aborted or canceled, or not
//   completed within its bound (platform::JobDeliveryBoundMs of its size,
//   and once CUPS has begun sending it, the known wait of the queue's
//   backend at a job's end: end_of_job_waits.h), it is a failed send and is
//   cancelled. The error tells a job that CUPS had begun sending (the unit
//   may have it) from one it had not (it can never reach the unit). The
//   first job of a run that needs the backend's wait gives a notice with
//   the cause and the fix.
// - The first time a queue is opened, the jobs an earlier run of this user
//   left there unfinished (named "Lumetra Command") are cancelled, with a
//   notice.
// - Every wait on CUPS ends: connecting, each request and each piece of a
//   job's data are bounded (CupsTimes, cups_connection.h).
// - The printer data "KORVANE": SetPrinterData keeps the one-byte request;
//   GetPrinterData runs the status exchange with the unit behind the
//   queue's device URI, on the link its scheme gives (link_schemes.h),
//   chosen when the queue is opened. Every exchange ends within 1000 ms,
//   and all exchanges on one handle within 2000 ms of its opening (the time
//   budget of a status query). A failed exchange, and one that brings back
//   at most one byte, returns no sooner than 100 ms after it began, so a
//   unit that refuses or closes at once is not flooded with connections.
// - One run drives a unit at a time: the first open of a queue takes the
//   locks of the queue and of its unit (unit_locks.h) and holds them until
//   the spooler goes; when another run holds one, the open fails with
//   "unit in use by PID N (program)" before anything is sent.
// - GetLastError gives the code of the last failure (spooler_errors.h);
//   LastErrorText its text, CUPS's own where CUPS reported it.
//
// Used from one thread, like the tool that drives it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "cups/end_of_job_waits.h"
#include "cups/queue_service.h"
#include "cups/unit_locks.h"
#include "links/schemes.h"
#include "platform/spooler.h"
#include "protocol/status_exchange.h"

namespace orlax::cups {

struct StatusTimes {
    std::chrono::milliseconds exchange{protocol::kStatusExchangeMs};  // one exchange, connect to close
    std::chrono::milliseconds budget{protocol::kStatusQueryBudgetMs};  // all exchanges of one handle
    std::chrono::milliseconds failedPace{100};  // the least time a failed or empty exchange takes
};

// How long an ended job of that many bytes may take to be delivered, and
// the wait the backend of a queue's device URI may add at its end.
struct JobTimes {
    std::function<std::chrono::milliseconds(std::uint64_t bytes)> bound = [](std::uint64_t bytes) {
        return std::chrono::milliseconds(platform::JobDeliveryBoundMs(bytes));
    };
    std::function<EndOfJobWait(std::string_view deviceUri, std::string_view queue)> endOfJob = EndOfJobWaitFor;
};

class CupsSpooler final : public platform::Spooler {
public:
    explicit CupsSpooler(std::unique_ptr<QueueService> service, StatusTimes times = {}, JobTimes jobs = {},
                         LockOptions locks = {});
    ~CupsSpooler() override;

    int OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults* defaults) override;
    int ClosePrinter(platform::PrinterHandle handle) override;
    std::uint32_t SetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t type, std::span<const std::uint8_t> data) override;
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t* type, std::span<std::uint8_t> buffer,
                                 std::uint32_t* needed) override;
    std::uint32_t StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo& doc) override;
    int StartPagePrinter(platform::PrinterHandle handle) override;
    int WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                     std::uint32_t* written) override;
    int EndPagePrinter(platform::PrinterHandle handle) override;
    int EndDocPrinter(platform::PrinterHandle handle) override;
    int WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) override;
    int EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) override;
    std::uint32_t GetLastError() const override { return lastError_; }

    // Where a notice goes (a job slowed by its backend's wait, jobs left by
    // an earlier run cancelled): one line of text, told as it happens.
    void SetNotice(std::function<void(std::string_view)> notice) { notice_ = std::move(notice); }

    // The text of the last failure; empty while GetLastError is 0.
    std::string LastErrorText() const override { return lastErrorText_; }
    // Handles opened and not closed.
    std::size_t OpenHandles() const { return handles_.size(); }

private:
    struct Handle;

    Handle* Find(platform::PrinterHandle handle);
    int Fail(std::uint32_t code, std::string detail = {});
    int Fail(const ServiceError& error);
    // The same for the printer data calls, which return the error code.
    std::uint32_t FailData(std::uint32_t code, std::string detail = {});
    // The status exchange for one read; 0 or an error code.
    std::uint32_t ReadUnitStatus(Handle& state, std::span<std::uint8_t> buffer, std::uint32_t* needed);

    std::unique_ptr<QueueService> service_;
    UnitLocks locks_;
    StatusTimes times_;
    links::DeviceLinks links_;  // before the handles, whose links it makes
    JobTimes jobs_;
    std::map<platform::PrinterHandle, std::unique_ptr<Handle>> handles_;
    platform::PrinterHandle nextHandle_ = 1;
    std::uint32_t lastError_ = 0;
    std::string lastErrorText_;
    std::function<void(std::string_view)> notice_;
    std::set<std::string> looked_;  // queues already cleared of what an earlier run left
    bool slowTold_ = false;         // the backend's wait named once a run
};

// The spooler of this machine's CUPS.
std::unique_ptr<platform::Spooler> MakeCupsSpooler();

}  // namespace orlax::cups
