// The spooler of an emulated unit as the programs and tests use it: the
// emulated spooler wrapped in a FaultSpooler that makes the scenario's
// `faults` fail, and any call a test asks to fail. Every spooler call goes
// through the faults; what the unit received and what is left open are
// read from the emulated spooler.
#pragma once

#include "emulator/emulated_spooler.h"
#include "emulator/fault_spooler.h"

namespace orlax::emulator {

class EmulatedUnitSpooler final : public platform::Spooler {
public:
    // As EmulatedSpooler's; the scenario's faults fail their step for every job.
    explicit EmulatedUnitSpooler(const Scenario& scenario, clocks::VirtualClock* clock = nullptr,
                                 Journal* journal = nullptr, JobBytes keep = JobBytes::Kept);

    // The Nth call (1-based) of `kind` fails; see FaultSpooler.
    void FailNthCall(SpoolerCall kind, std::size_t n) { faults_.FailNth(kind, n); }
    std::size_t Calls(SpoolerCall kind) const { return faults_.Calls(kind); }

    EmulatedSpooler& Emulated() { return emulated_; }
    const EmulatedSpooler& Emulated() const { return emulated_; }
    std::size_t OpenHandles() const { return emulated_.OpenHandles(); }
    std::size_t OpenJobs() const { return emulated_.OpenJobs(); }
    const std::vector<EmulatedSpooler::Job>& Jobs() const { return emulated_.Jobs(); }
    std::size_t QueuedJobs() const { return emulated_.QueuedJobs(); }
    std::size_t CancelledJobs() const { return emulated_.CancelledJobs(); }
    DeviceModel& Device() { return emulated_.Device(); }
    const DeviceModel& Device() const { return emulated_.Device(); }

    int OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults* defaults) override {
        return faults_.OpenPrinter(name, handle, defaults);
    }
    int ClosePrinter(platform::PrinterHandle handle) override { return faults_.ClosePrinter(handle); }
    std::uint32_t SetPrinterData(platform::PrinterHandle handle, std::string_view valueName, std::uint32_t type,
                                 std::span<const std::uint8_t> data) override {
        return faults_.SetPrinterData(handle, valueName, type, data);
    }
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view valueName, std::uint32_t* type,
                                 std::span<std::uint8_t> buffer, std::uint32_t* needed) override {
        return faults_.GetPrinterData(handle, valueName, type, buffer, needed);
    }
    std::uint32_t StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo& doc) override {
        return faults_.StartDocPrinter(handle, doc);
    }
    int StartPagePrinter(platform::PrinterHandle handle) override { return faults_.StartPagePrinter(handle); }
    int WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                     std::uint32_t* written) override {
        return faults_.WritePrinter(handle, data, written);
    }
    int EndPagePrinter(platform::PrinterHandle handle) override { return faults_.EndPagePrinter(handle); }
    int EndDocPrinter(platform::PrinterHandle handle) override { return faults_.EndDocPrinter(handle); }
    int WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) override {
        return faults_.WaitForJob(handle, jobId);
    }
    int AbortPrinter(platform::PrinterHandle handle) override { return faults_.AbortPrinter(handle); }
    int EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) override {
        return faults_.EnumLocalPrinters(printers);
    }
    std::uint32_t GetLastError() const override { return faults_.GetLastError(); }

private:
    EmulatedSpooler emulated_;
    FaultSpooler faults_{emulated_};
};

}  // namespace orlax::emulator
