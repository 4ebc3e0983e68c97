#include "emulator/call_faults.h"

namespace orlax::emulator {

std::size_t CallFaults::CounterOf(SpoolerCall kind) {
    return static_cast<std::size_t>(kind == SpoolerCall::ShortWrite ? SpoolerCall::Write : kind);
}

void CallFaults::FailNth(SpoolerCall kind, std::size_t n) {
    planned_[static_cast<std::size_t>(kind)].insert(n);
}

void CallFaults::FailEvery(SpoolerCall kind) { every_[static_cast<std::size_t>(kind)] = true; }

std::size_t CallFaults::Count(SpoolerCall kind) { return ++calls_[CounterOf(kind)]; }

bool CallFaults::Planned(SpoolerCall kind, std::size_t n) const {
    const auto at = static_cast<std::size_t>(kind);
    return every_[at] || planned_[at].contains(n);
}

std::size_t CallFaults::Calls(SpoolerCall kind) const { return calls_[CounterOf(kind)]; }

}  // namespace orlax::emulator
