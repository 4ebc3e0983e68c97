// The jobs of the benchmark's CUPS queue: a send is timed only while no
// earlier job is still being delivered, and the finished jobs are purged so
// that the spool does not fill up with copies of the test file.
#pragma once

#include <chrono>
#include <string>

namespace orlax::bench {

// Waits until `queue` has no pending or processing job; false after `limit`.
bool WaitUntilQueueIdle(const std::string& queue, std::chrono::seconds limit = std::chrono::seconds(120));

// Polls job `id` of `queue` with IPP Get-Job-Attributes every `every` until
// it is completed (true), or ends otherwise or `limit` passes (false).
bool WaitUntilJobCompleted(const std::string& queue, int id, std::chrono::milliseconds every,
                           std::chrono::seconds limit = std::chrono::seconds(30));

// The job id in lp's "request id is QUEUE-N (1 file(s))"; 0 when none.
int LpJobId(const std::string& lpOutput);

// Cancels every job of `queue` and removes its files and history (needs
// CUPS administrator rights; without them it does nothing).
void PurgeQueueJobs(const std::string& queue);

}  // namespace orlax::bench
