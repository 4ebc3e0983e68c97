#include "device/raw_job.h"

#include "device/device_link.h"

namespace orlax::device {

RawJob::~RawJob() {
    EndPage();
    EndDoc();
    Close();
}

bool RawJob::Noted(bool ok) {
    if (!ok && error_ == 0) error_ = spooler_.GetLastError();
    return ok;
}

bool RawJob::Open() { return Noted(spooler_.OpenPrinter(printerName_, &handle_, nullptr) != 0); }

bool RawJob::StartDoc() {
    jobId_ = spooler_.StartDocPrinter(handle_, {protocol::kJobDocumentName, protocol::kRawDataType});
    docStarted_ = jobId_ != 0;
    return Noted(docStarted_);
}

bool RawJob::StartPage() {
    pageStarted_ = spooler_.StartPagePrinter(handle_) != 0;
    return Noted(pageStarted_);
}

bool RawJob::Write(std::span<const std::uint8_t> bytes, std::uint32_t* written) {
    return Noted(spooler_.WritePrinter(handle_, bytes, written) != 0);
}

bool RawJob::EndPage() {
    if (!pageStarted_) return false;
    pageStarted_ = false;
    return Noted(spooler_.EndPagePrinter(handle_) != 0);
}

bool RawJob::EndDoc() {
    if (!docStarted_) return false;
    docStarted_ = false;
    // Ended is only queued: the job counts once the unit has it.
    return Noted(spooler_.EndDocPrinter(handle_) != 0) && Noted(spooler_.WaitForJob(handle_, jobId_) != 0);
}

bool RawJob::Close() {
    if (!handle_) return false;
    const bool closed = spooler_.ClosePrinter(handle_) != 0;
    handle_ = 0;
    return closed;
}

}  // namespace orlax::device
