// A job as it streams into an emulated unit, kept in constant memory: its
// length, its first 64 bytes (the whole job when it is that short, so every
// command packet) and, when asked for, the SHA-256 of all its bytes, which
// the journal shows for a longer job. The emulated spooler and orlax-emulator
// (network and USB units) keep their jobs this way.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "emulator/journal.h"
#include "emulator/sha256.h"

namespace orlax::emulator {

class StreamedJob {
public:
    // `digest`: whether to hash the bytes (only a journal needs the digest).
    explicit StreamedJob(bool digest = true);

    void Add(std::span<const std::uint8_t> bytes);
    std::uint64_t Length() const { return length_; }
    // The whole job, when it has at most 64 bytes.
    bool Whole() const { return length_ <= kJournalHexLimit; }
    std::span<const std::uint8_t> Head() const { return head_; }

    // Writes the job's journal line: its bytes when whole, else its length
    // and digest (a longer job must have been hashed: std::logic_error).
    void WriteTo(Journal& journal, std::string_view docName);

private:
    std::vector<std::uint8_t> head_;
    std::uint64_t length_ = 0;
    std::optional<Sha256Hasher> hasher_;
};

}  // namespace orlax::emulator
