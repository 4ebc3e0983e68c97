#include "links/usb/usb_link.h"

#include <libusb.h>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "links/usb/device_id.h"
#include "links/usb/printer_interface.h"

namespace orlax::links::usb {
namespace {

using Clock = std::chrono::steady_clock;

// The class-specific request of printer-class devices for the device ID.
constexpr std::uint8_t kGetDeviceId = 0;
// Device to host, class request, to an interface.
constexpr std::uint8_t kGetDeviceIdType = 0xA1;
// A whole number of packets at every speed (64 and 512 bytes), more than 1000.
constexpr std::size_t kReplyReadSize = 1024;
constexpr unsigned kMostControlMs = 1000;

std::string ErrorText(int code) { return libusb_error_name(code); }

// Milliseconds left until the deadline, at least 1: libusb takes 0 as "no
// time-out", which must never happen here. nullopt once it has passed.
std::optional<unsigned> MsLeft(Deadline deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return std::nullopt;
    return static_cast<unsigned>(left);
}

std::string Where(libusb_device* device) {
    return "USB device " + std::to_string(libusb_get_bus_number(device)) + ":" +
           std::to_string(libusb_get_device_address(device));
}

// Where a device sits: its bus, port path and address. A device that is
// unplugged and plugged in again gets a new address.
using Place = std::vector<std::uint8_t>;

Place PlaceOf(libusb_device* device) {
    Place place{libusb_get_bus_number(device), libusb_get_device_address(device)};
    std::array<std::uint8_t, 8> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), static_cast<int>(ports.size()));
    if (depth > 0) place.insert(place.end(), ports.begin(), ports.begin() + depth);
    return place;
}

// The device opened with its printer interface claimed; released, its kernel
// driver re-attached and closed again whichever way the exchange ends.
class Claim {
public:
    Claim() = default;
    Claim(const Claim&) = delete;
    Claim& operator=(const Claim&) = delete;
    ~Claim() {
        if (claimed_) libusb_release_interface(handle_, number_);
        if (detached_) libusb_attach_kernel_driver(handle_, number_);
        if (handle_) libusb_close(handle_);
    }

    // 0 or a libusb error code.
    int Take(libusb_device* device, int number) {
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

    libusb_device_handle* Handle() const { return handle_; }

private:
    libusb_device_handle* handle_ = nullptr;
    int number_ = 0;
    bool claimed_ = false;
    bool detached_ = false;
};

Outcome FromClaimError(int code, libusb_device* device) {
    switch (code) {
        case LIBUSB_ERROR_ACCESS:
            return Failure(LinkResult::NoAccess, Where(device) + ": no permission to open it");
        case LIBUSB_ERROR_BUSY:
            return Failure(LinkResult::Busy, Where(device) + ": its printer interface is held by another program");
        case LIBUSB_ERROR_NO_DEVICE:
            return Failure(LinkResult::NotAttached, Where(device) + ": unplugged");
        default:
            return Failure(LinkResult::TransferFailed, Where(device) + ": " + ErrorText(code));
    }
}

// The device's URI from its device ID and serial-number string; nullopt when
// the device ID cannot be read.
std::optional<UsbUri> ReadIdentity(libusb_device* device, const Claim& claim, const PrinterInterface& printer,
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
    const DeviceId id(*text);

    std::string usbSerial;
    libusb_device_descriptor descriptor{};
    if (!id.Serial() && libusb_get_device_descriptor(device, &descriptor) == 0 && descriptor.iSerialNumber != 0) {
        std::array<unsigned char, 256> serial{};
        const int length = libusb_get_string_descriptor_ascii(claim.Handle(), descriptor.iSerialNumber, serial.data(),
                                                              static_cast<int>(serial.size()));
        if (length > 0) usbSerial.assign(serial.begin(), serial.begin() + length);
    }
    return UriOfDevice(id, usbSerial, printer.number);
}

Outcome FromTransferError(int code, libusb_device* device, const char* what, int transferred) {
    switch (code) {
        case LIBUSB_ERROR_TIMEOUT:
            return Failure(LinkResult::NoReply, Where(device) + ": " + what + " not finished in time (" +
                                                   std::to_string(transferred) + " bytes so far)");
        case LIBUSB_ERROR_NO_DEVICE:
            return Failure(LinkResult::NotAttached, Where(device) + ": unplugged during the exchange");
        case LIBUSB_ERROR_OVERFLOW:
            return Failure(LinkResult::ReplyTooLong,
                           Where(device) + ": reply longer than " + std::to_string(protocol::kMaxStatusReply) + " bytes");
        default:
            return Failure(LinkResult::TransferFailed, Where(device) + ": " + what + ": " + ErrorText(code));
    }
}

// The request out, the reply in, on the claimed interface.
Outcome Exchange(libusb_device* device, const Claim& claim, const PrinterInterface& printer,
                 const protocol::StatusRequest& request, Deadline deadline, ReplyBuffer& reply) {
    libusb_device_handle* handle = claim.Handle();
    int result = libusb_set_interface_alt_setting(handle, printer.number, printer.alternate);
    if (result != 0) return FromClaimError(result, device);

    std::optional<unsigned> left = MsLeft(deadline);
    if (!left) return Failure(LinkResult::NoReply, Where(device) + ": no time left for the request");
    protocol::StatusRequest packet = request;
    int sent = 0;
    result = libusb_bulk_transfer(handle, printer.out, packet.data(), static_cast<int>(packet.size()), &sent, *left);
    if (result != 0) {
        if (result == LIBUSB_ERROR_PIPE) libusb_clear_halt(handle, printer.out);
        return FromTransferError(result, device, "request", sent);
    }

    left = MsLeft(deadline);
    if (!left) return Failure(LinkResult::NoReply, Where(device) + ": no time left for the reply");
    std::array<std::uint8_t, kReplyReadSize> in{};
    int got = 0;
    result = libusb_bulk_transfer(handle, printer.in, in.data(), static_cast<int>(in.size()), &got, *left);
    if (result != 0) {
        if (result == LIBUSB_ERROR_PIPE) libusb_clear_halt(handle, printer.in);
        return FromTransferError(result, device, "reply", got);
    }
    const auto length = static_cast<std::size_t>(got);
    if (length > reply.size())
        return Failure(LinkResult::ReplyTooLong,
                       Where(device) + ": reply longer than " + std::to_string(protocol::kMaxStatusReply) + " bytes");
    std::copy_n(in.begin(), length, reply.begin());
    return {LinkResult::Ok, length, {}};
}

struct DeviceListFree {
    void operator()(libusb_device** list) const { libusb_free_device_list(list, 1); }
};

}  // namespace

