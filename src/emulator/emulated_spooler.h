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
// Only the emulated unit's own behaviour lives here; the scenario's faults
// and failures made on purpose wrap it (FaultSpooler, EmulatedUnitSpooler).
//
// Error codes (GetLastError) are those of every spooler (spooler_errors.h):
//   1030 the queue name is not one of the scenario's queues
//   7001 the handle is unknown or closed
//   7002 a required pointer is null
//   7003 a printer data name other than "KORVANE"
//   7004 a data type other than "RAW"
//   7005 a call out of order (a page without a document, a document ended
//        while its page is still open, WaitForJob for a job that is neither
//        queued nor delivered, ...)
//   7007 the reply does not fit the caller's buffer
//   7018 a document started on a paused queue
//   7020 a job not delivered within its bound (cancelled)
//     31 the unit failed the status read (the reply script's "fail")
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

#include "emulator/device_model.h"
#include "emulator/scenario.h"
#include "emulator/streamed_job.h"
#include "platform/spooler.h"

namespace orlax::clocks {
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
    explicit EmulatedSpooler(const Scenario& scenario, clocks::VirtualClock* clock = nullptr,
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
    int AbortPrinter(platform::PrinterHandle handle) override;
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
    // Jobs cancelled: not delivered in time, or withdrawn once ended.
    std::size_t CancelledJobs() const { return cancelled_; }

    DeviceModel& Device() { return device_; }
    const DeviceModel& Device() const { return device_; }

    // How jobs ended from now on reach the unit: a queue paused, or a unit
    // that stopped taking jobs, in the middle of a run.
    void SetDelivery(const Delivery& delivery) { delivery_ = delivery; }

private:
    struct HandleState {
        bool docOpen = false;
        bool pageOpen = false;
        Job job;                           // its bytes, when kept whole
        std::optional<StreamedJob> streamed;  // else its record
        std::uint32_t jobId = 0;
    };

    // A job ended and waiting for its delivery.
    struct QueuedJob {
        std::uint32_t id = 0;
        Job job;
        std::optional<StreamedJob> streamed;
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
    int Failure(std::uint32_t code);
    // Takes bytes written to the handle's job, keeping what `keep_` says.
    void Keep(HandleState& state, std::span<const std::uint8_t> bytes);
    void JournalJob(QueuedJob& queued);
    // Cancels the queued job `jobId`; false when it is not queued.
    bool Cancel(std::uint32_t jobId);

    std::vector<std::string> queues_;
    Delivery delivery_;
    DeviceModel device_;
    clocks::VirtualClock* clock_;
    Journal* journal_;
    JobBytes keep_;

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
