// Device files: streamed from DeviceDataFolder to the queue as one RAW job,
// in blocks of 1000 bytes, ending with an empty write.
#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "device/block_reader.h"
#include "device/device_link.h"
#include "device/not_sent.h"
#include "device/raw_job.h"
#include "platform/progress.h"
#include "platform/dialog_host.h"
#include "util/unique_fd.h"

namespace orlax::device {
namespace {

constexpr std::string_view kSendingLine = " sending to printer !!\r\n";
constexpr std::string_view kOpenErrorText = "Error opening file";
constexpr std::string_view kOpenErrorCaption = "Error";
constexpr std::string_view kBadWrite = "Bad Write To Printer !! \r\n";
constexpr std::string_view kReadError = " Error in read !\r\n";

// Only a regular file is a device file: a pipe, a device or a folder in its
// place would stall or never end the transfer. Opening without blocking keeps
// a pipe with no writer from holding the operation. Nothing held when the
// file cannot be had.
util::UniqueFd OpenDeviceFile(const std::string& path) {
    util::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd && (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))) fd.Reset();
    return fd;
}

}  // namespace

// A file that did not reach the unit has its own line in the log, after
// whatever the failed step wrote.
Result DeviceLink::SendDeviceFile(std::string_view name) {
    const std::string path = deviceDataFolder_ + std::string(name);
    log_.AppendLog(path);
    log_.AppendLog(kSendingLine);
    const Result sent = StreamDeviceFile(path);
    if (!sent) TellNotSent("File " + path, sent);
    return sent;
}

Result DeviceLink::StreamDeviceFile(const std::string& path) {
    // The file is closed after the job has been ended, whichever way it ends.
    util::UniqueFd file;
    RawJob job(ports_.spooler, printerName_);
    if (!job.Open() || !job.StartDoc() || !job.StartPage()) return Result::Failed(cause::kFileNotSent, job.Error());
    file = OpenDeviceFile(path);
    if (!file) {
        ports_.host.MessageBox(std::string(kOpenErrorText) + path, kOpenErrorCaption, platform::kMbOk);
        return Result::Failed(cause::kFileNotOpened, reason::kNotOpened);
    }
    platform::ProgressDone progressDone(ports_.progress);
    struct stat info {};
    const std::uint64_t total = ::fstat(file.Get(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    std::uint64_t sent = 0;

    BlockReader reader(BlockReader::FromFile(file.Get()));
    for (;;) {
        const auto block = reader.Next();
        if (!block) {
            log_.AppendLog(path);
            log_.AppendLog(kReadError);
            return Result::Failed(cause::kFileNotSent, reason::kNotRead);
        }
        std::uint32_t written = 0;
        // The spooler taking fewer bytes than offered is as bad as a failed
        // write: the unit would get a file with a hole in it.
        if (!job.Write(*block, &written) || written != block->size()) {
            log_.AppendLog(kBadWrite);
            return job.Error() != 0 ? Result::Failed(cause::kFileNotSent, job.Error())
                                    : Result::Failed(cause::kFileNotSent, reason::kShortWrite);
        }
        if (block->empty()) break;
        sent += block->size();
        if (ports_.progress) ports_.progress->FileProgress(path, sent, total);
    }
    file.Reset();
    if (!job.EndPage() || !job.EndDoc()) return Result::Failed(cause::kFileNotSent, job.Error());
    job.Close();
    return Result::Done();
}

}  // namespace orlax::device
