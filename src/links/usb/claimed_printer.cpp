#include "links/usb/claimed_printer.h"

#include <algorithm>
#include <array>
#include <string>

namespace orlax::links::usb {
namespace {

// The class-specific request of printer-class devices for the device ID.
constexpr std::uint8_t kGetDeviceId = 0;
// Device to host, class request, to an interface.
constexpr std::uint8_t kGetDeviceIdType = 0xA1;
constexpr unsigned kMostControlMs = 1000;

}  // namespace

std::optional<unsigned> MsLeft(Deadline deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) return std::nullopt;
    return static_cast<unsigned>(left);
}

Claim::~Claim() {
    if (claimed_) libusb_release_interface(handle_, number_);
    if (detached_) libusb_attach_kernel_driver(handle_, number_);
    if (handle_) libusb_close(handle_);
}

int Claim::Take(libusb_device* device, int number) {
    int result = libusb_open(device, &handle_);
    if (result != 0) {
        handle_ = nullptr;
        return result;
    }
    number_ = number;
    if (libusb_kernel_driver_active(handle_, number) == 1) {
        result = libusb_detach_kernel_driver(handle_, number);
        if (result == 0)
            detached_ = true;
        else if (result != LIBUSB_ERROR_NOT_FOUND)
            return result;
    }
    result = libusb_claim_interface(handle_, number);
    if (result == 0) claimed_ = true;
    return result;
}

std::optional<Identity> ReadIdentity(libusb_device* device, const Claim& claim, const PrinterInterface& printer,
                                     Deadline deadline) {
    const std::optional<unsigned> left = MsLeft(deadline);
    if (!left) return std::nullopt;
    std::array<std::uint8_t, kMaxDeviceIdLength + 2> reply{};
    const int got = libusb_control_transfer(
        claim.Handle(), kGetDeviceIdType, kGetDeviceId, static_cast<std::uint16_t>(printer.configIndex),
        static_cast<std::uint16_t>((printer.number << 8) | printer.alternate), reply.data(),
        static_cast<std::uint16_t>(reply.size()), std::min(*left, kMostControlMs));
    if (got < 0) return std::nullopt;
    const std::optional<std::string> text =
        DeviceIdFromReply(std::span<const std::uint8_t>(reply.data(), static_cast<std::size_t>(got)));
    if (!text) return std::nullopt;
    DeviceId id(*text);

    std::string usbSerial;
    libusb_device_descriptor descriptor{};
    if (!id.Serial() && libusb_get_device_descriptor(device, &descriptor) == 0 && descriptor.iSerialNumber != 0) {
        std::array<unsigned char, 256> serial{};
        const int length = libusb_get_string_descriptor_ascii(claim.Handle(), descriptor.iSerialNumber, serial.data(),
                                                              static_cast<int>(serial.size()));
        if (length > 0) usbSerial.assign(serial.begin(), serial.begin() + length);
    }
    UsbUri uri = UriOfDevice(id, usbSerial, printer.number);
    return Identity{std::move(id), std::move(uri)};
}

}  // namespace orlax::links::usb
