// A whole desktop session for tests: the application over an emulated unit
// and a virtual clock, in real windows driven by a script.
#pragma once

#include <string>
#include <vector>

#include "res/control_ids.h"
#include "app/burner_app.h"
#include "operations/operator_log.h"
#include "protocol/command_packet.h"
#include "emulator/emulated_spooler.h"
#include "emulator/scenario.h"
#include "gui/gui_driver.h"
#include "gui/progress_model.h"
#include "gui/qt_clock.h"
#include "gui/qt_dialog_window.h"
#include "gui/qt_host.h"
#include "gui/recording_presenter.h"
#include "clocks/virtual_clock.h"
#include "res/dialog_templates.h"

namespace orlax::testing {

enum class Time { Virtual, Real };

class GuiSession {
public:
    // On virtual time pauses take none; on real time they are the desktop
    // clock's own, with the windows painting meanwhile.
    explicit GuiSession(const emulator::Scenario& scenario = emulator::DefaultScenario(),
                        Time time = Time::Virtual, std::string dataRoot = "/nonexistent-data-root")
        : spooler(scenario, time == Time::Virtual ? &clock : nullptr),
          host(presenter, &progress, "test"),
          app({spooler, time == Time::Virtual ? static_cast<platform::Clock&>(clock) : realClock, host},
              app::AppConfig{std::move(dataRoot)}) {}

    // Runs the main window on `script`; the log box's last text is kept in
    // `logBox`. Returns the operator log at the end.
    std::string Run(headless::Script script) {
        ScriptDriver driver(host, std::move(script), [this](gui::QtDialogWindow& window) {
            if (window.Template().id == res::kMainWindowTemplate) logBox = window.GetItemText(res::main_window::kLog);
        });
        app.InitInstance();
        remaining = driver.Remaining().size();
        return std::string(app.Log().LogText());
    }

    std::vector<protocol::CommandPacket> Commands() const {
        std::vector<protocol::CommandPacket> packets;
        for (const auto& job : spooler.Jobs()) {
            if (job.bytes.size() != protocol::kCommandPacketSize) continue;
            protocol::CommandPacket packet{};
            std::copy(job.bytes.begin(), job.bytes.end(), packet.begin());
            packets.push_back(packet);
        }
        return packets;
    }

    clocks::VirtualClock clock;
    gui::ProgressModel progress;
    gui::QtClock realClock{&progress};
    emulator::EmulatedSpooler spooler;
    RecordingPresenter presenter;
    gui::QtHost host;
    app::CBurnerApp app;
    std::string logBox;
    std::size_t remaining = 0;
};

}  // namespace orlax::testing
