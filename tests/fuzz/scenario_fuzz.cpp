// Any text as a scenario file. A text that is refused gets a one-line
// message and leaves the scenario as it was; a text that is taken gives a
// scenario within its ranges, on which the emulated unit answers a status
// query with nothing left open.
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "app/burner_app.h"
#include "app/burner_dlg.h"
#include "emulator/emulated_unit_spooler.h"
#include "emulator/scenario.h"
#include "fuzz_check.h"
#include "headless/headless_host.h"
#include "clocks/virtual_clock.h"

namespace orlax::fuzz {
namespace {

using emulator::Scenario;

bool SameScenario(const Scenario& a, const Scenario& b) {
    return a.queues == b.queues && a.record == b.record && a.busyPolls == b.busyPolls &&
           a.replies == b.replies && a.faults == b.faults;
}

// A scenario unlike the default one in every part, to see that a refused
// text changes none of it.
Scenario Marked() {
    Scenario s = emulator::DefaultScenario();
    s.queues = {"marked"};
    s.record.fill(0xA5);
    s.busyPolls = 7;
    s.replies = {{emulator::ReplyKind::Length, 77}};
    s.faults.endDoc = true;
    return s;
}

void CheckGetStatus(const Scenario& scenario) {
    clocks::VirtualClock clock;
    emulator::EmulatedUnitSpooler spooler(scenario, &clock);  // with the scenario's faults
    std::ostringstream listOut, messageOut;
    const headless::ScriptAction click{
        headless::ScriptAction::Kind::Click, app::control::kGetStatus, {}, "get-status"};
    headless::HeadlessHost host({click}, listOut, messageOut);
    app::CBurnerApp app({spooler, clock, host}, app::AppConfig{"/nonexistent-fuzz-data-root"});
    std::string transcript;
    app.Log().SetAppendObserver([&](std::string_view text) { transcript += text; });
    app.InitInstance();
    FUZZ_CHECK(spooler.OpenHandles() == 0 && spooler.OpenJobs() == 0, "a queue handle or job was left open");
    FUZZ_CHECK(
        app.Outcome().AnyFailed() == (transcript.find("No status returned !!\r\n") != std::string::npos),
        "the outcome does not follow the query");
}

void CheckScenario(std::string_view text) {
    Scenario scenario = Marked();
    std::string error;
    if (!emulator::ParseScenario(text, scenario, error)) {
        FUZZ_CHECK(SameScenario(scenario, Marked()), "a refused scenario changed the one given");
        FUZZ_CHECK(!error.empty(), "refused without a message");
        FUZZ_CHECK(error.find_first_of("\r\n") == std::string::npos, "the message is not one line");
        return;
    }
    FUZZ_CHECK(scenario.busyPolls <= emulator::kMaxBusyPolls, "busy polls out of range");
    for (const auto& reply : scenario.replies)
        if (reply.kind == emulator::ReplyKind::Length)
            FUZZ_CHECK(
                reply.length >= emulator::kMinScriptedLength && reply.length <= emulator::kMaxReplyLength,
                "reply length out of range");
    CheckGetStatus(scenario);
}

}  // namespace
}  // namespace orlax::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orlax::fuzz::CheckScenario({reinterpret_cast<const char*>(data), size});
    return 0;
}
