#include "emulator/call_faults.h"

namespace orlax::emulator {

std::size_t CallFaults::CounterOf(SpoolerCall kind) {
    return static_cast<std::size_t>(kind == SpoolerCall::ShortWrite ? SpoolerCall::Write : kind);
}

void CallFaults::FailNth(SpoolerCall kind, std::size_t n) {
    planned_[static_cast<std::size_t>(kind)].insert(n);
}

std::size_t CallFaults::Count(SpoolerCall kind) { return ++calls_[CounterOf(kind)]; }

bool CallFaults::Planned(SpoolerCall kind, std::size_t n) const {
    return planned_[static_cast<std::size_t>(kind)].contains(n);
}

std::size_t CallFaults::Calls(SpoolerCall kind) const { return calls_[CounterOf(kind)]; }

}  // namespace orlax::emulator
