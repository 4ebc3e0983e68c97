#include "links/usb/attached_printers.h"

#include <libusb.h>

#include <chrono>
#include <memory>

#include "util/format.h"

namespace orlax::links::usb {
namespace {

constexpr std::chrono::milliseconds kIdentityTime{1000};

struct ContextExit {
    void operator()(libusb_context* context) const { libusb_exit(context); }
};
struct DeviceListFree {
    void operator()(libusb_device** list) const { libusb_free_device_list(list, 1); }
};

std::string ClaimProblem(int code) {
    switch (code) {
        case LIBUSB_ERROR_ACCESS: return "no permission to open it (see the udev rule)";
        case LIBUSB_ERROR_BUSY: return "its printer interface is held by another program (CUPS delivering a job?)";
        case LIBUSB_ERROR_NO_DEVICE: return "unplugged";
        default: return libusb_error_name(code);
    }
}

AttachedPrinter Look(libusb_device* device, const PrinterInterface& printer) {
    AttachedPrinter found;
    found.bus = libusb_get_bus_number(device);
    found.address = libusb_get_device_address(device);
    found.deviceFile = util::FormatCut(32, "/dev/bus/usb/%03d/%03d", found.bus, found.address);
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) == 0) {
        found.vendor = descriptor.idVendor;
        found.product = descriptor.idProduct;
    }
    Claim claim;
    if (const int result = claim.Take(device, printer.number); result != 0) {
        found.problem = ClaimProblem(result);
        return found;
    }
    found.identity = ReadIdentity(device, claim, printer, std::chrono::steady_clock::now() + kIdentityTime);
    if (!found.identity) found.problem = "it gave no device ID";
    return found;
}

}  // namespace

std::string VendorProduct(std::uint16_t vendor, std::uint16_t product) {
    return util::FormatCut(16, "%04x:%04x", unsigned{vendor}, unsigned{product});
}

bool ListAttachedPrinters(std::vector<AttachedPrinter>& printers, std::string& error) {
    printers.clear();
    libusb_context* raw = nullptr;
    if (const int result = libusb_init(&raw); result != 0) {
        error = std::string("libusb cannot start: ") + libusb_error_name(result);
        return false;
    }
    const std::unique_ptr<libusb_context, ContextExit> context(raw);
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context.get(), &list);
    if (count < 0) {
        error = std::string("cannot list USB devices: ") + libusb_error_name(static_cast<int>(count));
        return false;
    }
    const std::unique_ptr<libusb_device*, DeviceListFree> devices(list);
    for (ssize_t i = 0; i < count; ++i) {
        const std::optional<PrinterInterface> printer = FindPrinterInterface(list[i], std::nullopt);
        if (printer) printers.push_back(Look(list[i], *printer));
    }
    return true;
}

}  // namespace orlax::links::usb
