// One RAW job on a queue, taken step by step: open the queue, start the
// document, start the page, write. Whatever was opened or started and not
// yet ended is ended in reverse order when the job goes out of scope: the
// page, the document, then the queue. A job is never aborted. Ending the
// document waits until the spooler has delivered the job to the unit: a job
// that is only queued has not been sent.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/spooler.h"

namespace orlax::device {

class RawJob {
public:
    RawJob(platform::Spooler& spooler, std::string_view printerName)
        : spooler_(spooler), printerName_(printerName) {}
    ~RawJob();
    RawJob(const RawJob&) = delete;
    RawJob& operator=(const RawJob&) = delete;

    // Each step is true on success. A failed end counts as ended: it is not
    // tried again.
    bool Open();
    bool StartDoc();
    bool StartPage();
    bool Write(std::span<const std::uint8_t> bytes, std::uint32_t* written);
    bool EndPage();
    bool EndDoc();
    bool Close();

    // The spooler's error code from the step that failed first, 0 while
    // none has.
    std::uint32_t Error() const { return error_; }

private:
    platform::Spooler& spooler_;
    std::string_view printerName_;
    platform::PrinterHandle handle_ = 0;
    std::uint32_t jobId_ = 0;
    bool docStarted_ = false;
    bool pageStarted_ = false;
    std::uint32_t error_ = 0;

    // `ok`, noting the spooler's error code when it is the first failure.
    bool Noted(bool ok);
};

}  // namespace orlax::device
