// How long the tool's status query takes over the CUPS spooler, on the real
// clock, against a unit that answers, one that is not there (refuses), one
// that takes no connection, one that accepts and answers nothing, and one
// whose reply never ends. The
// query's budget is 2000 ms: a dead unit should cost that and no more.
//
//   orlax_spooler_bench [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/burner_app.h"
#include "emulator/device_model.h"
#include "headless/headless_host.h"
#include "clocks/real_clock.h"
#include "cups/cups_spooler.h"
#include "cups/fake_queue_service.h"
#include "support/loopback_unit.h"

namespace {

using namespace orlax;
using Clock = std::chrono::steady_clock;

constexpr int kQueueSelector = 1001;
constexpr int kGetStatus = 1012;

struct Run {
    double ms;
    std::string log;
};

Run GetStatus(const std::string& deviceUri) {
    auto service = std::make_unique<testing::FakeQueueService>();
    service->queues = {{"unit", deviceUri}};
    cups::CupsSpooler cups(std::move(service));
    clocks::RealClock clock;
    std::ostringstream listOut, messageOut;
    headless::Script script{{headless::ScriptAction::Kind::Type, kQueueSelector, "unit", "queue unit"},
                            {headless::ScriptAction::Kind::Leave, kQueueSelector, {}, "queue unit"}};
    headless::HeadlessHost host(std::move(script), listOut, messageOut);
    app::CBurnerApp app({cups, clock, host}, app::AppConfig{"/nonexistent-data-root"});
    Run run;
    host.SetOnFirstWindowReady([&] {
        host.Append({headless::ScriptAction::Kind::Click, kGetStatus, {}, "get-status"});
        app.Log().SetAppendObserver([&](std::string_view) {});
    });
    const auto start = Clock::now();
    app.InitInstance();
    run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    run.log = std::string(app.Log().LogText());
    return run;
}

std::string Local(std::uint16_t port) { return "socket://127.0.0.1:" + std::to_string(port); }

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    emulator::DeviceModel device(emulator::DefaultScenario());
    testing::LoopbackUnit healthy(testing::LoopbackUnit::Reply(device.ReadStatus().bytes));
    testing::LoopbackUnit silent(testing::LoopbackUnit::Silent());
    // A reply that starts and never ends: one byte, then silence.
    testing::LoopbackUnit stalled([](int fd, int stopFd) {
        const std::uint8_t first = 0x1B;
        ::send(fd, &first, 1, MSG_NOSIGNAL);
        testing::LoopbackUnit::Silent()(fd, stopFd);
    });
    testing::UnreachableUnit unreachable;
    struct Case {
        const char* what;
        std::string uri;
    };
    const Case cases[] = {{"unit answers", Local(healthy.Port())},
                          {"unit refuses (stopped)", Local(testing::ClosedPort())},
                          {"unit unreachable", Local(unreachable.Port())},
                          {"unit answers nothing", Local(silent.Port())},
                          {"reply never ends", Local(stalled.Port())}};
    std::printf("%-24s %10s %10s %12s  %s\n", "status query", "min ms", "max ms", "failed reads", "result");
    for (const Case& c : cases) {
        double least = 1e12, most = 0;
        std::size_t reads = 0;
        bool ok = false;
        for (int i = 0; i < runs; ++i) {
            const Run run = GetStatus(c.uri);
            least = std::min(least, run.ms);
            most = std::max(most, run.ms);
            ok = run.log.find("ORLAX PRO FIRMWARE VERSION") != std::string::npos;
            reads = ok ? 0 : static_cast<std::size_t>(std::count(run.log.begin(), run.log.end(), '.'));
        }
        std::printf("%-24s %10.1f %10.1f %12zu  %s\n", c.what, least, most, reads,
                    ok ? "status read" : "no status (as expected for a dead unit)");
    }
    return 0;
}
