#include "links/usb/usb_link.h"

#include <libusb.h>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "links/usb/claimed_printer.h"
#include "links/usb/device_id.h"
#include "links/usb/printer_interface.h"

namespace orlax::links::usb {
namespace {

// A whole number of packets at every speed (64 and 512 bytes), more than 1000.
constexpr std::size_t kReplyReadSize = 1024;

std::string ErrorText(int code) { return libusb_error_name(code); }

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
            const std::optional<Identity> identity = ReadIdentity(candidate.device, claim, candidate.printer, deadline);
            if (!identity) {
                if (!obstacle) obstacle = Failure(LinkResult::NoReply, Where(candidate.device) + ": no device ID");
                continue;
            }
            state_->seen[candidate.place] = identity->uri;
            if (!Names(unit, identity->uri)) continue;
        }
        return Exchange(candidate.device, claim, candidate.printer, request, deadline, reply);
    }
    if (obstacle) return *obstacle;
    return Failure(LinkResult::NotAttached, "no attached USB printer is " + FormatUsbUri(unit));
}

}  // namespace orlax::links::usb
