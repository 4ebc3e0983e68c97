// The status query of the tool over the CUPS spooler: the same texts as over
// the emulated spooler, for a unit that answers, one that is not there, one
// that answers nothing and a queue that does not exist.
#include <gtest/gtest.h>

#include <sstream>

#include "app/burner_app.h"
#include "emulator/device_model.h"
#include "headless/headless_host.h"
#include "clocks/virtual_clock.h"
#include "cups/cups_spooler.h"
#include "cups/fake_queue_service.h"
#include "support/loopback_unit.h"
#include "platform/forwarding_spooler.h"
#include "platform/spooler_errors.h"
#include "support/session.h"

namespace orlax::cups {
namespace {

using testing::ClosedPort;
using testing::FakeQueueService;
using testing::LoopbackUnit;
using namespace std::chrono_literals;

constexpr int kQueueSelector = 1001;
constexpr int kGetStatus = 1012;
constexpr std::uint32_t kReadTimeMs = 100;

headless::Script GetStatusOn(const std::string& queue) {
    return {orlax::testing::Type(kQueueSelector, queue), orlax::testing::Leave(kQueueSelector),
            orlax::testing::Click(kGetStatus)};
}

// The CUPS spooler on a virtual clock that moves 100 ms at every status
// read, so that the query's 2000 ms take 21 reads whatever the unit does.
class TimedReads final : public platform::ForwardingSpooler {
public:
    TimedReads(platform::Spooler& spooler, clocks::VirtualClock& clock) : ForwardingSpooler(spooler), clock_(clock) {}
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view valueName, std::uint32_t* type,
                                 std::span<std::uint8_t> buffer, std::uint32_t* needed) override {
        clock_.Advance(kReadTimeMs);
        return ForwardingSpooler::GetPrinterData(handle, valueName, type, buffer, needed);
    }

private:
    clocks::VirtualClock& clock_;
};

// The tool's main window over the CUPS spooler, one queue "unit" whose
// device URI the test gives.
class CupsSession {
public:
    explicit CupsSession(const std::string& deviceUri)
        : cups_(MakeService(deviceUri), StatusTimes{20ms, 60000ms, 0ms}, JobTimes{},
                LockOptions{.folder = {}, .wait = {}, .program = {}}),  // its own queue: no lock
          spooler_(cups_, clock_),
          host_({}, listOut_, messageOut_),
          app_({spooler_, clock_, host_}, app::AppConfig{"/nonexistent-data-root"}) {}

    std::string Run(headless::Script script) {
        for (auto& action : script) host_.Append(std::move(action));
        app_.InitInstance();
        EXPECT_EQ(cups_.OpenHandles(), 0u);
        return std::string(app_.Log().LogText());
    }

private:
    static std::unique_ptr<QueueService> MakeService(const std::string& deviceUri) {
        auto service = std::make_unique<FakeQueueService>();
        service->queues = {{"unit", deviceUri}};
        return service;
    }

    clocks::VirtualClock clock_;
    CupsSpooler cups_;
    TimedReads spooler_;
    std::ostringstream listOut_, messageOut_;
    headless::HeadlessHost host_;
    app::CBurnerApp app_;
};

std::string Local(std::uint16_t port) { return "socket://127.0.0.1:" + std::to_string(port); }

std::string FailedQuery(std::uint32_t code) {
    return "Getting Printer Status !!\r\n" + std::string(2000 / kReadTimeMs + 1, '.') +
           "No Status Data Returned\r\nRead failed: GetLastError returned " + std::to_string(code) +
           "\r\n\r\nNo status returned !!\r\n";
}

TEST(GetStatusOverCups, ShowsTheSameDumpAndReportAsTheEmulatedUnit) {
    emulator::Scenario scenario = emulator::DefaultScenario();
    scenario.queues = {"unit"};
    scenario.record[protocol::field::leftBinOffset] = 0xFE;
    scenario.record[protocol::field::firmwareVersion] = '2';
    emulator::DeviceModel device(scenario);
    LoopbackUnit unit(LoopbackUnit::Reply(device.ReadStatus().bytes));

    orlax::testing::Session emulated(scenario);
    const std::string expected = emulated.Run(GetStatusOn("unit"));
    ASSERT_NE(expected.find("ORLAX PRO FIRMWARE VERSION"), std::string::npos) << expected;
    EXPECT_EQ(CupsSession(Local(unit.Port())).Run(GetStatusOn("unit")), expected);
}

TEST(GetStatusOverCups, GivesTheFailureTextsWhenNoStatusComes) {
    LoopbackUnit silent(LoopbackUnit::Silent());
    struct Case {
        const char* what;
        std::string deviceUri;
        std::string queue;
        std::string log;
    };
    const Case cases[] = {
        {"a stopped unit", Local(ClosedPort()), "unit", FailedQuery(platform::kErrorRefused)},
        {"a unit that answers nothing", Local(silent.Port()), "unit", FailedQuery(platform::kErrorTimedOut)},
        {"a queue whose device is neither a network nor a USB unit", "lpd://printer.example/queue", "unit",
         FailedQuery(platform::kErrorNoStatusPath)},
        {"an unknown queue", Local(ClosedPort()), "elsewhere",
         "Getting Printer Status !!\r\nPrinter Open Error !!\r\nNo status returned !!\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(CupsSession(c.deviceUri).Run(GetStatusOn(c.queue)), c.log) << c.what;
}

}  // namespace
}  // namespace orlax::cups
