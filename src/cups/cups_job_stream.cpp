#include "cups/cups_job_stream.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>
#include <thread>

#include "cups/cups_errors.h"
#include "cups/job_data_buffer.h"
#include "cups/pending_cancels.h"
#include "platform/spooler_errors.h"

namespace orlax::cups {
namespace {

using Clock = std::chrono::steady_clock;

std::string PrinterUri(const std::string& queue) {
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()), "ipp", nullptr, "localhost",
                     ippPort(), "/printers/%s", queue.c_str());
    return uri.data();
}

ipp_t* JobRequest(ipp_op_t operation, const std::string& queue, int id) {
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(queue).c_str());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

// Withdraws a job that will not be delivered, on the job's connection when
// it can still carry a request, else on a new one. Both are bounded. False
// (error set) when CUPS did not confirm the cancel.
bool CancelJob(CupsConnection* connection, const std::string& queue, int id, const CupsTimes& times,
               ServiceError& error) {
    if (id <= 0) return true;
    std::unique_ptr<CupsConnection> fresh;
    if (!connection) {
        fresh = CupsConnection::Open(times, error);
        connection = fresh.get();
    }
    return connection &&
           connection->Do(JobRequest(IPP_OP_CANCEL_JOB, queue, id), "/jobs/", "cancelling the job", error) != nullptr;
}

// A cancel that was not confirmed is tried again once the server answers.
void CancelJob(CupsConnection* connection, const std::string& queue, int id, const CupsTimes& times,
               PendingCancels* pending) {
    ServiceError ignored;
    if (!CancelJob(connection, queue, id, times, ignored) && pending) pending->Add(queue, id);
}

struct JobState {
    ipp_jstate_t state = IPP_JSTATE_PENDING;
    bool queueStopped = false;  // job-state-reasons says the queue is stopped
    std::string message;        // job-printer-state-message, what the device's backend says
    // CUPS's own backends count the job's one impression ("PAGE: 1 1") just
    // before they send its data: from then on the unit may have it.
    bool sendingBegun = false;
};

std::string StateName(ipp_jstate_t state) {
    switch (state) {
        case IPP_JSTATE_PENDING: return "pending";
        case IPP_JSTATE_HELD: return "held";
        case IPP_JSTATE_PROCESSING: return "processing";
        case IPP_JSTATE_STOPPED: return "stopped";
        case IPP_JSTATE_CANCELED: return "canceled";
        case IPP_JSTATE_ABORTED: return "aborted";
        case IPP_JSTATE_COMPLETED: return "completed";
    }
    return "in state " + std::to_string(static_cast<int>(state));
}

// The document's data goes to CUPS in pieces of 64 KiB (job_data_buffer.h);
// a piece CUPS does not take fails the write that filled it, or the finish.
class CupsJobStream final : public JobStream {
public:
    CupsJobStream(std::unique_ptr<CupsConnection> connection, std::string queue, int id, const CupsTimes& times,
                  std::shared_ptr<PendingCancels> pending)
        : pending_(std::move(pending)),
          connection_(std::move(connection)),
          queue_(std::move(queue)),
          id_(id),
          times_(times),
          data_([this](std::span<const std::uint8_t> piece) {
              return cupsWriteRequestData(connection_->Http(), reinterpret_cast<const char*>(piece.data()),
                                          piece.size()) == HTTP_STATUS_CONTINUE;
          }) {}
    // A job not finished is withdrawn; the job's connection may be in the
    // middle of its document, so the cancel goes on a new one.
    ~CupsJobStream() override {
        connection_.reset();
        if (!finished_) CancelJob(nullptr, queue_, id_, times_, pending_.get());
    }
    CupsJobStream(const CupsJobStream&) = delete;
    CupsJobStream& operator=(const CupsJobStream&) = delete;

    std::uint32_t Id() const override { return static_cast<std::uint32_t>(id_); }

    bool Write(std::span<const std::uint8_t> bytes, ServiceError& error) override {
        if (data_.Write(bytes)) return true;
        error = connection_->Failure("sending the job's data");
        return false;
    }

