// The main window run headless over the reply spooler, for the fuzz
// targets: the buttons clicked are the script; every text the operator log
// took is kept in order.
#pragma once

#include <span>
#include <sstream>
#include <string>
#include <string_view>

#include "app/burner_app.h"
#include "headless/headless_host.h"
#include "clocks/virtual_clock.h"
#include "reply_spooler.h"

namespace orlax::fuzz {

inline headless::ScriptAction Click(int id) {
    return {headless::ScriptAction::Kind::Click, id, {}, "click " + std::to_string(id)};
}

// No data root: device files cannot be opened and no record can be written.
inline constexpr const char* kNoDataRoot = "/nonexistent-fuzz-data-root";

class FuzzSession {
public:
    FuzzSession(std::span<const std::uint8_t> reply, headless::Script script)
        : spooler(reply, clock),
          host(std::move(script), listOut, messageOut),
          app({spooler, clock, host}, app::AppConfig{kNoDataRoot}) {
        app.Log().SetAppendObserver([this](std::string_view text) { transcript += text; });
    }

    void Run() { app.InitInstance(); }
    bool Shows(std::string_view text) const { return transcript.find(text) != std::string::npos; }

    clocks::VirtualClock clock;
    ReplySpooler spooler;
    std::ostringstream listOut, messageOut;
    headless::HeadlessHost host;
    app::CBurnerApp app;
    std::string transcript;
};

}  // namespace orlax::fuzz
