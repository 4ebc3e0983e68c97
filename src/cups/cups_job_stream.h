// One RAW job streamed into a CUPS queue: Create-Job, then one
// Send-Document (raw format, last document) whose data is written as it
// comes, on a connection that belongs to this job alone; then, once the
// document is finished, the job's state asked for on the same connection
// until CUPS reports it completed, or ended otherwise, or its bound passes.
#pragma once

#include <memory>
#include <string>

#include "cups/cups_connection.h"
#include "cups/queue_service.h"

namespace orlax::cups {

class PendingCancels;

// Creates the job and opens its document; nullptr (error set) on failure,
// with nothing left behind in the queue. A job whose cancel the server did
// not confirm (it stalled) goes to `pending`, when given, to be cancelled
// once the server answers again.
std::unique_ptr<JobStream> StartCupsJob(const std::string& queue, const std::string& docName, const CupsTimes& times,
                                        ServiceError& error, std::shared_ptr<PendingCancels> pending = nullptr);

// Cancels job `id` of `queue` on a connection of its own; false (error set)
// when CUPS did not confirm it.
bool CancelCupsJob(const std::string& queue, int id, const CupsTimes& times, ServiceError& error);

// How often a finished job's state is asked for: soon after the document
// ends, then less and less often, never less often than the last step.
inline constexpr std::chrono::milliseconds kFirstJobStatePoll{4};
inline constexpr std::chrono::milliseconds kLongestJobStatePoll{20};

}  // namespace orlax::cups
