#include "cups/pending_cancels.h"

#include <algorithm>

#include "cups/cups_job_stream.h"

namespace orlax::cups {

void PendingCancels::Retry(const CupsTimes& times) {
    std::erase_if(jobs_, [&](const std::pair<std::string, int>& job) {
        ServiceError ignored;
        return CancelCupsJob(job.first, job.second, times, ignored);
    });
}

}  // namespace orlax::cups
