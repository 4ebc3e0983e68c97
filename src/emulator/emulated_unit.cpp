#include "emulator/emulated_unit.h"

namespace orlax::emulator {

std::optional<EmulatedUnit> LoadEmulatedUnit(const std::string& scenarioPath, const std::string& journalPath,
                                             std::string& error) {
    EmulatedUnit unit{emulator::DefaultScenario(), nullptr};
    if (!scenarioPath.empty() && !emulator::LoadScenarioFile(scenarioPath, unit.scenario, error))
        return std::nullopt;
    if (!journalPath.empty()) {
        unit.journal = std::make_unique<emulator::Journal>(journalPath);
        if (!unit.journal->IsOpen()) {
            error = unit.journal->Error();
            return std::nullopt;
        }
    }
    return unit;
}

}  // namespace orlax::emulator
