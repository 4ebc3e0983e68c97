// An emulated unit as the programs start one: its scenario (the default
// unit without a file) and, when asked for, its journal.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "emulator/journal.h"
#include "emulator/scenario.h"

namespace orlax::emulator {

struct EmulatedUnit {
    emulator::Scenario scenario;
    std::unique_ptr<emulator::Journal> journal;  // nullptr: no journal
};

// Loads `scenarioPath` (empty: the default unit) and opens `journalPath`
// for appending (empty: none). nullopt with `error` set (the file's name and
// what is wrong with it) when either cannot be had.
std::optional<EmulatedUnit> LoadEmulatedUnit(const std::string& scenarioPath, const std::string& journalPath,
                                             std::string& error);

}  // namespace orlax::emulator