    // A document CUPS does not accept (an empty one, for instance: CUPS takes
    // no job without data) leaves the job withdrawn when the stream goes.
    bool Finish(ServiceError& error) override {
        if (!data_.Flush()) {
            error = connection_->Failure("sending the job's data");
            return false;
        }
        http_t* http = connection_->Http();
        // The end of the chunked document, then CUPS's answer to it.
        if (httpWrite2(http, "", 0) < 0) {
            error = connection_->Failure("ending the job");
            return false;
        }
        const IppResponse response(cupsGetResponse(http, ("/printers/" + queue_).c_str()));
        const ipp_status_t status = cupsLastError();
        if (!response || status >= IPP_STATUS_REDIRECTION_OTHER_SITE) {
            error = response ? LastCupsError("ending the job") : connection_->Failure("ending the job");
            return false;
        }
        finished_ = true;
        return true;
    }

    bool AwaitDelivery(const DeliveryBound& bound, ServiceError& error) override {
        if (!finished_) {
            error = {platform::kErrorOutOfOrder, "the job's document was not ended"};
            return false;
        }
        Clock::time_point deadline = Clock::now() + bound.normal;
        std::chrono::milliseconds allowed = bound.normal;
        bool extended = false;
        bool begun = false;  // seen by an earlier poll
        std::chrono::milliseconds pause = kFirstJobStatePoll;
        for (;;) {
            std::this_thread::sleep_for(std::min(pause, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                            std::max(deadline - Clock::now(), Clock::duration{}))));
            pause = std::min(pause * 3 / 2, kLongestJobStatePoll);
            JobState job;
            if (!AskState(job, error)) {
                error.text += begun ? "; CUPS had begun sending the job: the unit may have it"
                                    : "; CUPS had not begun sending the job";
                return Withdraw(nullptr, error);
            }
            begun = begun || job.sendingBegun;
            if (job.state == IPP_JSTATE_COMPLETED) return true;
            const std::string where = "job " + std::to_string(id_) + " on queue '" + queue_ + "'";
            const std::string said = job.message.empty() ? "" : " (" + job.message + ")";
            if (job.state >= IPP_JSTATE_STOPPED || job.state == IPP_JSTATE_HELD || job.queueStopped) {
                const std::string how = job.queueStopped && job.state < IPP_JSTATE_STOPPED
                                            ? StateName(job.state) + " in a paused queue"
                                            : StateName(job.state);
                error = begun ? ServiceError{platform::kErrorMaybeDelivered,
                                             where + " was " + how + " by CUPS after it had begun sending it" + said +
                                                 ": the unit may have it, all or part"}
                              : ServiceError{platform::kErrorJobNotDelivered, where + " was " + how + " by CUPS, not delivered" + said};
                return Withdraw(connection_.get(), error);
            }
            if (Clock::now() < deadline) continue;
            // CUPS's backend may be in its known wait at the job's end: the
            // job gets that time too, once, and the first such job says why.
            if (begun && !extended && bound.endOfJob.count() > 0) {
                extended = true;
                deadline += bound.endOfJob;
                allowed += bound.endOfJob;
                if (bound.slow) bound.slow();
                continue;
            }
            const std::string within = " within " + std::to_string(allowed.count()) + " ms, still " + StateName(job.state) + said;
            error = begun ? ServiceError{platform::kErrorMaybeDelivered,
                                         where + ": CUPS had begun sending it and did not complete it" + within +
                                             "; the unit may have it"}
                          : ServiceError{platform::kErrorJobNotCompleted,
                                         where + ": CUPS had not begun sending it" + within +
                                             "; cancelled, it can never reach the unit"};
            return Withdraw(connection_.get(), error);
        }
    }

