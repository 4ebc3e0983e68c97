#include "app/help_text.h"

#include <array>
#include <string_view>

namespace orlax::app {
namespace {

constexpr std::array<std::string_view, 11> kHelpEntries{
    "<START UP> Send start up files to ORLAX.",
    "<FIRMWARE UPDATE> Send Firmware Update files to ORLAX.",
    "<SEND TEST FILE> Sends ORLAX.PRN file to ORLAX.",
    "<SET FACTORY DEFAULTS> Sets offsets to factory defaults memory.",
    "<CALIBRATE LAST DISK> Sets last disk arm position for each bin.",
    "<GET STATUS> Gets ORLAX status information.",
    "<DISK POSITION> Setup for disk print image position.",
    "<SET OFFSETS> Setup for all position offsets.",
    "<RESTORE FACTORY> Restores factory defaults to offset memory.",
    "<TEST BINS> Checks BINS for # of disks.",
    "<CLEAR SPITS> Clears Spit Counters for PEN's.",
};

std::string JoinHelp() {
    std::string text;
    for (const auto entry : kHelpEntries) {
        if (!text.empty()) text += "\r\n\r\n";
        text += entry;
    }
    return text;
}

}  // namespace

const std::string& HelpText() {
    static const std::string text = JoinHelp();
    return text;
}

}  // namespace orlax::app
