#include "emulator/usb_descriptors.h"

#include <algorithm>

namespace orlax::emulator::usb {
namespace {

constexpr std::uint8_t kBulk = 2;
constexpr std::uint16_t kUsEnglish = 0x0409;

std::uint8_t Low(std::size_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t High(std::size_t value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }

std::vector<std::uint8_t> Endpoint(std::uint8_t address) {
    return {7, kEndpointType, address, kBulk, Low(kMaxPacket), High(kMaxPacket), 0};
}

}  // namespace

std::vector<std::uint8_t> DeviceDescriptor() {
    return {18,   kDeviceType, 0x00, 0x02,  // USB 2.0
            0,    0,           0,           // class given per interface
            64,                             // control endpoint packet size
            Low(kVendorId), High(kVendorId), Low(kProductId), High(kProductId),
            0x00, 0x01,                     // device release 1.00
            kManufacturerString, kProductString, kSerialString,
            1};                             // one configuration
}

std::vector<std::uint8_t> ConfigurationDescriptor() {
    std::vector<std::uint8_t> config{9, kConfigurationType, 0, 0, 1, kConfigurationValue, 0, 0xC0, 1,
                                     // the printer interface: class 7, subclass 1, protocol 2
                                     9, kInterfaceType, kPrinterInterface, 0, 2, 7, 1, 2, 0};
    for (const std::uint8_t address : {kBulkOut, kBulkIn})
        for (const std::uint8_t b : Endpoint(address)) config.push_back(b);
    config[2] = Low(config.size());
    config[3] = High(config.size());
    return config;
}

std::vector<std::uint8_t> StringDescriptor(std::uint8_t index, std::string_view serial) {
    if (index == kLanguages) return {4, kStringType, Low(kUsEnglish), High(kUsEnglish)};
    std::string_view text;
    switch (index) {
        case kManufacturerString: text = kManufacturer; break;
        case kProductString: text = kProduct; break;
        case kSerialString: text = serial; break;
        default: return {};
    }
    std::vector<std::uint8_t> descriptor{Low(2 + 2 * text.size()), kStringType};
    for (const char c : text) {
        descriptor.push_back(static_cast<std::uint8_t>(c));
        descriptor.push_back(0);
    }
    return descriptor;
}

std::string DeviceIdText(std::string_view serial) {
    return "MFG:" + std::string(kManufacturer) + ";MDL:" + std::string(kProduct) + ";CLS:PRINTER;SN:" +
           std::string(serial) + ";";
}

std::vector<std::uint8_t> DeviceIdReply(std::string_view serial) {
    const std::string text = DeviceIdText(serial);
    const std::size_t length = text.size() + 2;
    std::vector<std::uint8_t> reply;
    reply.reserve(length);
    reply.push_back(High(length));
    reply.push_back(Low(length));
    for (const char c : text) reply.push_back(static_cast<std::uint8_t>(c));
    return reply;
}

bool IsValidSerial(std::string_view serial) {
    return !serial.empty() && serial.size() <= kMaxSerialLength && std::all_of(serial.begin(), serial.end(), [](char c) {
               return c >= 0x20 && c < 0x7F && c != ':' && c != ';';
           });
}

}  // namespace orlax::emulator::usb
