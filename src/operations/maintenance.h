// The maintenance commands of the main window: CLEAR SPITS, CALIBRATE LAST
// DISK, RESTORE FACTORY and TEST BINS.
#pragma once

#include <cstdint>

namespace orlax::operations {

struct Context;

// TEST BINS: the pause after the two commands and after each poll that finds
// the unit busy (or cannot read it), and the most polls.
inline constexpr std::uint32_t kTestBinsPauseMs = 1000;
inline constexpr int kTestBinsMaxPolls = 30;

// Both spit counters cleared on an emptied log; no text of its own.
void ClearSpits(const Context& context);
// CalibrateLastDisk, then "Command Sent" appended to whatever the log holds.
void CalibrateLastDisk(const Context& context);
// RestoreFactory, with no text of its own.
void RestoreFactory(const Context& context);
// The bin test, then the report once the unit is idle again.
void TestBins(const Context& context);

// ClearSpits with argument 1, then with argument 2 whatever the first gave.
// True when both reached the unit; failures are noted in the outcome.
[[nodiscard]] bool ClearSpitCounters(const Context& context);

}  // namespace orlax::operations
