// What the emulated unit does with each command, checked on the whole record:
// the bytes listed change, every other byte stays as it was.
#include <gtest/gtest.h>

#include "emulator/command_handling.h"
#include "support/packet_hex.h"
#include "emulator/device_model.h"
#include "protocol/record_fields.h"

namespace orlax::emulator {
namespace {

namespace f = protocol::field;

using testing::CommandJob;

// A unit with every counter, offset and count set to something distinct.
Scenario Populated() {
    Scenario s = DefaultScenario();
    s.busyPolls = 2;
    auto& r = s.record;
    r[f::spitLimitFlags] = 0x83;
    const std::size_t counters[] = {f::yellowSpitsB, f::magentaSpitsB, f::cyanSpitsB,
                                    f::yellowSpitsA, f::magentaSpitsA, f::cyanSpitsA};
    for (std::size_t i = 0; i < 6; ++i) protocol::WriteBigEndian32(r, counters[i], 0x01020300 + i);
    protocol::WriteBigEndian32(r, f::disksPicked, 0x000000FF);
    r[f::rightBinCount] = 12;
    r[f::leftBinCount] = 25;
    r[f::imageVertical] = 0xFD;
    r[f::imageHorizontal] = 4;
    for (std::size_t i = 0; i < 9; ++i) r[f::leftBinOffset + i] = static_cast<std::uint8_t>(10 + i);
    r[f::lastDiskRight] = 0xFE;
    r[f::lastDiskLeft] = 3;
    r[f::lastCommand] = 0x77;
    return s;
}

struct Change {
    std::size_t at;
    std::uint8_t value;
};

struct CommandCase {
    const char* what;
    std::vector<std::uint8_t> packet;
    std::vector<Change> changes;  // besides lastCommand (when obeyed) and errorBits
    bool obeyed;
    std::uint8_t errorBits;
    void (*prepare)(Record&) = nullptr;        // the scenario's record before start
    std::vector<std::vector<std::uint8_t>> setup = {};  // packets obeyed before this one
};

TEST(CommandHandling, UnitObeysEachCommand) {
    const std::vector<Change> counterSetA = {
        {f::spitLimitFlags, 0x82},
        {f::yellowSpitsA, 0}, {f::yellowSpitsA + 1, 0}, {f::yellowSpitsA + 2, 0}, {f::yellowSpitsA + 3, 0},
        {f::magentaSpitsA, 0}, {f::magentaSpitsA + 1, 0}, {f::magentaSpitsA + 2, 0}, {f::magentaSpitsA + 3, 0},
        {f::cyanSpitsA, 0}, {f::cyanSpitsA + 1, 0}, {f::cyanSpitsA + 2, 0}, {f::cyanSpitsA + 3, 0}};
    const std::vector<Change> counterSetB = {
        {f::spitLimitFlags, 0x81},
        {f::yellowSpitsB, 0}, {f::yellowSpitsB + 1, 0}, {f::yellowSpitsB + 2, 0}, {f::yellowSpitsB + 3, 0},
        {f::magentaSpitsB, 0}, {f::magentaSpitsB + 1, 0}, {f::magentaSpitsB + 2, 0}, {f::magentaSpitsB + 3, 0},
        {f::cyanSpitsB, 0}, {f::cyanSpitsB + 1, 0}, {f::cyanSpitsB + 2, 0}, {f::cyanSpitsB + 3, 0}};
    auto badSum = CommandJob(0x08, 2, 0xFB);
    ++badSum[7];
    std::vector<std::vector<std::uint8_t>> offsetsMoved;
    for (std::uint8_t i = 0; i < 9; ++i) offsetsMoved.push_back(CommandJob(0x08, i, 0x55));

    const std::vector<CommandCase> cases = {
        {"SetPositionOffset 0", CommandJob(0x08, 0, 0xFB), {{f::leftBinOffset, 0xFB}}, true, 0},
        {"SetPositionOffset 8", CommandJob(0x08, 8, 200), {{f::armHomeOffset, 200}}, true, 0},
        {"SetPositionOffset 9", CommandJob(0x08, 9, 1), {}, false, error_bit::badArgument},
        {"SetPositionOffset 255", CommandJob(0x08, 255, 1), {}, false, error_bit::badArgument},
        {"SetImageOffset", CommandJob(0x03, 0xFD, 7), {{f::imageVertical, 0xFD}, {f::imageHorizontal, 7}}, true, 0},
        {"ClearSpits 1", CommandJob(0x02, 1), counterSetA, true, 0},
        {"ClearSpits 2", CommandJob(0x02, 2), counterSetB, true, 0},
        {"ClearSpits 3", CommandJob(0x02, 3), {}, false, error_bit::badArgument},
        {"ClearSpits 0", CommandJob(0x02, 0), {}, false, error_bit::badArgument},
        {"RestoreFactory", CommandJob(0x0B),
         {{69, 10}, {70, 11}, {71, 12}, {72, 13}, {73, 14}, {74, 15}, {75, 16}, {76, 17}, {77, 18}},
         true, 0, nullptr, offsetsMoved},
        {"CalibrateLastDisk", CommandJob(0x0A),
         {{f::lastDiskRight, kCalibratedLastDiskRight}, {f::lastDiskLeft, kCalibratedLastDiskLeft}}, true, 0},
        {"Pick from the left bin", CommandJob(0x92),
         {{f::leftBinCount, 24}, {f::disksPicked + 2, 1}, {f::disksPicked + 3, 0}, {f::pickerStatus, 'O'}},
         true, 0},
        {"Pick from the right bin", CommandJob(0x92),
         {{f::rightBinCount, 11}, {f::disksPicked + 2, 1}, {f::disksPicked + 3, 0}, {f::pickerStatus, 'O'}},
         true, 0, [](Record& r) { r[f::leftBinCount] = 0; }},
        {"Pick from empty bins", CommandJob(0x92), {}, true, error_bit::binsEmpty,
         [](Record& r) { r[f::leftBinCount] = r[f::rightBinCount] = 0; }},
        {"TestBins", CommandJob(0x99), {}, true, 0},
        {"FinalCheckFailed", CommandJob(0x05), {}, true, 0},
        {"FinalCheckPassed", CommandJob(0x9C), {}, true, 0},
        {"FinalCheckStart", CommandJob(0x17), {}, true, 0},
        {"PrepareMove", CommandJob(0x09), {}, true, 0},
        {"OffsetsSetup", CommandJob(0x13), {}, true, 0},
        {"wrong checksum", badSum, {}, false, error_bit::badChecksum},
        {"unknown code", CommandJob(0x42), {}, false, error_bit::unknownCode},
        {"unknown code 0", CommandJob(0x00), {}, false, error_bit::unknownCode},
    };
    for (const std::uint8_t move : {0x8D, 0x8E, 0x8F, 0x90, 0x93, 0x94, 0x96, 0x97, 0x9B, 0xA3}) {
        Scenario s = Populated();
        DeviceModel unit(s);
        unit.ReceiveJob(CommandJob(move));
        Record expected = s.record;
        expected[f::lastCommand] = move;
        EXPECT_EQ(unit.State(), expected) << "move " << int{move};
        EXPECT_EQ(unit.BusyReadsLeft(), 2u) << "move " << int{move};
    }
    for (const CommandCase& c : cases) {
        Scenario s = Populated();
        if (c.prepare) c.prepare(s.record);
        DeviceModel unit(s);
        for (const auto& packet : c.setup) unit.ReceiveJob(packet);
        Record expected = unit.State();
        for (const Change& change : c.changes) expected[change.at] = change.value;
        if (c.obeyed) expected[f::lastCommand] = c.packet[2];
        expected[f::errorBits] = c.errorBits;
        unit.ReceiveJob(c.packet);
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(unit.State()[i], expected[i]) << c.what << ", byte " << i;
        if (c.setup.empty()) { EXPECT_EQ(unit.BusyReadsLeft(), c.obeyed ? 2u : 0u) << c.what; }
    }
}

TEST(CommandHandling, EveryCatalogueCodeHasAHandlerAndNoOther) {
    const std::uint8_t catalogue[] = {0x02, 0x03, 0x05, 0x08, 0x09, 0x0A, 0x0B, 0x13,
                                      0x17, 0x8D, 0x8E, 0x8F, 0x90, 0x92, 0x93, 0x94,
                                      0x96, 0x97, 0x99, 0x9B, 0x9C, 0xA3};
    for (int code = 0; code < 256; ++code) {
        const bool listed = std::find(std::begin(catalogue), std::end(catalogue), code) !=
                            std::end(catalogue);
        EXPECT_EQ(FindCommandHandler(static_cast<std::uint8_t>(code)) != nullptr, listed) << code;
    }
}

TEST(CommandHandling, OnlyEightByteJobsStartingEscFourAreCommands) {
    Scenario s = Populated();
    DeviceModel unit(s);
    auto nine = CommandJob(0x0A);
    nine.push_back(0);
    auto seven = CommandJob(0x0A);
    seven.pop_back();
    auto otherLead = CommandJob(0x0A);
    otherLead[1] = 0x05;
    for (const auto& job : {nine, seven, otherLead, std::vector<std::uint8_t>{}}) unit.ReceiveJob(job);
    EXPECT_EQ(unit.State(), s.record);
    EXPECT_EQ(unit.DeviceFilesReceived(), 4u);
}

}  // namespace
}  // namespace orlax::emulator
