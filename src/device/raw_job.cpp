#include "device/raw_job.h"

#include "device/device_link.h"

namespace orlax::device {

RawJob::~RawJob() {
    EndPage();
    EndDoc();
    Close();
}

bool RawJob::Open() { return spooler_.OpenPrinter(printerName_, &handle_, nullptr) != 0; }

bool RawJob::StartDoc() {
    jobId_ = spooler_.StartDocPrinter(handle_, {protocol::kJobDocumentName, protocol::kRawDataType});
    docStarted_ = jobId_ != 0;
    return docStarted_;
}

bool RawJob::StartPage() {
    pageStarted_ = spooler_.StartPagePrinter(handle_) != 0;
    return pageStarted_;
}

bool RawJob::Write(std::span<const std::uint8_t> bytes, std::uint32_t* written) {
    return spooler_.WritePrinter(handle_, bytes, written) != 0;
}

bool RawJob::EndPage() {
    if (!pageStarted_) return false;
    pageStarted_ = false;
    return spooler_.EndPagePrinter(handle_) != 0;
}

bool RawJob::EndDoc() {
    if (!docStarted_) return false;
    docStarted_ = false;
    // Ended is only queued: the job counts once the unit has it.
    return spooler_.EndDocPrinter(handle_) != 0 && spooler_.WaitForJob(handle_, jobId_) != 0;
}

bool RawJob::Close() {
    if (!handle_) return false;
    const bool closed = spooler_.ClosePrinter(handle_) != 0;
    handle_ = 0;
    return closed;
}

}  // namespace orlax::device