private:
    // The job cancelled; a cancel that failed is told after the failure
    // that called for it, with the job's number to cancel it by hand.
    bool Withdraw(CupsConnection* connection, ServiceError& error) {
        ServiceError cancel;
        if (!CancelJob(connection, queue_, id_, times_, cancel)) {
            error.text += "; job " + std::to_string(id_) + " could not be cancelled (" + cancel.text + ")";
            if (pending_) pending_->Add(queue_, id_);
        }
        return false;
    }

    bool AskState(JobState& job, ServiceError& error) {
        ipp_t* request = JobRequest(IPP_OP_GET_JOB_ATTRIBUTES, queue_, id_);
        static constexpr std::array<const char*, 4> kAttributes{"job-state", "job-state-reasons",
                                                                "job-printer-state-message", "job-impressions-completed"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(kAttributes.size()), nullptr, kAttributes.data());
        const IppResponse response = connection_->Do(request, "/jobs/", "asking for the job's state", error);
        if (!response) return false;
        ipp_attribute_t* state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM);
        if (!state) {
            error = {platform::kErrorCupsFailed, "asking for the job's state: CUPS gave none"};
            return false;
        }
        job.state = static_cast<ipp_jstate_t>(ippGetInteger(state, 0));
        if (ipp_attribute_t* reasons = ippFindAttribute(response.get(), "job-state-reasons", IPP_TAG_KEYWORD))
            for (int i = 0; i < ippGetCount(reasons); ++i)
                if (const char* reason = ippGetString(reasons, i, nullptr);
                    reason && std::string_view(reason) == "printer-stopped")
                    job.queueStopped = true;
        if (ipp_attribute_t* message = ippFindAttribute(response.get(), "job-printer-state-message", IPP_TAG_TEXT))
            if (const char* text = ippGetString(message, 0, nullptr)) job.message = text;
        if (ipp_attribute_t* done = ippFindAttribute(response.get(), "job-impressions-completed", IPP_TAG_INTEGER))
            job.sendingBegun = ippGetInteger(done, 0) > 0;
        // A job waiting in a queue stopped meanwhile (by hand, or by CUPS
        // after the device failed) would wait there until the queue is
        // resumed: CUPS does not say so in the job's reasons.
        if (job.state == IPP_JSTATE_PENDING && !job.queueStopped) return AskQueueStopped(job, error);
        return true;
    }

    bool AskQueueStopped(JobState& job, ServiceError& error) {
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(queue_).c_str());
        static constexpr std::array<const char*, 2> kAttributes{"printer-state", "printer-state-message"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(kAttributes.size()), nullptr, kAttributes.data());
        const IppResponse response = connection_->Do(request, "/", "asking for the queue's state", error);
        if (!response) return false;
        ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
        job.queueStopped = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
        if (ipp_attribute_t* message = ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT))
            if (const char* text = ippGetString(message, 0, nullptr); text && *text && job.message.empty())
                job.message = text;
        return true;
    }

    std::shared_ptr<PendingCancels> pending_;
    std::unique_ptr<CupsConnection> connection_;
    std::string queue_;
    int id_;
    CupsTimes times_;
    JobDataBuffer data_;
    bool finished_ = false;
};

}  // namespace

std::unique_ptr<JobStream> StartCupsJob(const std::string& queue, const std::string& docName, const CupsTimes& times,
                                        ServiceError& error, std::shared_ptr<PendingCancels> pending) {
    std::unique_ptr<CupsConnection> connection = CupsConnection::Open(times, error);
    if (!connection) return nullptr;
    ipp_t* create = ippNewRequest(IPP_OP_CREATE_JOB);
    ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(queue).c_str());
    ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, docName.c_str());
    const IppResponse created = connection->Do(create, ("/printers/" + queue).c_str(), "creating the job", error);
    ipp_attribute_t* idAttribute = created ? ippFindAttribute(created.get(), "job-id", IPP_TAG_INTEGER) : nullptr;
    const int id = idAttribute ? ippGetInteger(idAttribute, 0) : 0;
    if (id <= 0) {
        if (created) error = {platform::kErrorCupsFailed, "creating the job: CUPS gave no job id"};
        return nullptr;
    }
    if (cupsStartDocument(connection->Http(), queue.c_str(), id, docName.c_str(), CUPS_FORMAT_RAW, 1) !=
        HTTP_STATUS_CONTINUE) {
        error = connection->Failure("starting the job's document");
        connection.reset();
        CancelJob(nullptr, queue, id, times, pending.get());
        return nullptr;
    }
    return std::make_unique<CupsJobStream>(std::move(connection), queue, id, times, std::move(pending));
}

bool CancelCupsJob(const std::string& queue, int id, const CupsTimes& times, ServiceError& error) {
    return CancelJob(nullptr, queue, id, times, error);
}

}  // namespace orlax::cups
