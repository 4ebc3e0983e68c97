#include "cups/cups_queue_service.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>

#include "cups/cups_job_stream.h"
#include "platform/spooler_errors.h"

namespace orlax::cups {
namespace {

constexpr std::size_t kMaxQueueName = 127;

void AskFor(ipp_t* request, std::span<const char* const> attributes) {
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(attributes.size()), nullptr, attributes.data());
}

std::string StringOf(ipp_t* response, const char* name, ipp_tag_t tag) {
    ipp_attribute_t* attribute = ippFindAttribute(response, name, tag);
    const char* value = attribute ? ippGetString(attribute, 0, nullptr) : nullptr;
    return value ? value : "";
}

}  // namespace

bool IsCupsQueueName(std::string_view name) {
    if (name.empty() || name.size() > kMaxQueueName) return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == '#';
    });
}

std::optional<QueueInfo> CupsQueueService::FindQueue(std::string_view name, ServiceError& error) {
    if (!IsCupsQueueName(name)) {
        error = {platform::kErrorBadQueueName, std::string(platform::SpoolerErrorText(platform::kErrorBadQueueName))};
        return std::nullopt;
    }
    const std::string queue(name);
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()), "ipp", nullptr, "localhost",
                     ippPort(), "/printers/%s", queue.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.data());
    static constexpr std::array<const char*, 5> kAttributes{"printer-name", "device-uri", "printer-state",
                                                            "printer-is-accepting-jobs", "printer-state-message"};
    AskFor(request, kAttributes);

    const std::unique_ptr<CupsConnection> connection = CupsConnection::Open(times_, error);
    if (!connection) {
        ippDelete(request);
        return std::nullopt;
    }
    const IppResponse response = connection->Do(request, "/", "queue '" + queue + "'", error);
    if (!response) return std::nullopt;
    Answered();
    QueueInfo info;
    info.name = StringOf(response.get(), "printer-name", IPP_TAG_NAME);
    info.deviceUri = StringOf(response.get(), "device-uri", IPP_TAG_URI);
    if (info.name.empty()) info.name = queue;
    ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
    info.paused = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    ipp_attribute_t* accepting = ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    info.acceptingJobs = !accepting || ippGetBoolean(accepting, 0);
    info.stateMessage = StringOf(response.get(), "printer-state-message", IPP_TAG_TEXT);
    return info;
}

bool CupsQueueService::ListLocalQueues(std::vector<std::string>& names, ServiceError& error) {
    names.clear();
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static constexpr std::array<const char*, 2> kAttributes{"printer-name", "printer-type"};
    AskFor(request, kAttributes);
    constexpr int kLeftOut = CUPS_PRINTER_REMOTE | CUPS_PRINTER_IMPLICIT;
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type", 0);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type-mask", kLeftOut);

    const std::unique_ptr<CupsConnection> connection = CupsConnection::Open(times_, error);
    if (!connection) {
        ippDelete(request);
        return false;
    }
    const IppResponse response = connection->Do(request, "/", "listing the queues", error);
    if (!response) return cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND;  // CUPS's answer when it has no queue
    Answered();
    // One group of printer attributes per queue, in CUPS's order; the type
    // is checked here too, whatever the server did with the mask.
    std::string name;
    int type = 0;
    const auto take = [&] {
        if (!name.empty() && (type & kLeftOut) == 0) names.push_back(name);
        name.clear();
        type = 0;
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(response.get()); attribute;
         attribute = ippNextAttribute(response.get())) {
        if (ippGetGroupTag(attribute) != IPP_TAG_PRINTER || !ippGetName(attribute)) {
            take();
            continue;
        }
        const std::string_view attributeName = ippGetName(attribute);
        if (attributeName == "printer-name" && ippGetValueTag(attribute) == IPP_TAG_NAME) {
            const char* value = ippGetString(attribute, 0, nullptr);
            name = value ? value : "";
        } else if (attributeName == "printer-type" && ippGetValueTag(attribute) == IPP_TAG_ENUM) {
            type = ippGetInteger(attribute, 0);
        }
    }
    take();
    return true;
}

std::string CupsQueueService::WithdrawLeftovers(std::string_view queue, std::string_view docName) {
    if (!IsCupsQueueName(queue)) return {};
    const std::string name(queue);
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()), "ipp", nullptr, "localhost",
                     ippPort(), "/printers/%s", name.c_str());
    ServiceError error;
    const std::unique_ptr<CupsConnection> connection = CupsConnection::Open(times_, error);
    if (!connection) return {};
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.data());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "not-completed");
    ippAddBoolean(request, IPP_TAG_OPERATION, "my-jobs", 1);
    static constexpr std::array<const char*, 3> kAttributes{"job-id", "job-name", "job-state"};
    AskFor(request, kAttributes);
    const IppResponse jobs = connection->Do(request, "/", "listing the queue's jobs", error);
    if (!jobs) return {};
    // One group of job attributes per job.
    std::string cancelled;
    int id = 0;
    std::string jobName;
    int state = 0;
    const auto take = [&] {
        if (id > 0 && jobName == docName) {
            ipp_t* cancel = ippNewRequest(IPP_OP_CANCEL_JOB);
            ippAddString(cancel, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.data());
            ippAddInteger(cancel, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
            ippAddString(cancel, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
            ServiceError failed;
            const bool done = connection->Do(cancel, "/jobs/", "cancelling a job", failed) != nullptr;
            cancelled += (cancelled.empty() ? "" : ", ") + std::string("job ") + std::to_string(id) + " (" +
                         ippEnumString("job-state", state) + (done ? "" : ", not cancelled: " + failed.text) + ")";
        }
        id = 0;
        jobName.clear();
        state = 0;
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(jobs.get()); attribute; attribute = ippNextAttribute(jobs.get())) {
        if (ippGetGroupTag(attribute) != IPP_TAG_JOB || !ippGetName(attribute)) {
            take();
            continue;
        }
        const std::string_view attributeName = ippGetName(attribute);
        if (attributeName == "job-id") id = ippGetInteger(attribute, 0);
        if (attributeName == "job-state") state = ippGetInteger(attribute, 0);
        if (attributeName == "job-name")
            if (const char* value = ippGetString(attribute, 0, nullptr)) jobName = value;
    }
    take();
    if (cancelled.empty()) return {};
    return "queue '" + name + "': cancelled what an earlier run left unfinished: " + cancelled;
}

std::unique_ptr<JobStream> CupsQueueService::StartJob(std::string_view queue, std::string_view docName,
                                                      ServiceError& error) {
    auto job = StartCupsJob(std::string(queue), std::string(docName), times_, error, pending_);
    if (job) Answered();
    return job;
}

}  // namespace orlax::cups
