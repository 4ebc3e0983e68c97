#include "emulator/emulated_unit_spooler.h"

namespace orlax::emulator {

EmulatedUnitSpooler::EmulatedUnitSpooler(const Scenario& scenario, clocks::VirtualClock* clock, Journal* journal,
                                         JobBytes keep)
    : ForwardingSpooler(faults_), emulated_(scenario, clock, journal, keep) {
    FailEveryScenarioFault(faults_, scenario.faults);
}

}  // namespace orlax::emulator
