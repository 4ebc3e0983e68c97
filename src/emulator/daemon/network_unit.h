// The emulated unit behind the network server's connections: the device
// model and its journal. The server's one thread calls it, so a status
// request and a print job arriving at the same time see the unit one after
// the other.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "emulator/device_model.h"
#include "emulator/journal.h"
#include "emulator/sha256.h"

namespace orlax::emulator {

// A print job as it streams in: its length, its digest and its first 64
// bytes, which are the whole job when it is short enough for the journal
// to show it byte by byte (a command packet always is).
class StreamedJob {
public:
    void Add(std::span<const std::uint8_t> bytes);
    std::uint64_t Length() const { return length_; }
    // The whole job, when it has at most 64 bytes.
    bool Whole() const { return length_ <= kJournalHexLimit; }
    std::span<const std::uint8_t> Head() const { return head_; }
    Sha256Digest Digest() { return hasher_.Finish(); }

private:
    std::vector<std::uint8_t> head_;
    std::uint64_t length_ = 0;
    Sha256Hasher hasher_;
};

class NetworkUnit {
public:
    // `journal`, when given, must outlive the unit.
    NetworkUnit(const Scenario& scenario, Journal* journal);

    // One status exchange: the request, then the reply (journalled).
    StatusReply AnswerStatus();
    // A print job that arrived whole: journalled, then given to the device.
    // A network job has no document name; the journal shows it as "".
    void TakeJob(StreamedJob& job);

private:
    DeviceModel device_;
    Journal* journal_;
};

}  // namespace orlax::emulator
