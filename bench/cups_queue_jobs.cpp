#include "cups_queue_jobs.h"

#include <cups/cups.h>

#include <array>
#include <cstdlib>
#include <thread>

namespace orlax::bench {
namespace {

constexpr std::chrono::milliseconds kPollEvery{20};

int ActiveJobs(const std::string& queue) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(count, jobs);
    return count;
}

}  // namespace

bool WaitUntilQueueIdle(const std::string& queue, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (ActiveJobs(queue) > 0) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(kPollEvery);
    }
    return true;
}

bool WaitUntilJobCompleted(const std::string& queue, int id, std::chrono::milliseconds every,
                           std::chrono::seconds limit) {
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()), "ipp", nullptr, "localhost",
                     ippPort(), "/printers/%s", queue.c_str());
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.data());
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
        ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/jobs/");
        ipp_attribute_t* state = response ? ippFindAttribute(response, "job-state", IPP_TAG_ENUM) : nullptr;
        const int value = state ? ippGetInteger(state, 0) : 0;
        ippDelete(response);
        if (value == IPP_JSTATE_COMPLETED) return true;
        if (value >= IPP_JSTATE_STOPPED || std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(every);
    }
}

int LpJobId(const std::string& lpOutput) {
    const std::size_t dash = lpOutput.find(" (");
    const std::size_t start = lpOutput.rfind('-', dash);
    if (dash == std::string::npos || start == std::string::npos) return 0;
    return std::atoi(lpOutput.c_str() + start + 1);
}

void PurgeQueueJobs(const std::string& queue) { cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), CUPS_JOBID_ALL, 1); }

}  // namespace orlax::bench
