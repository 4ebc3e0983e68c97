#include "emulator/usb_unit.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "protocol/command_packet.h"
#include "emulator/usb_descriptors.h"

namespace orlax::emulator::usb {
namespace {

constexpr std::uint8_t kStandardIn = 0x80;
constexpr std::uint8_t kClassInterfaceIn = 0xA1;
constexpr std::uint8_t kClassInterfaceOut = 0x21;
constexpr std::uint8_t kGetStatus = 0;
constexpr std::uint8_t kGetDescriptor = 6;
constexpr std::uint8_t kGetConfiguration = 8;
constexpr std::uint8_t kGetDeviceId = 0;
constexpr std::uint8_t kGetPortStatus = 1;
constexpr std::uint8_t kSoftReset = 2;
// Selected, no error, paper in.
constexpr std::uint8_t kPortStatusReady = 0x18;
constexpr const char* kKernelDriver = "usblp";
constexpr const char* kProgramDriver = "usbfs";

Completion Fails(int error) { return {-error, {}}; }

Completion Sends(std::vector<std::uint8_t> bytes, std::size_t most) {
    bytes.resize(std::min(bytes.size(), most));
    return {0, std::move(bytes)};
}

}  // namespace

UsbUnit::UsbUnit(NetworkUnit& unit, std::string serial, UsbFaults faults)
    : unit_(unit), serial_(std::move(serial)), faults_(faults) {}

bool UsbUnit::Holds(ClientId client, int interface) const {
    return interface == kPrinterInterface && holder_ == client;
}

int UsbUnit::GetDriver(int interface, std::string& name) const {
    if (interface != kPrinterInterface) return EINVAL;
    if (holder_) {
        name = kProgramDriver;
        return 0;
    }
    if (!driverBound_) return ENODATA;
    name = kKernelDriver;
    return 0;
}

// A program's claim is not the kernel driver's to give away.
int UsbUnit::DetachDriver(ClientId, int interface) {
    if (interface != kPrinterInterface) return EINVAL;
    if (holder_) return EBUSY;
    if (!driverBound_) return ENODATA;
    driverBound_ = false;
    return 0;
}

int UsbUnit::AttachDriver(ClientId, int interface) {
    if (interface != kPrinterInterface) return EINVAL;
    if (holder_ || driverBound_) return EBUSY;
    driverBound_ = true;
    return 0;
}

int UsbUnit::Claim(ClientId client, int interface) {
    if (interface != kPrinterInterface) return ENOENT;
    if (holder_ == client) return 0;
    if (holder_ || driverBound_) return EBUSY;
    holder_ = client;
    return 0;
}

int UsbUnit::Release(ClientId client, int interface) {
    if (!Holds(client, interface)) return EINVAL;
    TakeJob();
    holder_ = nullptr;
    return 0;
}

int UsbUnit::SetAlternate(ClientId client, int interface, int alternate) {
    if (!Holds(client, interface)) return holder_ || driverBound_ ? EBUSY : EINVAL;
    return alternate == 0 ? 0 : EINVAL;
}

int UsbUnit::ClearHalt(ClientId, unsigned endpoint) {
    if (endpoint == kBulkIn) inHalted_ = false;
    return endpoint == kBulkIn || endpoint == kBulkOut ? 0 : EINVAL;
}

Completion UsbUnit::Control(ClientId client, std::span<const std::uint8_t, 8> setup, std::span<const std::uint8_t>) {
    const std::uint8_t type = setup[0];
    const std::uint8_t request = setup[1];
    const unsigned value = setup[2] | (setup[3] << 8);
    const unsigned index = setup[4] | (setup[5] << 8);
    const std::size_t length = setup[6] | (setup[7] << 8);

    if (type == kStandardIn && request == kGetConfiguration) return Sends({kConfigurationValue}, length);
    if (type == kStandardIn && request == kGetStatus) return Sends({0, 0}, length);
    if (type == kStandardIn && request == kGetDescriptor) {
        switch (value >> 8) {
            case kDeviceType: return Sends(DeviceDescriptor(), length);
            case kConfigurationType:
                if ((value & 0xFF) == 0) return Sends(ConfigurationDescriptor(), length);
                break;
            case kStringType: {
                std::vector<std::uint8_t> text = StringDescriptor(static_cast<std::uint8_t>(value & 0xFF), serial_);
                if (!text.empty()) return Sends(std::move(text), length);
                break;
            }
        }
        return Fails(EPIPE);
    }
    if (type == kClassInterfaceIn || type == kClassInterfaceOut) {
        // The printer class puts the interface in wIndex's high byte. The
        // kernel gives a program such a request only for an interface it holds.
        const int interface = static_cast<int>(index >> 8);
        if (interface != kPrinterInterface) return Fails(EPIPE);
        if (holder_ != client) {
            if (holder_ || driverBound_) return Fails(EBUSY);
            holder_ = client;
        }
        if (type == kClassInterfaceIn && request == kGetDeviceId) return Sends(DeviceIdReply(serial_), length);
        if (type == kClassInterfaceIn && request == kGetPortStatus) return Sends({kPortStatusReady}, length);
        if (type == kClassInterfaceOut && request == kSoftReset) {
            reply_.clear();
            zeroPacketDue_ = false;
            inHalted_ = false;
            return {};
        }
    }
    return Fails(EPIPE);
}

std::optional<Completion> UsbUnit::BulkOut(ClientId client, unsigned endpoint, std::span<const std::uint8_t> data) {
    if (endpoint != kBulkOut) return Fails(EINVAL);
    if (holder_ != client) {
        if (holder_ || driverBound_) return Fails(EBUSY);
        holder_ = client;
    }
    if (!job_ && protocol::IsStatusRequest(data)) {
        Answer(data);
        return Completion{};
    }
    if (!job_) job_.emplace();
    job_->Add(data);
    quietTicks_ = 0;
    if (faults_.hangJobs) return std::nullopt;
    return Completion{};
}

// A new request replaces a reply that was not read.
void UsbUnit::Answer(std::span<const std::uint8_t>) {
    ++requests_;
    if (faults_.unplugAfter != 0 && requests_ >= faults_.unplugAfter) {
        unplugged_ = true;
        return;
    }
    if (faults_.silent) return;
    const StatusReply reply = unit_.AnswerStatus();
    reply_.clear();
    zeroPacketDue_ = false;
    if (reply.failed) {
        inHalted_ = true;
        return;
    }
    reply_.assign(reply.bytes.begin(), reply.bytes.end());
    zeroPacketDue_ = reply.bytes.size() % kMaxPacket == 0;
}

std::optional<Completion> UsbUnit::BulkIn(ClientId client, unsigned endpoint, std::size_t length) {
    if (endpoint != kBulkIn) return Fails(EINVAL);
    if (holder_ != client) {
        if (holder_ || driverBound_) return Fails(EBUSY);
        holder_ = client;
    }
    if (inHalted_) return Fails(EPIPE);
    if (reply_.empty() && !zeroPacketDue_) return std::nullopt;
    const std::size_t count = std::min(length, reply_.size());
    Completion done;
    done.bytes.assign(reply_.begin(), reply_.begin() + static_cast<std::ptrdiff_t>(count));
    reply_.erase(reply_.begin(), reply_.begin() + static_cast<std::ptrdiff_t>(count));
    if (count < length || count == 0) {
        zeroPacketDue_ = false;  // a short or zero-length packet ended it
    } else if (!reply_.empty() && length % kMaxPacket != 0) {
        done.status = -EOVERFLOW;  // the next packet did not fit
        reply_.clear();
        zeroPacketDue_ = false;
    }
    return done;
}

void UsbUnit::ClientGone(ClientId client) {
    if (holder_ != client) return;
    TakeJob();
    holder_ = nullptr;
}

void UsbUnit::Tick() {
    if (job_ && ++quietTicks_ >= kQuietTicks) TakeJob();
}

// Bytes after a job is taken begin another job.
void UsbUnit::TakeJob() {
    if (job_ && job_->Length() > 0) unit_.TakeJob(*job_);
    job_.reset();
    quietTicks_ = 0;
}

}  // namespace orlax::emulator::usb
