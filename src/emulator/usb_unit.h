// The emulated unit as a USB printer, as the kernel's usbfs shows it to a
// program: the printer interface that one program at a time may claim, the
// kernel's printer driver ("usblp") bound to it until a program detaches it,
// control requests (descriptors, strings, GET_DEVICE_ID, GET_PORT_STATUS)
// and the two bulk endpoints.
//
// Behind it stands the same emulated unit as behind the network link
// (NetworkUnit: the device model and the journal). The bytes a program
// writes on bulk OUT while it holds the interface are, when they start with
// the 8-byte status request, a status request: the reply goes to bulk IN.
// Anything else is a print job. The unit takes a job as soon as its data has
// arrived: when the writer has sent nothing more for kQuietTicks of the test
// bed's ticks, or releases the interface, or goes away, whichever comes
// first; what happens to the writer after that (a print server that kills
// it, say) does not take the job back. A status request that the device
// answers with a failed read stalls bulk IN.
//
// Bulk IN is read back as an ordinary bidirectional printer answers it: a
// transfer with nothing to send stays pending (the device NAKs) until the
// program's time-out cancels it or the interface is released; so CUPS's usb
// backend, which reads back during every job, waits for that read at the
// job's end unless the unit is marked unidirectional for it.
//
// Bulk IN sends the reply in packets of 512 bytes: a transfer ends at a short
// packet or when its buffer is full; a reply that is a whole number of
// packets is ended by a zero-length packet. A transfer whose buffer is not a
// whole number of packets and too small for what comes overflows.
//
// Errors are errno values, as the kernel gives them. Not thread-safe: the
// test bed calls it from one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/network_unit.h"

namespace orlax::emulator::usb {

using ClientId = const void*;  // one open device file

// A job is taken once its writer has been quiet for this many ticks of the
// test bed (UsbTestbed ticks every 100 ms: 200 to 300 ms of quiet).
inline constexpr int kQuietTicks = 3;

struct UsbFaults {
    bool silent = false;          // status requests are taken and never answered
    bool hangJobs = false;        // a job's bulk OUT transfers are taken and never finish
    std::uint32_t unplugAfter = 0;  // unplugged when this status request arrives (0: never)
};

// The outcome of a finished transfer: a status (0 or a negative errno, as
// in an URB) and the bytes that came in.
struct Completion {
    int status = 0;
    std::vector<std::uint8_t> bytes;
};

class UsbUnit {
public:
    UsbUnit(NetworkUnit& unit, std::string serial, UsbFaults faults);

    const std::string& Serial() const { return serial_; }
    bool Unplugged() const { return unplugged_; }

    // Interface handling; 0 or an errno.
    int GetDriver(int interface, std::string& name) const;
    int DetachDriver(ClientId client, int interface);
    int AttachDriver(ClientId client, int interface);
    int Claim(ClientId client, int interface);
    int Release(ClientId client, int interface);
    int SetAlternate(ClientId client, int interface, int alternate);
    int ClearHalt(ClientId client, unsigned endpoint);

    // A control transfer: the 8-byte setup packet and, for a transfer to the
    // device, its data. IN transfers return at most wLength bytes.
    Completion Control(ClientId client, std::span<const std::uint8_t, 8> setup, std::span<const std::uint8_t> data);
    // A bulk OUT transfer of `data`; nullopt while it is not finished (with
    // hangJobs, never: until it is discarded or its program goes).
    std::optional<Completion> BulkOut(ClientId client, unsigned endpoint, std::span<const std::uint8_t> data);
    // A bulk IN transfer of at most `length` bytes; nullopt while the unit
    // has nothing to send (the transfer stays pending).
    std::optional<Completion> BulkIn(ClientId client, unsigned endpoint, std::size_t length);

    // The program closed its device file, or ended without closing it: its
    // interface is released and its job taken.
    void ClientGone(ClientId client);
    // Time passes: a job whose writer has been quiet for kQuietTicks ticks
    // is taken.
    void Tick();

private:
    void TakeJob();
    void Answer(std::span<const std::uint8_t> request);
    bool Holds(ClientId client, int interface) const;

    NetworkUnit& unit_;
    std::string serial_;
    UsbFaults faults_;
    bool driverBound_ = true;           // the kernel's usblp has the interface
    ClientId holder_ = nullptr;         // the program that claimed the interface
    std::optional<StreamedJob> job_;    // the print job the holder is writing
    int quietTicks_ = 0;                // ticks since the job's last bytes
    std::deque<std::uint8_t> reply_;    // what bulk IN still has to send
    bool zeroPacketDue_ = false;        // the reply ended on a packet boundary
    bool inHalted_ = false;             // bulk IN stalled
    std::uint32_t requests_ = 0;
    bool unplugged_ = false;
};

}  // namespace orlax::emulator::usb