struct UsbLink::State {
    libusb_context* context = nullptr;
    std::map<Place, UsbUri> seen;  // what each device turned out to be
    ~State() {
        if (context) libusb_exit(context);
    }
};

UsbLink::UsbLink() : state_(std::make_unique<State>()) {}
UsbLink::~UsbLink() = default;

Outcome UsbLink::ExchangeStatus(const UsbUri& unit, const protocol::StatusRequest& request, Deadline deadline,
                                ReplyBuffer& reply) {
    if (!state_->context) {
        const int result = libusb_init(&state_->context);
        if (result != 0) {
            state_->context = nullptr;
            return Failure(LinkResult::TransferFailed, "libusb cannot start: " + ErrorText(result));
        }
    }
    libusb_device** raw = nullptr;
    const ssize_t count = libusb_get_device_list(state_->context, &raw);
    if (count < 0) return Failure(LinkResult::TransferFailed, "cannot list USB devices: " + ErrorText(static_cast<int>(count)));
    const std::unique_ptr<libusb_device*, DeviceListFree> list(raw);

    // Devices known to be the unit first, then those not looked at yet.
    struct Candidate {
        libusb_device* device;
        PrinterInterface printer;
        Place place;
        bool known;
    };
    std::vector<Candidate> candidates;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device* device = raw[i];
        const std::optional<PrinterInterface> printer = FindPrinterInterface(device, unit.interface);
        if (!printer) continue;
        Place place = PlaceOf(device);
        const auto seen = state_->seen.find(place);
        if (seen != state_->seen.end() && !Names(unit, seen->second)) continue;
        candidates.push_back({device, *printer, std::move(place), seen != state_->seen.end()});
    }
    std::stable_partition(candidates.begin(), candidates.end(), [](const Candidate& c) { return c.known; });

    // Why no device was the unit, when one could not be looked at.
    std::optional<Outcome> obstacle;
    for (const Candidate& candidate : candidates) {
        Claim claim;
        const int result = claim.Take(candidate.device, candidate.printer.number);
        if (result != 0) {
            Outcome failure = FromClaimError(result, candidate.device);
            if (candidate.known) return failure;
            if (!obstacle || failure.result == LinkResult::Busy) obstacle = std::move(failure);
            continue;
        }
        if (!candidate.known) {
            const std::optional<UsbUri> identity = ReadIdentity(candidate.device, claim, candidate.printer, deadline);
            if (!identity) {
                if (!obstacle) obstacle = Failure(LinkResult::NoReply, Where(candidate.device) + ": no device ID");
                continue;
            }
            state_->seen[candidate.place] = *identity;
            if (!Names(unit, *identity)) continue;
        }
        return Exchange(candidate.device, claim, candidate.printer, request, deadline, reply);
    }
    if (obstacle) return *obstacle;
    return Failure(LinkResult::NotAttached, "no attached USB printer is " + FormatUsbUri(unit));
}

}  // namespace orlax::links::usb
