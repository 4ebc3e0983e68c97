// orlax-station add over a station of stand-ins: which queue it asks CUPS
// for, whether it marks the unit for prompt delivery, and that without the
// rights it changes nothing and prints what an administrator would run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "cups/fake_queue_service.h"
#include "cups/prompt_delivery.h"
#include "station/station.h"

namespace orlax::station {
namespace {

namespace fs = std::filesystem;

struct FakeAdmin final : cups::QueueAdmin {
    std::optional<cups::ServiceError> refuse;
    std::vector<std::pair<std::string, std::string>> set;  // name, URI
    bool Reachable(cups::ServiceError&) override { return true; }
    bool SetRawQueue(const std::string& name, const std::string& uri, cups::ServiceError& error) override {
        if (refuse) {
            error = *refuse;
            return false;
        }
        set.emplace_back(name, uri);
        return true;
    }
};

links::usb::AttachedPrinter Printer(const char* deviceId, const char* serial, std::uint16_t product) {
    links::usb::AttachedPrinter printer;
    printer.bus = 1;
    printer.address = product;
    printer.vendor = 0x1209;
    printer.product = product;
    links::usb::DeviceId id(deviceId);
    links::usb::UsbUri uri = links::usb::UriOfDevice(id, serial, 0);
    printer.identity = links::usb::Identity{std::move(id), std::move(uri)};
    return printer;
}

TEST(StationAdd, SetsTheQueueUpOrSaysWhatAnAdministratorWouldRun) {
    const links::usb::AttachedPrinter unit = Printer("MFG:Korvane;MDL:ORLAX PRO;SN:A;", "", 1);
    const links::usb::AttachedPrinter other = Printer("MFG:Acme;MDL:Jet 5;SN:B;", "", 2);
    const links::usb::AttachedPrinter second = Printer("mfg:KORVANE;mdl:orlax pro;", "C", 3);
    struct Case {
        const char* name;
        std::vector<links::usb::AttachedPrinter> attached;
        std::optional<std::string> uri;
        bool refused;
        int exit;
        const char* queueUri;  // what CUPS was asked for; "" for nothing
        bool quirk;            // 1209:0001 marked afterwards
        const char* said;      // in stdout or stderr
    };
    const std::vector<Case> cases = {
        {"the one unit attached", {other, unit}, std::nullopt, false, kExitOk,
         "usb://Korvane/ORLAX%20PRO?serial=A", true, "marked for prompt delivery"},
        {"a network unit", {}, "socket://10.1.1.5", false, kExitOk, "socket://10.1.1.5/?waiteof=false", false,
         "status: fine"},
        {"no rights", {unit}, std::nullopt, true, kExitFailed, "", false,
         "  lpadmin -p q -E -v 'usb://Korvane/ORLAX%20PRO?serial=A' -m raw\n  echo '0x1209 0x0001 unidir' >> '"},
        {"not an ORLAX PRO", {other}, "usb://Acme/Jet%205?serial=B", false, kExitFailed, "usb://Acme/Jet%205?serial=B",
         false, "not an ORLAX PRO"},
        {"two units", {unit, second}, std::nullopt, false, kExitFailed, "", false, "2 ORLAX PRO units are attached"},
        {"no unit", {other}, std::nullopt, false, kExitFailed, "", false, "no ORLAX PRO is attached"},
        {"a URI without status", {}, "ipp://h/printers/x", false, kExitUsage, "", false, "socket://HOST:PORT"},
        {"a malformed socket URI", {}, "socket://", false, kExitUsage, "", false, "is not a socket://"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = fs::temp_directory_path() / ("orlax_station_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        testing::FakeQueueService queues;
        FakeAdmin admin;
        if (c.refused) admin.refuse = cups::ServiceError{1026, "Forbidden"};
        std::ostringstream out, err;
        Station station{queues,
                        admin,
                        [&](std::vector<links::usb::AttachedPrinter>& printers, std::string&) {
                            printers = c.attached;
                            return true;
                        },
                        [](const std::string&) { return StatusProbe{true, "fine"}; },
                        folder.string(),
                        "/",
                        out,
                        err};
        EXPECT_EQ(Add(station, "q", c.uri), c.exit) << out.str() << err.str();
        const std::string queueUri = admin.set.empty() ? "" : admin.set.front().second;
        EXPECT_EQ(queueUri, c.queueUri);
        EXPECT_EQ(cups::MarksUnidir(folder.string(), 0x1209, 0x0001), c.quirk);
        EXPECT_NE((out.str() + err.str()).find(c.said), std::string::npos) << out.str() << err.str();
        fs::remove_all(folder);
    }
}

TEST(StationAdd, RefusesWhatIsNoQueueName) {
    testing::FakeQueueService queues;
    FakeAdmin admin;
    std::ostringstream out, err;
    Station station{queues, admin, nullptr, nullptr, "/nowhere", "/", out, err};
    for (const char* name : {"", "a b", "a/b", "a#b"}) EXPECT_EQ(Add(station, name, "socket://h"), kExitUsage) << name;
    EXPECT_TRUE(admin.set.empty());
}

}  // namespace
}  // namespace orlax::station
