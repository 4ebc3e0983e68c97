// The final check of a finished unit: its sensors, firmware and offsets
// against the manufacturing tolerances; a unit that passes is finished and
// recorded.
#pragma once

#include <cstdint>

namespace orlax::report {
class ProductionRecord;
}

namespace orlax::operations {

struct Context;

// The manufacturing tolerances. Every limit is 0: a unit passes only with
// both low sensor readings 0 and every tested offset exactly 0. A value equal
// to its limit is within tolerance.
struct ToleranceLimits {
    std::int32_t trayInLowMax = 0;
    std::int32_t trayInHighMin = 0;
    std::int32_t diskInLowMax = 0;
    std::int32_t diskInHighMin = 0;
    std::int32_t binDifferenceMax = 0;  // |leftBin - rightBin|
    std::int32_t positionMin = 0;       // leftBin, recorder, printer, rightBin, hook
    std::int32_t positionMax = 0;
    std::int32_t armHomeMin = 0;
    std::int32_t armHomeMax = 0;
    std::int32_t trayOutMin = 0;
    std::int32_t trayOutMax = 0;
    std::int32_t pickerSwitchMin = 0;
    std::int32_t pickerSwitchMax = 0;
    std::int32_t verticalMin = 0;
    std::int32_t verticalMax = 0;
    std::int32_t horizontalMin = 0;
    std::int32_t horizontalMax = 0;
    std::int32_t lastDiskMin = 0;  // lastDiskLeft and lastDiskRight
    std::int32_t lastDiskMax = 0;
};

// Pauses of the check, in milliseconds.
inline constexpr std::uint32_t kFinalCheckStartWaitMs = 2000;
inline constexpr std::uint32_t kFinalCheckIdlePollMs = 500;
inline constexpr std::uint32_t kFinalCheckPassedWaitMs = 30000;
// The wait for the unit to report idle after FinalCheckStart gives up once
// this long has passed since its first poll began, counted on the clock
// however long each status read took.
inline constexpr std::uint32_t kFinalCheckIdleWaitMs = 120000;

// What the final check needs beyond the context: where a unit that passes
// is recorded, and the tolerances it is held to.
struct FinalCheckParts {
    report::ProductionRecord& record;
    const ToleranceLimits& limits;
};

// FINAL CHECK: firmware, sensors, LEX version and offsets against the
// tolerances; a unit that passes gets its counters cleared, its factory
// set-up and its production record, and is told it passed.
void FinalCheck(const Context& context, const FinalCheckParts& parts);

}  // namespace orlax::operations
