#include "cups_queue_jobs.h"

#include <cups/cups.h>

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

void PurgeQueueJobs(const std::string& queue) { cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), CUPS_JOBID_ALL, 1); }

}  // namespace orlax::bench
