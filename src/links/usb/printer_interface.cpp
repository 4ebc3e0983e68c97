#include "links/usb/printer_interface.h"

#include <memory>

namespace orlax::links::usb {
namespace {

struct ConfigFree {
    void operator()(libusb_config_descriptor* config) const { libusb_free_config_descriptor(config); }
};
using ConfigPtr = std::unique_ptr<libusb_config_descriptor, ConfigFree>;

std::optional<PrinterInterface> FromSetting(const libusb_interface_descriptor& setting) {
    if (setting.bInterfaceClass != kPrinterClass || setting.bInterfaceProtocol != kBidirectionalProtocol)
        return std::nullopt;
    PrinterInterface found{0, setting.bInterfaceNumber, setting.bAlternateSetting, 0, 0};
    for (int e = 0; e < setting.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
        if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) continue;
        std::uint8_t& slot = (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN) ? found.in : found.out;
        if (slot == 0) slot = endpoint.bEndpointAddress;
    }
    if (found.in == 0 || found.out == 0) return std::nullopt;
    return found;
}

}  // namespace

std::optional<PrinterInterface> FindPrinterInterface(const libusb_config_descriptor& config,
                                                     std::optional<int> only) {
    for (int i = 0; i < config.bNumInterfaces; ++i) {
        const libusb_interface& interface = config.interface[i];
        for (int a = 0; a < interface.num_altsetting; ++a) {
            const libusb_interface_descriptor& setting = interface.altsetting[a];
            if (only && setting.bInterfaceNumber != *only) continue;
            if (auto found = FromSetting(setting)) return found;
        }
    }
    return std::nullopt;
}

std::optional<PrinterInterface> FindPrinterInterface(libusb_device* device, std::optional<int> only) {
    libusb_config_descriptor* raw = nullptr;
    if (libusb_get_active_config_descriptor(device, &raw) != 0 || !raw) return std::nullopt;
    const ConfigPtr active(raw);
    std::optional<PrinterInterface> found = FindPrinterInterface(*active, only);
    if (!found) return std::nullopt;
    // GET_DEVICE_ID names the configuration by its index.
    libusb_device_descriptor device_descriptor{};
    if (libusb_get_device_descriptor(device, &device_descriptor) == 0) {
        for (int index = 0; index < device_descriptor.bNumConfigurations; ++index) {
            libusb_config_descriptor* other = nullptr;
            if (libusb_get_config_descriptor(device, static_cast<std::uint8_t>(index), &other) != 0 || !other) continue;
            const ConfigPtr config(other);
            if (config->bConfigurationValue == active->bConfigurationValue) {
                found->configIndex = index;
                break;
            }
        }
    }
    return found;
}

}  // namespace orlax::links::usb
