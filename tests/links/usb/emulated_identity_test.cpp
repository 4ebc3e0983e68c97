// The emulated unit's device ID names it as the documented URI, whatever
// serial number it is given; what the emulator refuses as a serial.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator/usb_descriptors.h"
#include "links/usb/device_id.h"
#include "links/usb/usb_uri.h"

namespace orlax {
namespace {

TEST(EmulatedIdentityTest, TheDeviceIdGivesTheDocumentedUri) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ORLAX0001", "usb://Korvane/ORLAX%20PRO?serial=ORLAX0001"},
        {"BENCH 7", "usb://Korvane/ORLAX%20PRO?serial=BENCH%207"},
        {"a&b=c", "usb://Korvane/ORLAX%20PRO?serial=a%26b%3Dc"},
    };
    for (const auto& [serial, uri] : cases) {
        SCOPED_TRACE(serial);
        const auto text = links::usb::DeviceIdFromReply(emulator::usb::DeviceIdReply(serial));
        ASSERT_TRUE(text);
        EXPECT_EQ(*text, emulator::usb::DeviceIdText(serial));
        EXPECT_EQ(links::usb::FormatUsbUri(links::usb::UriOfDevice(links::usb::DeviceId(*text), "", 0)), uri);
    }
}

TEST(EmulatedIdentityTest, ASerialThatWouldBreakTheDeviceIdIsRefused) {
    for (const auto& [serial, valid] : std::vector<std::pair<std::string, bool>>{
             {"ORLAX0001", true}, {"A B", true}, {std::string(64, 'x'), true}, {"", false},
             {std::string(65, 'x'), false}, {"A;B", false}, {"A:B", false}, {"A\nB", false}, {"\xC3\xA9", false}})
        EXPECT_EQ(emulator::usb::IsValidSerial(serial), valid) << serial;
}

}  // namespace
}  // namespace orlax
