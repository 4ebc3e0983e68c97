#include "operations/downloads.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "device/device_link.h"
#include "operations/context.h"
#include "operations/device_files.h"
#include "operations/operator_log.h"
#include "operations/outcome.h"
#include "platform/clock.h"

namespace orlax::operations {
namespace {

// One device file of a download, with the message shown before it and the
// pause the unit needs after it.
struct DownloadStep {
    std::string_view message;
    std::string_view file;
    std::uint32_t pauseMs;
};

// STARTUP sends all three; FIRMWARE UPDATE the last two.
constexpr std::array kStartupSteps{
    DownloadStep{"Sending Startup Bin File !!\r\n", kStartupBinFile, 2000},
    DownloadStep{"Sending LEX FIRMWARE File !!   This will take ~ 13 seconds\r\n",
                 kLexFirmwareFile, 12000},
    DownloadStep{"Sending Startup Fzp File !!\r\n", kStartupFzpFile, 0},
};
constexpr std::span<const DownloadStep> kFirmwareUpdateSteps = std::span(kStartupSteps).subspan(1);

constexpr std::string_view kResetInstruction =
    "When printer LED starts to flash on the front panel.\r\n"
    "Press front panel button to reset printer. If this did not happen retry this function";

constexpr std::string_view kSendingTestFile = "SENDING TEST FILE TO PRINTER \r\n";
constexpr std::string_view kTestFileSent = "File sent ok! to printer \r\n";

constexpr std::string_view kSendingFactorySetup = "Sending Factory setup to ORLAX PRO !\r\n";
constexpr std::string_view kFactorySetupNote =
    "Printer should reset when valid update command is recieved.\r\n"
    "When printer resets the EEPROM error should not happen on power up.";

// Each message shows before its file goes out. A download does not look at
// its sends: every file goes out whatever came of the one before, and a file
// that did not reach the unit still counts as the operation's failure.
void RunDownload(const Context& context, std::span<const DownloadStep> steps) {
    context.log.ClearLog();
    for (const DownloadStep& step : steps) {
        context.log.AppendLog(step.message);
        context.UpdateWindow();
        context.outcome.GoOn(context.link.SendDeviceFile(step.file));
        if (step.pauseMs > 0) context.clock.Sleep(step.pauseMs);
    }
    context.log.AppendLog(kResetInstruction);
    context.UpdateWindow();
}

}  // namespace

void Startup(const Context& context) { RunDownload(context, kStartupSteps); }

void FirmwareUpdate(const Context& context) { RunDownload(context, kFirmwareUpdateSteps); }

void SendTestFile(const Context& context) {
    context.log.ClearLog();
    context.log.AppendLog(kSendingTestFile);
    if (context.outcome.Check(context.link.SendDeviceFile(kTestFile))) context.log.AppendLog(kTestFileSent);
}

void SetFactoryDefaults(const Context& context) {
    context.log.ClearLog();
    static_cast<void>(SendFactorySetup(context));  // noted in the outcome; nothing follows
}

bool SendFactorySetup(const Context& context) {
    context.log.AppendLog(kSendingFactorySetup);
    context.UpdateWindow();
    const bool sent = context.outcome.Check(context.link.SendDeviceFile(kFactorySetupFile));
    context.log.AppendLog(kFactorySetupNote);
    return sent;
}

}  // namespace orlax::operations
