// The options that choose the unit a main window works on, shared by
// orlaxctl and orlax-burner: --emulate[=SCENARIO.json], --fast (orlaxctl
// only), --journal FILE and --data-root DIR.
#pragma once

#include <string>
#include <vector>

#include "util/option_table.h"

namespace orlax::unit_platform {

struct UnitChoice {
    bool emulate = false;
    std::string scenarioPath{};  // with --emulate=FILE; empty: the default unit
    bool fast = false;         // the virtual clock
    std::string journalPath{};   // empty: no journal
    std::string dataRoot = "/";
};

enum class WithFast { No, Yes };

// The table rows that fill `choice`. The data root is made absolute and
// normal: paths in the log and in message boxes are the real, whole paths.
std::vector<util::Option> UnitOptionRows(UnitChoice& choice, WithFast fast);

// "--fast needs --emulate" or "--journal needs --emulate" when the choice
// does not hold together; empty when it does.
std::string CombinationError(const UnitChoice& choice);

}  // namespace orlax::unit_platform
