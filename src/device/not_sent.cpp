#include "device/not_sent.h"

#include "device/device_link.h"
#include "platform/progress.h"
#include "platform/spooler.h"
#include "platform/spooler_errors.h"

namespace orlax::device {

std::string NotSentWhy(const Result& failed, const platform::Spooler& spooler) {
    if (const std::uint32_t code = failed.SpoolerError(); code != 0) {
        std::string text = spooler.GetLastError() == code ? spooler.LastErrorText() : std::string();
        if (text.empty()) text = platform::SpoolerErrorText(code);
        return text.empty() ? "print server error " + std::to_string(code) : text;
    }
    return std::string(failed.Reason().empty() ? failed.Cause() : failed.Reason());
}

std::string NotSentLine(std::string_view what, const Result& failed, const platform::Spooler& spooler) {
    return std::string(what) + " NOT SENT: " + NotSentWhy(failed, spooler) + " !!\r\n";
}

// Another run holds the unit: the log and the progress line say who.
void DeviceLink::TellUnitInUse(const std::string& why) {
    log_.AppendLog("Queue " + printerName_ + " NOT OPENED: " + why + " !!\r\n");
    if (ports_.progress) ports_.progress->UnitInUse(why);
}

void DeviceLink::TellNotSent(const std::string& what, const Result& failed) {
    log_.AppendLog(NotSentLine(what, failed, ports_.spooler));
    if (failed.SpoolerError() == platform::kErrorUnitInUse && ports_.progress)
        ports_.progress->UnitInUse(NotSentWhy(failed, ports_.spooler));
}

}  // namespace orlax::device
