// A whole headless session for tests: the application over an emulated
// unit, a virtual clock and a scripted host.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/burner_app.h"
#include "protocol/command_packet.h"
#include "emulator/device_model.h"
#include "emulator/emulated_unit_spooler.h"
#include "emulator/scenario.h"
#include "headless/headless_host.h"
#include "clocks/virtual_clock.h"

namespace orlax::testing {

using headless::ScriptAction;

inline ScriptAction Click(int id) { return {ScriptAction::Kind::Click, id, {}, "click " + std::to_string(id)}; }
inline ScriptAction Focus(int id) { return {ScriptAction::Kind::Focus, id, {}, "focus " + std::to_string(id)}; }
inline ScriptAction Type(int id, std::string text) {
    return {ScriptAction::Kind::Type, id, text, "type " + std::to_string(id) + " " + text};
}
inline ScriptAction Leave(int id) { return {ScriptAction::Kind::Leave, id, {}, "leave " + std::to_string(id)}; }
inline ScriptAction Tab() { return {ScriptAction::Kind::Tab, 0, {}, "tab"}; }

class Session {
public:
    explicit Session(const emulator::Scenario& scenario = emulator::DefaultScenario(),
                     std::string dataRoot = "/nonexistent-data-root",
                     platform::Progress* progress = nullptr)
        : spooler(scenario, &clock),
          host({}, listOut, messageOut),
          app({spooler, clock, host, progress}, app::AppConfig{std::move(dataRoot)}) {}

    // Runs the main window on `script`; returns the log text at the end.
    std::string Run(headless::Script script) {
        for (auto& action : script) host.Append(std::move(action));
        app.InitInstance();
        return std::string(app.Log().LogText());
    }

    // Every job the unit received.
    const std::vector<emulator::EmulatedSpooler::Job>& Jobs() const { return spooler.Jobs(); }

    // The command packets the unit received, in order.
    std::vector<protocol::CommandPacket> Commands() const {
        std::vector<protocol::CommandPacket> packets;
        for (const auto& job : spooler.Jobs()) {
            if (!emulator::IsCommandPacket(job.bytes)) continue;
            protocol::CommandPacket packet{};
            std::copy(job.bytes.begin(), job.bytes.end(), packet.begin());
            packets.push_back(packet);
        }
        return packets;
    }

    bool NothingLeftOpen() const { return spooler.OpenHandles() == 0 && spooler.OpenJobs() == 0; }

    clocks::VirtualClock clock;
    emulator::EmulatedUnitSpooler spooler;
    std::ostringstream listOut;
    std::ostringstream messageOut;
    headless::HeadlessHost host;
    app::CBurnerApp app;
};

}  // namespace orlax::testing
