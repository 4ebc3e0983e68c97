// Steps that the maintenance operations share with the final check.
#pragma once

namespace orlax::platform {
class Dialog;
}

namespace orlax::app {

class CBurnerApp;

// "Sending Factory setup ..." shown at once, fdefault.fzp sent, then the
// note on the reset that follows. 1 when the file reached the unit.
int SendFactorySetup(CBurnerApp& app, platform::Dialog& window);

// ClearSpits with argument 1, then with argument 2 whatever the first gave.
// 1 when both reached the unit.
int ClearSpitCounters(CBurnerApp& app);

}  // namespace orlax::app
