// The printer interface of a USB device, found in its configuration
// descriptors: interface class 7 (printer), the alternate setting with
// protocol 2 (bidirectional) that has a bulk OUT and a bulk IN endpoint.
#pragma once

#include <libusb.h>

#include <cstdint>
#include <optional>

namespace orlax::links::usb {

inline constexpr std::uint8_t kPrinterClass = 7;
inline constexpr std::uint8_t kBidirectionalProtocol = 2;

struct PrinterInterface {
    int configIndex = 0;  // the active configuration's index, for GET_DEVICE_ID
    int number = 0;       // bInterfaceNumber
    int alternate = 0;    // bAlternateSetting
    std::uint8_t out = 0;  // bulk OUT endpoint address
    std::uint8_t in = 0;   // bulk IN endpoint address

    bool operator==(const PrinterInterface&) const = default;
};

// The device's first bidirectional printer interface, or the one numbered
// `only` when given; nullopt when it has none.
std::optional<PrinterInterface> FindPrinterInterface(libusb_device* device, std::optional<int> only);

// The same in one configuration descriptor.
std::optional<PrinterInterface> FindPrinterInterface(const libusb_config_descriptor& config, std::optional<int> only);

}  // namespace orlax::links::usb
