// Queue URIs of USB units: which are well formed, and which device each names.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "links/usb/usb_uri.h"

namespace orlax::links::usb {
namespace {

struct ParseCase {
    std::string uri;
    std::optional<UsbUri> parsed;
};

TEST(UsbUriTest, ParsesTheQueuesUri) {
    const std::vector<ParseCase> cases = {
        {"usb://Korvane/ORLAX%20PRO?serial=ORLAX0001", UsbUri{"Korvane", "ORLAX PRO", "ORLAX0001", std::nullopt}},
        {"USB://Korvane/ORLAX%20PRO", UsbUri{"Korvane", "ORLAX PRO", std::nullopt, std::nullopt}},
        {"usb://A/B?serial=S%201&interface=2", UsbUri{"A", "B", "S 1", 2}},
        {"usb://A/B?interface=0&serial=S", UsbUri{"A", "B", "S", 0}},
        {"usb://A/B?serial=S&waiteof=false#frag", UsbUri{"A", "B", "S", std::nullopt}},
        {"usb://a%2Fb/B", UsbUri{"a/b", "B", std::nullopt, std::nullopt}},
        {"usb://A", std::nullopt},                       // no model
        {"usb:///B", std::nullopt},                      // no make
        {"usb://A/", std::nullopt},
        {"usb://A/B%2", std::nullopt},                   // a cut escape
        {"usb://A/B%zz", std::nullopt},
        {"usb://A/B?serial=", std::nullopt},
        {"usb://A/B?interface=256", std::nullopt},
        {"usb://A/B?interface=-1", std::nullopt},
        {"usb://A/B?interface=1x", std::nullopt},
        {"socket://A/B", std::nullopt},
        {"usb:/A/B", std::nullopt},
        {"", std::nullopt},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.uri);
        EXPECT_EQ(ParseUsbUri(c.uri), c.parsed);
    }
}

struct NamesCase {
    const char* name;
    std::string wanted;
    UsbUri device;
    bool names;
};

TEST(UsbUriTest, NamesOnlyTheDeviceItSays) {
    const UsbUri unit{"Korvane", "ORLAX PRO", "ORLAX0001", std::nullopt};
    const std::vector<NamesCase> cases = {
        {"the same unit", "usb://Korvane/ORLAX%20PRO?serial=ORLAX0001", unit, true},
        {"make and model in another case", "usb://KORVANE/orlax%20pro?serial=ORLAX0001", unit, true},
        {"another serial", "usb://Korvane/ORLAX%20PRO?serial=ORLAX0002", unit, false},
        {"a serial in another case", "usb://Korvane/ORLAX%20PRO?serial=orlax0001", unit, false},
        {"no serial: any unit of the model", "usb://Korvane/ORLAX%20PRO", unit, true},
        {"another model", "usb://Korvane/ORLAX?serial=ORLAX0001", unit, false},
        {"another make", "usb://Other/ORLAX%20PRO?serial=ORLAX0001", unit, false},
        {"interface 0 is the default", "usb://Korvane/ORLAX%20PRO?serial=ORLAX0001&interface=0", unit, true},
        {"another interface", "usb://Korvane/ORLAX%20PRO?serial=ORLAX0001&interface=1", unit, false},
        {"the device's second interface", "usb://Korvane/ORLAX%20PRO?serial=ORLAX0001&interface=1",
         UsbUri{"Korvane", "ORLAX PRO", "ORLAX0001", 1}, true},
    };
    for (const NamesCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<UsbUri> wanted = ParseUsbUri(c.wanted);
        ASSERT_TRUE(wanted);
        EXPECT_EQ(Names(*wanted, c.device), c.names);
    }
}

}  // namespace
}  // namespace orlax::links::usb
