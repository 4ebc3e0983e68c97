// Steps that the maintenance operations share with the final check.
#pragma once

namespace orlax::platform {
class Dialog;
}

namespace orlax::app {

class CBurnerApp;

// "Sending Factory setup ..." shown at once, fdefault.fzp sent, then the
// note on the reset that follows. True when the file reached the unit; a
// failure is noted in the outcome.
[[nodiscard]] bool SendFactorySetup(CBurnerApp& app, platform::Dialog& window);

// ClearSpits with argument 1, then with argument 2 whatever the first gave.
// True when both reached the unit; failures are noted in the outcome.
[[nodiscard]] bool ClearSpitCounters(CBurnerApp& app);

}  // namespace orlax::app
