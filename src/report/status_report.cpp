#include "report/status_report.h"

#include <algorithm>
#include <cstdarg>

#include "device/log_port.h"
#include "device/device_state.h"
#include "report/status_codes.h"
#include "util/format.h"

namespace orlax::report {
namespace {

using device::DeviceState;
namespace field = protocol::field;

constexpr std::size_t kDumpLine = 25;        // bytes per line of the dump
constexpr std::size_t kFirmwareColumn = 30;  // where the firmware text is written

// The report text with room for 2000 characters, filled piece by piece.
class ReportText {
public:
    // A piece of at most 99 characters.
    [[gnu::format(printf, 2, 3)]] void AddFormatted(const char* format, ...) {
        char piece[100];
        std::va_list args;
        va_start(args, format);
        const int n = util::FormatIntoV(piece, format, args);
        va_end(args);
        text_.append(piece, static_cast<std::size_t>(std::clamp(n, 0, int{sizeof piece} - 1)));
    }
    void Add(std::string_view piece) { text_ += piece; }
    std::string& Text() { return text_; }

private:
    std::string text_;
};

std::string FirmwareLine(std::span<const std::uint8_t> record) {
    std::string text = util::FormatCut(100, "ORLAX PRO FIRMWARE VERSION #:                        LEX:   %d\r\n",
                                       int{record[field::lexVersion]});
    const auto firmware = protocol::FirmwareText(record);
    text.replace(kFirmwareColumn, firmware.size(), firmware);
    return text;
}

const char* YesNo(bool set, const char* yes, const char* no) { return set ? yes : no; }

}  // namespace

std::string FormatStatusReport(const DeviceState& state) {
    const std::span<const std::uint8_t> r(state.Record());
    const auto& m = state.mirror;
    const auto u32 = [&](std::size_t at) { return unsigned{protocol::ReadBigEndian32(r, at)}; };
    const auto u8 = [&](std::size_t at) { return unsigned{r[at]}; };

    ReportText report;
    report.Add(FirmwareLine(r));
    report.AddFormatted("\tPGA: %.2X   ", u8(field::pgaVersion));
    report.Add(ModelTypeText(r[field::modelType]));
    report.Add("\t\tLEFT PEN: ");
    report.Add(PenConfigText(r[field::penConfig]));
    report.Add("SPIT LIMIT ISSUED:\t\t");
    report.Add(YesNo(r[field::spitLimitFlags] & 1u, "YES\t\t", "NO\t\t"));
    report.Add(YesNo(r[field::spitLimitFlags] & 2u, "YES\r\n", "NO\r\n"));
    report.AddFormatted("YELLOW SPITS : \t\t%12.12u", u32(field::yellowSpitsA));
    report.AddFormatted("\t%12.12u \r\n", u32(field::yellowSpitsB));
    report.AddFormatted("MAGENTA SPITS : \t\t%12.12u", u32(field::magentaSpitsA));
    report.AddFormatted("\t%12.12u \r\n", u32(field::magentaSpitsB));
    report.AddFormatted("CYAN SPITS : \t\t%12.12u", u32(field::cyanSpitsA));
    report.AddFormatted("\t%12.12u \r\n", u32(field::cyanSpitsB));
    report.AddFormatted("# OF DISKS PRINTED : \t\t%8.8u \r\n", u32(field::disksPrinted));
    report.AddFormatted("# OF DISKS PICKED FROM BIN:\t%8.8u \r\n", u32(field::disksPicked));
    report.AddFormatted("# OF DISKS IN LEFT BIN:\t %3d \tRIGHT BIN:\t%3d\r\n", int(u8(field::leftBinCount)),
               int(u8(field::rightBinCount)));
    report.AddFormatted("Vertical Offset:  %8.2d \t", m.verticalOffset);
    report.AddFormatted("Horizontal Offset:  %8.2d     ", m.horizontalOffset);
    report.AddFormatted("LAST COMMAND REQUEST:   %.2X \r\n", u8(field::lastCommand));
    report.AddFormatted("System Error Bits:   %.2X   ", u8(field::errorBits));
    report.Add(SystemStatusText(r[field::systemStatus]));
    report.Add(TrayStatusText(r[field::trayStatus]));
    report.Add(PickerStatusText(r[field::pickerStatus]));
    report.AddFormatted("OFFSETS; Left Bin:\t%3.2d    Recorder:\t%3.2d    Recorder2:\t%3.2d      Printer:\t%3.2d\r\n",
               m.leftBin, m.recorder, m.recorder2, m.printer);
    report.AddFormatted("\t  Right Bin:\t%3.2d   Hook:\t\t%3.2d    Tray Out:\t%3.2d     Picker Switch:\t%3.2d\r\n",
               m.rightBin, m.hook, m.trayOut, m.pickerSwitch);
    report.AddFormatted("\t  Arm Home:\t%3.2d    Last Disk Left:\t%3.2d\tLast Disk Right:\t%3.2d \r\n", m.armHome,
               protocol::SignedByte(r, field::lastDiskLeft), protocol::SignedByte(r, field::lastDiskRight));
    return std::move(report.Text());
}

int ShowStatusReport(const DeviceState& state, device::LogPort& log) {
    const std::span<const std::uint8_t> buffer(state.statusBuffer);
    for (std::size_t line = 0; line < 3; ++line) {
        log.LogHex(buffer.subspan(line * kDumpLine, kDumpLine));
        log.AppendLog("\r\n");
    }
    // The fourth line runs to the reported length, never past what one
    // LogHex takes nor outside the buffer.
    const std::size_t fourthStart = 3 * kDumpLine;
    const std::size_t fourthCount =
        std::min<std::size_t>(state.statusLength > fourthStart ? state.statusLength - fourthStart : 0,
                              device::LogPort::kMaxHexBytes);
    log.LogHex(buffer.subspan(fourthStart, fourthCount));
    log.AppendLog("\r\n");

    log.AppendLog(FormatStatusReport(state));
    return 1;
}

}  // namespace orlax::report
