// The print spooler in front of one emulated unit. Every queue the scenario
// lists reaches the same unit. Status exchange through the printer data
// "KORVANE". RAW jobs are queued when their document ends and reach the
// unit as the scenario's delivery says: at once (the default), a delay later
// (on the virtual clock when there is one, else in real time), or never. A
// queued job is delivered at the first spooler call on or after its time,
// whether or not the tool waits for it; WaitForJob waits until it is
// delivered, or gives up after JobDeliveryBoundMs of its size and cancels it.
// A paused queue takes no job (StartDocPrinter fails).
//
// Error codes (GetLastError) of failing calls:
//   1801 the queue name is not one of the scenario's queues
//      6 the handle is unknown or closed
//     87 a required pointer is null
//      2 a printer data name other than "KORVANE"
//   1804 a data type other than "RAW"
//   1906 a call out of order (a page without a document, a document ended
//        while its page is still open, ...), or a document started on a
//        paused queue
//   1460 a job not delivered within its bound (cancelled)
//     31 also: an injected WaitForJob failure
//   1168 WaitForJob for a job that is neither queued nor delivered
//    234 the reply does not fit the caller's buffer
//     31 a failure from the scenario's faults, the reply script ("fail") or
//        an injected call failure
//
// Single-threaded, like the tool that drives it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "emulator/call_faults.h"
#include "emulator/device_model.h"
#include "emulator/scenario.h"
#include "emulator/sha256.h"
#include "platform/spooler.h"

namespace orlax::platform {
class VirtualClock;
}

namespace orlax::emulator {

class Journal;

// What the spooler keeps of the bytes of each job.
enum class JobBytes {
    Kept,      // every byte: Jobs() holds each job whole
    Streamed,  // the length, the first 64 bytes (the whole of a job that
               // short, so every command packet) and, with a journal, the
               // digest: memory stays the same whatever a device file's size
};

inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorDeviceFailure = 31;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorInvalidPrinterName = 1801;
inline constexpr std::uint32_t kErrorInvalidDataType = 1804;
inline constexpr std::uint32_t kErrorInvalidPrinterState = 1906;
inline constexpr std::uint32_t kErrorTimeout = 1460;
inline constexpr std::uint32_t kErrorNotFound = 1168;

class EmulatedSpooler final : public platform::Spooler {
public:
    // A job the unit received, in delivery order.
    struct Job {
        std::string docName, dataType;
        std::vector<std::uint8_t> bytes;  // all of them, or the first 64 (JobBytes::Streamed)
        std::uint64_t length = 0;         // every byte written
    };

    // `clock`, when given, moves 1 ms at every spooler call; `journal`, when
    // given, gets a line per status read and per delivered job. Both must
    // outlive the spooler.
    explicit EmulatedSpooler(const Scenario& scenario, platform::VirtualClock* clock = nullptr,
                             Journal* journal = nullptr, JobBytes keep = JobBytes::Kept);

    int OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults* defaults) override;
    int ClosePrinter(platform::PrinterHandle handle) override;
    std::uint32_t SetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t type, std::span<const std::uint8_t> data) override;
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t* type, std::span<std::uint8_t> buffer,
                                 std::uint32_t* needed) override;
    std::uint32_t StartDocPrinter(platform::PrinterHandle handle,
                                  const platform::DocInfo& doc) override;
    int StartPagePrinter(platform::PrinterHandle handle) override;
    int WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                     std::uint32_t* written) override;
    int EndPagePrinter(platform::PrinterHandle handle) override;
    int EndDocPrinter(platform::PrinterHandle handle) override;
    int WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) override;
    int EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) override;
    std::uint32_t GetLastError() const override { return lastError_; }

    // Handles opened and not closed.
    std::size_t OpenHandles() const { return handles_.size(); }
    // Documents and pages started and never ended, on open handles or on
    // handles closed before their job was ended (such a job is never
    // delivered).
    std::size_t OpenJobs() const { return unendedDocs_ + unendedPages_; }
    const std::vector<Job>& Jobs() const { return jobs_; }
    // Jobs ended and not yet delivered (nor cancelled).
    std::size_t QueuedJobs() const { return queued_.size(); }
    // Jobs cancelled because they were not delivered in time.
    std::size_t CancelledJobs() const { return cancelled_; }

    // The Nth call (1-based) of `kind` fails; see CallFaults.
    void FailNthCall(SpoolerCall kind, std::size_t n) { injected_.FailNth(kind, n); }
    std::size_t Calls(SpoolerCall kind) const { return injected_.Calls(kind); }

    DeviceModel& Device() { return device_; }
    const DeviceModel& Device() const { return device_; }

private:
    struct HandleState {
        bool docOpen = false;
        bool pageOpen = false;
        Job job;
        std::optional<Sha256Hasher> digest;  // a streamed job's, for the journal
        std::uint32_t jobId = 0;
    };

    // A job ended and waiting for its delivery.
    struct QueuedJob {
        std::uint32_t id = 0;
        Job job;
        std::optional<Sha256Hasher> digest;
        std::optional<std::uint64_t> dueMs;  // never when empty
    };

    // Moves the clock and delivers the jobs whose time has come.
    void Tick();
    std::uint64_t NowMs() const;
    // Lets `ms` pass: on the virtual clock, or in real time.
    void Pass(std::uint64_t ms);
    void DeliverDue();
    void Deliver(QueuedJob& queued);
    // The handle's state, or nullptr (last error set) when it is not open.
    HandleState* Find(platform::PrinterHandle handle);
    // True (last error set) when the scenario or an injected fault makes call
    // number `n` of `kind` fail.
    bool Faulted(SpoolerCall kind, std::size_t n, bool scenarioFault);
    int Failure(std::uint32_t code);
    // Takes bytes written to the handle's job, keeping what `keep_` says.
    void Keep(HandleState& state, std::span<const std::uint8_t> bytes);
    void JournalJob(const Job& job, std::optional<Sha256Hasher>& digest);

    std::vector<std::string> queues_;
    Faults faults_;
    Delivery delivery_;
    DeviceModel device_;
    platform::VirtualClock* clock_;
    Journal* journal_;
    JobBytes keep_;

    CallFaults injected_;
    std::map<platform::PrinterHandle, HandleState> handles_;
    platform::PrinterHandle nextHandle_ = 1;
    std::uint32_t nextJobId_ = 1;
    std::size_t unendedDocs_ = 0;
    std::size_t unendedPages_ = 0;
    std::vector<Job> jobs_;
    std::vector<QueuedJob> queued_;
    std::vector<std::uint32_t> delivered_;  // ids, for WaitForJob
    std::size_t cancelled_ = 0;
    std::chrono::steady_clock::time_point createdAt_ = std::chrono::steady_clock::now();
    std::uint32_t lastError_ = 0;
};

}  // namespace orlax::emulator
