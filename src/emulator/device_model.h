// The emulated unit: its state as a 100-byte status record, the status
// exchange (a request, then a read that yields the reply) and the print jobs
// it receives (command packets it obeys, device files it only takes in).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "emulator/command_handling.h"
#include "emulator/scenario.h"
#include "protocol/command_packet.h"

namespace orlax::emulator {

// One status read: a failed read call, or 0..1000 bytes.
struct StatusReply {
    bool failed = false;
    std::vector<std::uint8_t> bytes;
};

using protocol::kCommandPacketSize;

// A job of exactly 8 bytes starting 1B 04; any other job is a device file.
bool IsCommandPacket(std::span<const std::uint8_t> job);

class DeviceModel {
public:
    explicit DeviceModel(const Scenario& scenario);

    // The one-byte request was written. The unit answers every read whether
    // or not a request came first; requests are only counted.
    void RequestStatus() { ++requests_; }

    // The reply to one read: the next scripted reply while the script lasts,
    // then the normal reply. A normal reply ("ok" in the script, or any read
    // after it) is the current record with the checksum recomputed, and with
    // systemStatus 'B' while reads of the busy time are left (each such read
    // uses one up). The other scripted replies leave the busy time as it is.
    StatusReply ReadStatus();

    // A print job delivered by the spooler. A command packet is obeyed:
    // a wrong checksum, an unknown code or an argument out of range only sets
    // its bit in errorBits; any other command sets lastCommand, does what
    // its handler does and makes the unit busy for `busyPolls` normal reads.
    void ReceiveJob(std::span<const std::uint8_t> job);

    // The unit's record as it stands (byte 98 as the scenario gave it; replies
    // carry a fresh checksum).
    const Record& State() const { return record_; }

    std::uint32_t BusyReadsLeft() const { return busyReadsLeft_; }
    std::size_t ScriptedRepliesLeft() const { return script_.size(); }
    std::size_t StatusRequests() const { return requests_; }
    std::size_t CommandsObeyed() const { return commandsObeyed_; }
    std::size_t DeviceFilesReceived() const { return deviceFiles_; }

private:
    // The record a normal reply carries now, without using up busy time.
    Record Snapshot() const;
    void ObeyPacket(std::span<const std::uint8_t, kCommandPacketSize> packet);

    Record record_;
    PositionOffsets factoryOffsets_{};
    std::uint32_t busyPolls_;
    std::uint32_t busyReadsLeft_ = 0;
    std::deque<ScriptedReply> script_;
    std::size_t requests_ = 0;
    std::size_t commandsObeyed_ = 0;
    std::size_t deviceFiles_ = 0;
};

}  // namespace orlax::emulator
