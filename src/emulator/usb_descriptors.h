// What the emulated unit shows on the USB bus: a high-speed device with one
// configuration and one printer interface (class 7, subclass 1, protocol 2:
// bidirectional) with a bulk OUT and a bulk IN endpoint of 512-byte packets,
// its strings, and its IEEE 1284 device ID
// "MFG:Korvane;MDL:ORLAX PRO;CLS:PRINTER;SN:<serial>;".
//
// The vendor and product IDs, 1209:0001, are a test pair, not a real unit's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orlax::emulator::usb {

inline constexpr std::uint16_t kVendorId = 0x1209;
inline constexpr std::uint16_t kProductId = 0x0001;
inline constexpr std::uint8_t kConfigurationValue = 1;
inline constexpr std::uint8_t kPrinterInterface = 0;
inline constexpr std::uint8_t kBulkOut = 0x01;
inline constexpr std::uint8_t kBulkIn = 0x82;
inline constexpr std::size_t kMaxPacket = 512;
inline constexpr std::string_view kManufacturer = "Korvane";
inline constexpr std::string_view kProduct = "ORLAX PRO";
inline constexpr std::string_view kDefaultSerial = "ORLAX0001";
inline constexpr std::size_t kMaxSerialLength = 64;

// Descriptor types, as GET_DESCRIPTOR names them.
enum DescriptorType : std::uint8_t {
    kDeviceType = 1,
    kConfigurationType = 2,
    kStringType = 3,
    kInterfaceType = 4,
    kEndpointType = 5,
};

enum StringIndex : std::uint8_t { kLanguages = 0, kManufacturerString = 1, kProductString = 2, kSerialString = 3 };

// The 18-byte device descriptor.
std::vector<std::uint8_t> DeviceDescriptor();
// The configuration descriptor with its interface and endpoint descriptors.
std::vector<std::uint8_t> ConfigurationDescriptor();
// String descriptor `index` (0: the language list, US English); empty when
// the unit has no such string.
std::vector<std::uint8_t> StringDescriptor(std::uint8_t index, std::string_view serial);

// The device ID text, and the reply to GET_DEVICE_ID: its length (big-endian,
// counting the two length bytes), then the text.
std::string DeviceIdText(std::string_view serial);
std::vector<std::uint8_t> DeviceIdReply(std::string_view serial);

// Whether `serial` can be the unit's serial number: 1 to 64 printable ASCII
// characters, none of them ':' or ';' (they would break the device ID).
bool IsValidSerial(std::string_view serial);

}  // namespace orlax::emulator::usb
