// The command table. Every known command also sets lastCommand and makes
// the unit busy (the device model does both); the handlers here only change
// what the command itself changes.
#include "emulator/command_handling.h"

#include <algorithm>

#include "protocol/record_fields.h"

namespace orlax::emulator {
namespace {

namespace f = protocol::field;

CommandResult NoEffect(CommandContext&, std::uint8_t, std::uint8_t) { return CommandResult::Done; }

// 0x08: record byte 69 + index = value.
CommandResult SetPositionOffset(CommandContext& unit, std::uint8_t index, std::uint8_t value) {
    if (index >= kPositionOffsets) return CommandResult::BadArgument;
    unit.record[f::leftBinOffset + index] = value;
    return CommandResult::Done;
}

// 0x03: vertical, horizontal disc-image offsets.
CommandResult SetImageOffset(CommandContext& unit, std::uint8_t vertical, std::uint8_t horizontal) {
    unit.record[f::imageVertical] = vertical;
    unit.record[f::imageHorizontal] = horizontal;
    return CommandResult::Done;
}

// 0x02: argument 1 clears counter set A and spit-limit bit 0, argument 2
// counter set B and bit 1.
CommandResult ClearSpits(CommandContext& unit, std::uint8_t set, std::uint8_t) {
    struct CounterSet {
        std::size_t yellow, magenta, cyan;
        std::uint8_t limitBit;
    };
    static constexpr std::array<CounterSet, 2> kSets = {
        CounterSet{f::yellowSpitsA, f::magentaSpitsA, f::cyanSpitsA, 0x01},
        CounterSet{f::yellowSpitsB, f::magentaSpitsB, f::cyanSpitsB, 0x02},
    };
    if (set < 1 || set > kSets.size()) return CommandResult::BadArgument;
    const CounterSet& counters = kSets[set - 1];
    for (const std::size_t at : {counters.yellow, counters.magenta, counters.cyan})
        protocol::WriteBigEndian32(unit.record, at, 0);
    unit.record[f::spitLimitFlags] &= static_cast<std::uint8_t>(~counters.limitBit);
    return CommandResult::Done;
}

// 0x0B: the position offsets as the unit left the factory.
CommandResult RestoreFactory(CommandContext& unit, std::uint8_t, std::uint8_t) {
    std::copy(unit.factoryOffsets.begin(), unit.factoryOffsets.end(),
              unit.record.begin() + f::leftBinOffset);
    return CommandResult::Done;
}

// 0x0A: the last-disc positions measured afresh.
CommandResult CalibrateLastDisk(CommandContext& unit, std::uint8_t, std::uint8_t) {
    unit.record[f::lastDiskRight] = kCalibratedLastDiskRight;
    unit.record[f::lastDiskLeft] = kCalibratedLastDiskLeft;
    return CommandResult::Done;
}

// 0x92: a disc from the left bin, or the right one when the left is empty.
CommandResult Pick(CommandContext& unit, std::uint8_t, std::uint8_t) {
    std::uint8_t* bin = nullptr;
    for (const std::size_t at : {f::leftBinCount, f::rightBinCount})
        if (!bin && unit.record[at] > 0) bin = &unit.record[at];
    if (!bin) {
        unit.record[f::errorBits] |= error_bit::binsEmpty;
        return CommandResult::Done;
    }
    --*bin;
    const std::uint32_t picked = protocol::ReadBigEndian32(unit.record, f::disksPicked);
    protocol::WriteBigEndian32(unit.record, f::disksPicked, picked + 1);
    unit.record[f::pickerStatus] = protocol::kDiscInPicker;
    return CommandResult::Done;
}

struct CommandEntry {
    std::uint8_t code;
    CommandHandler handler;
};

// The moves, the bin test, FinalCheckStart and the final check results
// change nothing in the record beyond lastCommand and the busy time (TestBins
// counts the bins: the counts are already the unit's state).
constexpr std::array kCommands = {
    CommandEntry{0x02, ClearSpits},        CommandEntry{0x03, SetImageOffset},
    CommandEntry{0x05, NoEffect},          CommandEntry{0x08, SetPositionOffset},
    CommandEntry{0x09, NoEffect},          CommandEntry{0x0A, CalibrateLastDisk},
    CommandEntry{0x0B, RestoreFactory},    CommandEntry{0x13, NoEffect},
    CommandEntry{0x17, NoEffect},          CommandEntry{0x8D, NoEffect},
    CommandEntry{0x8E, NoEffect},          CommandEntry{0x8F, NoEffect},
    CommandEntry{0x90, NoEffect},          CommandEntry{0x92, Pick},
    CommandEntry{0x93, NoEffect},          CommandEntry{0x94, NoEffect},
    CommandEntry{0x96, NoEffect},          CommandEntry{0x97, NoEffect},
    CommandEntry{0x99, NoEffect},          CommandEntry{0x9B, NoEffect},
    CommandEntry{0x9C, NoEffect},          CommandEntry{0xA3, NoEffect},
};

}  // namespace

CommandHandler FindCommandHandler(std::uint8_t code) {
    const auto entry = std::find_if(kCommands.begin(), kCommands.end(),
                                    [code](const CommandEntry& e) { return e.code == code; });
    return entry == kCommands.end() ? nullptr : entry->handler;
}

}  // namespace orlax::emulator
