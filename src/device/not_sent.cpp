#include "device/not_sent.h"

#include "platform/spooler_errors.h"

namespace orlax::device {

std::string NotSentWhy(const Result& failed) {
    if (const std::uint32_t code = failed.SpoolerError(); code != 0) {
        const std::string_view text = platform::SpoolerErrorText(code);
        return text.empty() ? "print server error " + std::to_string(code) : std::string(text);
    }
    return std::string(failed.Reason().empty() ? failed.Cause() : failed.Reason());
}

std::string NotSentLine(std::string_view what, const Result& failed) {
    return std::string(what) + " NOT SENT: " + NotSentWhy(failed) + " !!\r\n";
}

}  // namespace orlax::device
