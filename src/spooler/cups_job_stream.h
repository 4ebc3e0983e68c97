// One RAW job streamed into a CUPS queue: Create-Job, then one
// Send-Document (raw format, last document) whose data is written as it
// comes, on a connection that belongs to this job alone.
#pragma once

#include <memory>
#include <string>

#include "spooler/queue_service.h"

namespace orlax::spooler {

// Creates the job and opens its document; nullptr (error set) on failure,
// with nothing left behind in the queue.
std::unique_ptr<JobStream> StartCupsJob(const std::string& queue, const std::string& docName,
                                        ServiceError& error);

}  // namespace orlax::spooler
