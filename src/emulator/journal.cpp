#include "emulator/journal.h"

#include <cerrno>
#include <cstring>

#include "emulator/sha256.h"
#include "util/hex.h"

namespace orlax::emulator {

std::string StatusLine(std::size_t replyLength) { return "STATUS " + std::to_string(replyLength); }

std::string StatusFailedLine() { return "STATUS FAIL"; }

namespace {

std::string JobLineStart(std::string_view docName, std::uint64_t length) {
    std::string line = "JOB \"";
    line += docName;
    line += "\" " + std::to_string(length) + " ";
    return line;
}

}  // namespace

std::string JobDigestLine(std::string_view docName, std::uint64_t length, const Sha256Digest& digest) {
    return JobLineStart(docName, length) + "sha256:" + DigestHex(digest);
}

std::string JobLine(std::string_view docName, std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kJournalHexLimit) return JobDigestLine(docName, bytes.size(), Sha256(bytes));
    std::string line = JobLineStart(docName, bytes.size());
    util::AppendHex(line, bytes, util::HexCase::Upper);
    return line;
}

Journal::Journal(const std::string& path) : path_(path) {
    errno = 0;
    file_.open(path, std::ios::out | std::ios::app | std::ios::binary);
    if (!file_.is_open())
        error_ = path + ": cannot open the journal for appending (" +
                 (errno ? std::strerror(errno) : "unknown error") + ")";
}

void Journal::Write(const std::string& line) {
    if (!file_.is_open()) return;
    file_ << line << '\n';
    file_.flush();
    if (!file_) {
        error_ = path_ + ": cannot write to the journal";
        file_.clear();
    }
}

}  // namespace orlax::emulator
