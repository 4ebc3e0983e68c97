// The spooler of an emulated unit as the programs and tests use it: the
// emulated spooler wrapped in a FaultSpooler that makes the scenario's
// `faults` fail, and any call a test asks to fail. Every spooler call goes
// through the faults; what the unit received and what is left open are
// read from the emulated spooler.
#pragma once

#include "emulator/emulated_spooler.h"
#include "emulator/fault_spooler.h"
#include "platform/forwarding_spooler.h"

namespace orlax::emulator {

class EmulatedUnitSpooler final : public platform::ForwardingSpooler {
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

private:
    // Every call goes to faults_, which is made after the base is: the base
    // only keeps the reference until the first call.
    EmulatedSpooler emulated_;
    FaultSpooler faults_{emulated_};
};

}  // namespace orlax::emulator
