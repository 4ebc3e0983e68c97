// IEEE 1284 device IDs as devices write them, and the CUPS URI each names.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "links/usb/device_id.h"
#include "links/usb/usb_uri.h"

namespace orlax::links::usb {
namespace {

struct IdCase {
    const char* name;
    std::string id;
    std::string usbSerial;  // the USB serial-number string
    int interface;
    std::string uri;        // the URI CUPS's usb backend would give
};

const std::vector<IdCase> kIdCases = {
    {"the unit", "MFG:Korvane;MDL:ORLAX PRO;CLS:PRINTER;SN:ORLAX0001;", "", 0,
     "usb://Korvane/ORLAX%20PRO?serial=ORLAX0001"},
    {"keys in another order", "CLS:PRINTER;SN:X1;MDL:ORLAX PRO;MFG:Korvane;", "", 0,
     "usb://Korvane/ORLAX%20PRO?serial=X1"},
    {"long forms win over short ones", "MFG:K;MANUFACTURER:Korvane;MDL:M;MODEL:ORLAX PRO;SERIALNUMBER:S9;SN:S1;", "",
     0, "usb://Korvane/ORLAX%20PRO?serial=S9"},
    {"SERN before SN", "MFG:A;MDL:B;SN:1;SERN:2;", "", 0, "usb://A/B?serial=2"},
    {"lowercase keys", "mfg:Korvane;mdl:ORLAX PRO;sn:abc;", "", 0, "usb://Korvane/ORLAX%20PRO?serial=abc"},
    {"spaces around keys and values", "  MFG : Korvane ;  MDL:  ORLAX PRO  ; SN: 7 ;", "", 0,
     "usb://Korvane/ORLAX%20PRO?serial=7"},
    {"no SN: the USB serial string", "MFG:Korvane;MDL:ORLAX PRO;", "USB42", 0, "usb://Korvane/ORLAX%20PRO?serial=USB42"},
    {"no serial at all", "MFG:Korvane;MDL:ORLAX PRO;", "", 0, "usb://Korvane/ORLAX%20PRO"},
    {"an empty SN counts as none", "MFG:Korvane;MDL:ORLAX PRO;SN:;", "U1", 0, "usb://Korvane/ORLAX%20PRO?serial=U1"},
    {"last pair without ';' and trailing garbage", "MFG:Korvane;garbage;MDL:ORLAX PRO;;;SN:Z", "", 0,
     "usb://Korvane/ORLAX%20PRO?serial=Z"},
    {"model repeating the make", "MFG:Korvane;MDL:Korvane ORLAX PRO;SN:1;", "", 0,
     "usb://Korvane/ORLAX%20PRO?serial=1"},
    {"no make: the model's first word", "MDL:Korvane ORLAX;SN:1;", "", 0, "usb://Korvane/ORLAX?serial=1"},
    {"neither make nor model", "CLS:PRINTER;", "", 0, "usb://Unknown/Printer"},
    {"reserved characters encoded", "MFG:A/B;MDL:X?Y#Z;SN:1&2=3;", "", 0, "usb://A%2FB/X%3FY%23Z?serial=1%262%3D3"},
    {"bytes that are not text dropped", "MFG:Kor\x01vane;MDL:ORLAX\x7F PRO;SN:9\xC3\xA9;", "", 0,
     "usb://Korvane/ORLAX%20PRO?serial=9"},
    {"text after a NUL ignored", std::string("MFG:A;MDL:B;\0SN:1;", 18), "", 0, "usb://A/B"},
    {"a second interface is named", "MFG:A;MDL:B;SN:1;", "", 1, "usb://A/B?serial=1&interface=1"},
    {"no pairs at all", "", "", 0, "usb://Unknown/Printer"},
};

TEST(DeviceIdTest, NamesTheDeviceAsCupsDoes) {
    for (const IdCase& c : kIdCases) {
        SCOPED_TRACE(c.name);
        const UsbUri uri = UriOfDevice(DeviceId(c.id), c.usbSerial, c.interface);
        EXPECT_EQ(FormatUsbUri(uri), c.uri);
        // The queue's URI, read back, names the device.
        const std::optional<UsbUri> parsed = ParseUsbUri(c.uri);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, uri);
        EXPECT_TRUE(Names(*parsed, uri));
    }
}

struct ReplyCase {
    const char* name;
    std::vector<std::uint8_t> reply;
    std::optional<std::string> id;
};

std::vector<std::uint8_t> Bytes(std::initializer_list<int> head, const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (const int b : head) bytes.push_back(static_cast<std::uint8_t>(b));
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

TEST(DeviceIdTest, TakesTheTextOutOfTheClassRequestsReply) {
    const std::vector<ReplyCase> cases = {
        {"big-endian length", Bytes({0, 8}, "MFG:A;xyz"), "MFG:A;"},
        {"little-endian length", Bytes({8, 0}, "MFG:A;xyz"), "MFG:A;"},
        {"length past the reply: as far as it goes", Bytes({0x7F, 0x7F}, "MFG:A;"), "MFG:A;"},
        {"length shorter than itself", Bytes({0, 1}, "MFG:A;"), "MFG:A;"},
        {"a NUL ends it", Bytes({0, 10}, std::string("MFG:A\0B;", 8)), "MFG:A"},
        {"only the length", Bytes({0, 2}, ""), ""},
        {"shorter than the length field", Bytes({0}, ""), std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DeviceIdFromReply(c.reply), c.id);
    }
}

TEST(DeviceIdTest, KeepsAtMostItsLongestId) {
    const std::string id = "MFG:A;MDL:B;" + std::string(3 * kMaxDeviceIdLength, 'x') + ";SN:1;";
    EXPECT_FALSE(DeviceId(id).Serial());
    std::vector<std::uint8_t> reply = Bytes({0xFF, 0xFF}, std::string(70000, 'y'));
    EXPECT_EQ(DeviceIdFromReply(reply)->size(), kMaxDeviceIdLength);
}

}  // namespace
}  // namespace orlax::links::usb
