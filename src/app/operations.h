// Steps that the maintenance operations share with the final check.
#pragma once

namespace orlax::platform {
class Dialog;
}

namespace orlax::device {
class DeviceLink;
}

namespace orlax::operations {
class Outcome;
}

namespace orlax::app {

class OperatorLog;

// "Sending Factory setup ..." shown at once, fdefault.fzp sent, then the
// note on the reset that follows. True when the file reached the unit; a
// failure is noted in the outcome.
[[nodiscard]] bool SendFactorySetup(OperatorLog& log, device::DeviceLink& link, operations::Outcome& outcome,
                                    platform::Dialog& window);

// ClearSpits with argument 1, then with argument 2 whatever the first gave.
// True when both reached the unit; failures are noted in the outcome.
[[nodiscard]] bool ClearSpitCounters(device::DeviceLink& link, operations::Outcome& outcome);

}  // namespace orlax::app
