// The application over a given spooler and clock, without a window: what
// a benchmark needs to call the device link and the operations directly.
#pragma once

#include <sstream>
#include <string>

#include "app/burner_app.h"
#include "headless/headless_host.h"

namespace orlax::bench {

class LinkSession {
public:
    LinkSession(platform::Spooler& spooler, platform::Clock& clock, const std::string& queue,
                const std::string& dataRoot = "/nonexistent-data-root")
        : host({}, listOut_, messageOut_), app({spooler, clock, host}, app::AppConfig{dataRoot}) {
        app.PrinterName() = queue;
    }

    device::DeviceLink& Link() { return app.Link(); }

private:
    std::ostringstream listOut_, messageOut_;

public:
    headless::HeadlessHost host;
    app::CBurnerApp app;
};

}  // namespace orlax::bench
