#include "spooler/cups_job_stream.h"

#include <cups/cups.h>

#include <cerrno>
#include <cstring>

#include "spooler/cups_errors.h"
#include "spooler/job_data_buffer.h"
#include "spooler/spooler_errors.h"

namespace orlax::spooler {
namespace {

constexpr int kConnectTimeoutMs = 30000;

bool Succeeded(ipp_status_t status) { return status < IPP_STATUS_REDIRECTION_OTHER_SITE; }

http_t* ConnectToCups() {
    return httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectTimeoutMs,
                        nullptr);
}

// Withdraws a job that will not be finished. The job's connection may be in
// the middle of its document, so the cancel goes on the default connection.
void CancelJob(const std::string& queue, int id) {
    if (id > 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), id, 0);
}

// The document's data goes to CUPS in pieces of 64 KiB (job_data_buffer.h);
// a piece CUPS does not take fails the write that filled it, or the finish.
class CupsJobStream final : public JobStream {
public:
    CupsJobStream(http_t* http, std::string queue, int id)
        : http_(http), queue_(std::move(queue)), id_(id), data_([this](std::span<const std::uint8_t> piece) {
              return cupsWriteRequestData(http_, reinterpret_cast<const char*>(piece.data()), piece.size()) ==
                     HTTP_STATUS_CONTINUE;
          }) {}
    ~CupsJobStream() override {
        httpClose(http_);
        if (!finished_) CancelJob(queue_, id_);
    }
    CupsJobStream(const CupsJobStream&) = delete;
    CupsJobStream& operator=(const CupsJobStream&) = delete;

    std::uint32_t Id() const override { return static_cast<std::uint32_t>(id_); }

    bool Write(std::span<const std::uint8_t> bytes, ServiceError& error) override {
        if (data_.Write(bytes)) return true;
        error = LastCupsError("sending the job's data");
        return false;
    }

    // A document CUPS does not accept (an empty one, for instance: CUPS takes
    // no job without data) leaves the job withdrawn when the stream goes.
    bool Finish(ServiceError& error) override {
        if (!data_.Flush()) {
            error = LastCupsError("sending the job's data");
            return false;
        }
        const ipp_status_t status = cupsFinishDocument(http_, queue_.c_str());
        if (!Succeeded(status)) {
            error = LastCupsError("ending the job");
            return false;
        }
        finished_ = true;
        return true;
    }

private:
    http_t* http_;
    std::string queue_;
    int id_;
    JobDataBuffer data_;
    bool finished_ = false;
};

}  // namespace

std::unique_ptr<JobStream> StartCupsJob(const std::string& queue, const std::string& docName,
                                        ServiceError& error) {
    http_t* http = ConnectToCups();
    if (!http) {
        error = {kErrorCupsFailed, std::string("connecting to CUPS at ") + cupsServer() + ": " +
                                       std::strerror(errno)};
        return nullptr;
    }
    const int id = cupsCreateJob(http, queue.c_str(), docName.c_str(), 0, nullptr);
    if (id <= 0) {
        error = LastCupsError("creating the job");
        httpClose(http);
        return nullptr;
    }
    if (cupsStartDocument(http, queue.c_str(), id, docName.c_str(), CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        error = LastCupsError("starting the job's document");
        httpClose(http);
        CancelJob(queue, id);
        return nullptr;
    }
    return std::make_unique<CupsJobStream>(http, queue, id);
}

}  // namespace orlax::spooler
