// The exchange journal: one line per status read and per delivered job,
// appended to a file and flushed line by line.
//
//   STATUS <reply length or FAIL>
//   JOB "<document name>" <length> <hex>
//
// <hex> is every byte as two upper-case hex digits for a job of at most 64
// bytes, else "sha256:" and the lower-case SHA-256 of the job's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

#include "emulator/sha256.h"

namespace orlax::emulator {

inline constexpr std::size_t kJournalHexLimit = 64;

// The journal's lines, without the line end.
std::string StatusLine(std::size_t replyLength);
std::string StatusFailedLine();
std::string JobLine(std::string_view docName, std::span<const std::uint8_t> bytes);
// The line of a job of more than 64 bytes known only by its length and
// digest (a job streamed through without being kept whole).
std::string JobDigestLine(std::string_view docName, std::uint64_t length, const Sha256Digest& digest);

class Journal {
public:
    // Opens `path` for appending. When it cannot be opened, IsOpen() is false,
    // Error() says why and the journal writes nothing.
    explicit Journal(const std::string& path);

    bool IsOpen() const { return file_.is_open(); }
    // Why the file could not be opened or the last line not written; empty
    // while all is well.
    const std::string& Error() const { return error_; }

    void Status(std::size_t replyLength) { Write(StatusLine(replyLength)); }
    void StatusFailed() { Write(StatusFailedLine()); }
    void Job(std::string_view docName, std::span<const std::uint8_t> bytes) {
        Write(JobLine(docName, bytes));
    }
    void JobDigest(std::string_view docName, std::uint64_t length, const Sha256Digest& digest) {
        Write(JobDigestLine(docName, length, digest));
    }

private:
    void Write(const std::string& line);

    std::string path_;
    std::ofstream file_;
    std::string error_;
};

}  // namespace orlax::emulator
