#include "report/production_record.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <span>

#include "device/log_port.h"
#include "device/device_state.h"
#include "report/line_record.h"
#include "report/record_file.h"
#include "util/format.h"
#include "util/unique_fd.h"

namespace orlax::report {
namespace {

using device::DeviceMirror;
namespace field = protocol::field;

constexpr std::string_view kFileUpdated = "    File updated !! \r\n";
constexpr std::string_view kOpenError = " Error in open !\r\n";
constexpr std::string_view kWriteError = " Error in write !\r\n";
// The second field of every record.
constexpr std::string_view kFixedFirmwareText = "Not Set";

// Fields 9 to 18: the mirror's offsets, "%4.4d" each.
constexpr std::array kOffsetFields{
    &DeviceMirror::verticalOffset, &DeviceMirror::horizontalOffset, &DeviceMirror::leftBin,
    &DeviceMirror::recorder,       &DeviceMirror::printer,          &DeviceMirror::rightBin,
    &DeviceMirror::hook,           &DeviceMirror::trayOut,          &DeviceMirror::pickerSwitch,
    &DeviceMirror::armHome,
};
// Fields 19 and 20: the last-disc offsets, signed record bytes.
constexpr std::array kLastDiskBytes{field::lastDiskLeft, field::lastDiskRight};
// Fields 21 to 24: the sensor readings, unsigned record bytes.
constexpr std::array kSensorBytes{field::trayInSensorLow, field::trayInSensorHigh,
                                  field::diskInSensorLow, field::diskInSensorHigh};

// One record line, built whole in a fixed buffer before anything is written.
class RecordLine {
public:
    [[gnu::format(printf, 2, 3)]] void AddFormatted(const char* format, ...) {
        if (!complete_) return;
        const std::span<char> room = std::span(text_).subspan(length_);
        std::va_list args;
        va_start(args, format);
        const int n = util::FormatIntoV(room, format, args);
        va_end(args);
        if (n < 0 || static_cast<std::size_t>(n) >= room.size()) {
            complete_ = false;  // cut short: the line must not be written
            return;
        }
        length_ += static_cast<std::size_t>(n);
    }
    // Plain text, taken as it stands.
    void Add(std::string_view text) {
        if (!complete_) return;
        if (text.size() >= text_.size() - length_) {
            complete_ = false;
            return;
        }
        std::copy(text.begin(), text.end(), text_.begin() + static_cast<std::ptrdiff_t>(length_));
        length_ += text.size();
    }
    bool Complete() const { return complete_; }
    std::string_view Text() const { return {text_.data(), length_}; }

private:
    std::array<char, 512> text_{};
    std::size_t length_ = 0;
    bool complete_ = true;
};

RecordLine BuildLine(const ProductionRecord& record, const device::DeviceState& state) {
    const auto bytes = std::span<const std::uint8_t>(state.Record());
    const DeviceMirror& mirror = state.mirror;
    RecordLine line;
    line.AddFormatted("%.6d,", record.recordCounter);
    line.AddFormatted("%.*s,", static_cast<int>(kFixedFirmwareText.size()), kFixedFirmwareText.data());
    line.AddFormatted("%s,%s,", record.recordTime.data(), record.recordDate.data());
    line.AddFormatted("%.*s,", static_cast<int>(DeviceMirror::expectedFirmware.size()),
             DeviceMirror::expectedFirmware.data());
    line.AddFormatted("%3.3d,", mirror.lexVersion);
    line.AddFormatted("%10.10u,", protocol::ReadBigEndian32(bytes, field::disksPrinted));
    line.AddFormatted("%10.10u,", protocol::ReadBigEndian32(bytes, field::disksPicked));
    for (const auto offset : kOffsetFields) line.AddFormatted("%4.4d,", mirror.*offset);
    for (const auto at : kLastDiskBytes) line.AddFormatted("%3.3d,", protocol::SignedByte(bytes, at));
    for (const auto at : kSensorBytes) line.AddFormatted("%3.3d,", int{bytes[at]});
    line.Add("\r\n");
    return line;
}

// Writes the whole line in one call and makes sure it reached the disk. The
// file is locked while the line goes in, so that the records of several
// programs never interleave, and a line that did not go in whole is taken
// back out: the file holds whole lines only.
bool AppendLine(int fd, const RecordLine& line) {
    struct stat before {};
    if (::fstat(fd, &before) != 0) return false;
    const std::string_view text = line.Text();
    const bool ok = line.Complete() &&
                    ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                    ::fsync(fd) == 0;
    if (!ok && ::ftruncate(fd, before.st_size) == 0) ::fsync(fd);
    return ok;
}

}  // namespace

std::tm SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local;
}

int ProductionRecord::FormatRecordTime() {
    const std::tm now = localTime_();
    recordTm_ = now;
    util::FormatInto(recordTime, "%.2d:%.2d", now.tm_hour, now.tm_min);
    util::FormatInto(recordDate, "%.2d\\%.2d\\%.4lld", now.tm_mon + 1, now.tm_mday,
                     static_cast<long long>(now.tm_year) + 1900);
    return 1;
}

int ProductionRecord::WriteProductionRecord(const std::string& folder,
                                            const device::DeviceState& state,
                                            device::LogPort& log) {
    const std::string path = folder + std::string(kProductionRecordFileName);
    util::UniqueFd fd = OpenRecordFile(path);
    if (!fd || !LockRecordFile(fd.Get())) {
        log.AppendLog(path + std::string(kOpenError));
        return 0;
    }
    FormatRecordTime();
    // A line that did not reach the file keeps its number for the next one.
    const RecordLine line = BuildLine(*this, state);
    const bool written = AppendLine(fd.Get(), line);
    // Its row joins the outbox under the same lock, after the line.
    if (written && lineRecord_) lineRecord_->Keep(folder, line.Text(), recordTm_, state.Record());
    const bool closed = fd.Close();  // also releases the lock
    if (!written || !closed) {
        log.AppendLog(path + std::string(kWriteError));
        return 0;
    }
    ++recordCounter;
    log.AppendLog(path + std::string(kFileUpdated));
    if (lineRecord_) lineRecord_->SendAfterRecord(folder);
    return 1;
}

}  // namespace orlax::report
