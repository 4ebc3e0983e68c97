// Writes operator log text to a stream, with the log's "\r\n" line ends as
// "\n" unless they are kept as they are.
#pragma once

#include <ostream>
#include <string_view>

namespace orlax::cli {

class LogPrinter {
public:
    LogPrinter(std::ostream& out, bool keepCrlf) : out_(out), keepCrlf_(keepCrlf) {}
    ~LogPrinter() { Finish(); }
    LogPrinter(const LogPrinter&) = delete;
    LogPrinter& operator=(const LogPrinter&) = delete;

    void Write(std::string_view text);
    // Writes a carriage return still held back at the end of the text.
    void Finish();

private:
    std::ostream& out_;
    bool keepCrlf_;
    bool pendingCr_ = false;
};

}  // namespace orlax::cli
