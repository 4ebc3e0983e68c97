// The jobs of the benchmark's CUPS queue: a send is timed only while no
// earlier job is still being delivered, and the finished jobs are purged so
// that the spool does not fill up with copies of the test file.
#pragma once

#include <chrono>
#include <string>

namespace orlax::bench {

// Waits until `queue` has no pending or processing job; false after `limit`.
bool WaitUntilQueueIdle(const std::string& queue, std::chrono::seconds limit = std::chrono::seconds(120));

// Cancels every job of `queue` and removes its files and history (needs
// CUPS administrator rights; without them it does nothing).
void PurgeQueueJobs(const std::string& queue);

}  // namespace orlax::bench
