#include "cli/log_printer.h"

namespace orlax::cli {

void LogPrinter::Write(std::string_view text) {
    if (keepCrlf_) {
        out_ << text;
        out_.flush();
        return;
    }
    for (const char c : text) {
        if (pendingCr_) {
            pendingCr_ = false;
            if (c != '\n') out_ << '\r';
        }
        if (c == '\r')
            pendingCr_ = true;
        else
            out_ << c;
    }
    out_.flush();
}

void LogPrinter::Finish() {
    if (pendingCr_) out_ << '\r';
    pendingCr_ = false;
    out_.flush();
}

}  // namespace orlax::cli
