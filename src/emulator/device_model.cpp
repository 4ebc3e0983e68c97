#include "emulator/device_model.h"

#include <algorithm>

namespace orlax::emulator {
namespace {

namespace f = protocol::field;

constexpr std::uint8_t kPacketLead[] = {0x1B, 0x04};

std::vector<std::uint8_t> Bytes(const Record& record, std::size_t length) {
    std::vector<std::uint8_t> bytes(length, 0);
    std::copy_n(record.begin(), std::min(length, record.size()), bytes.begin());
    return bytes;
}

Record WithStatus(Record record, std::uint8_t status) {
    record[f::systemStatus] = status;
    record[f::checksum] = protocol::StatusChecksum(record);
    return record;
}

}  // namespace

bool IsCommandPacket(std::span<const std::uint8_t> job) {
    return job.size() == kCommandPacketSize && job[0] == kPacketLead[0] && job[1] == kPacketLead[1];
}

DeviceModel::DeviceModel(const Scenario& scenario)
    : record_(scenario.record),
      busyPolls_(scenario.busyPolls),
      script_(scenario.replies.begin(), scenario.replies.end()) {
    std::copy_n(record_.begin() + f::leftBinOffset, kPositionOffsets, factoryOffsets_.begin());
}

Record DeviceModel::Snapshot() const {
    return WithStatus(record_, busyReadsLeft_ > 0 ? protocol::kStatusBusy : record_[f::systemStatus]);
}

StatusReply DeviceModel::ReadStatus() {
    ScriptedReply next{ReplyKind::Ok, 0};
    if (!script_.empty()) {
        next = script_.front();
        script_.pop_front();
    }
    const Record now = Snapshot();
    switch (next.kind) {
        case ReplyKind::Ok:
            if (busyReadsLeft_ > 0) --busyReadsLeft_;
            return {false, Bytes(now, now.size())};
        case ReplyKind::Busy:
            return {false, Bytes(WithStatus(now, protocol::kStatusBusy), now.size())};
        case ReplyKind::Idle:
            return {false, Bytes(WithStatus(now, protocol::kStatusIdle), now.size())};
        case ReplyKind::Cover:
            return {false, Bytes(WithStatus(now, protocol::kStatusCoverOpen), now.size())};
        case ReplyKind::Fail:
            return {true, {}};
        case ReplyKind::Empty:
            return {false, {}};
        case ReplyKind::One:
            return {false, Bytes(now, 1)};
        case ReplyKind::BadSum: {
            Record bad = now;
            ++bad[f::checksum];
            return {false, Bytes(bad, bad.size())};
        }
        case ReplyKind::Length:
            return {false, Bytes(now, std::min(next.length, kMaxReplyLength))};
    }
    return {true, {}};
}

void DeviceModel::ReceiveJob(std::span<const std::uint8_t> job) {
    if (!IsCommandPacket(job)) {
        ++deviceFiles_;
        return;
    }
    ObeyPacket(job.first<kCommandPacketSize>());
}

void DeviceModel::ObeyPacket(std::span<const std::uint8_t, kCommandPacketSize> packet) {
    if (protocol::CommandChecksum(packet) != packet[7]) {
        record_[f::errorBits] |= error_bit::badChecksum;
        return;
    }
    const std::uint8_t code = packet[2];
    const CommandHandler handler = FindCommandHandler(code);
    if (!handler) {
        record_[f::errorBits] |= error_bit::unknownCode;
        return;
    }
    CommandContext unit{record_, factoryOffsets_};
    if (handler(unit, packet[3], packet[4]) == CommandResult::BadArgument) {
        record_[f::errorBits] |= error_bit::badArgument;
        return;
    }
    record_[f::lastCommand] = code;
    busyReadsLeft_ = busyPolls_;
    ++commandsObeyed_;
}

}  // namespace orlax::emulator
