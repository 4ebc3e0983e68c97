// What the spooler needs from the print service: whether a queue exists and
// where its device is, the local queues, and RAW jobs streamed into a queue.
// CUPS provides it (CupsQueueService); tests put a stand-in in its place.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlax::cups {

// A failure as the service reported it: a code (CUPS's own status where
// CUPS gave one, see spooler_errors.h) and its text.
struct ServiceError {
    std::uint32_t code = 0;
    std::string text;
};

struct QueueInfo {
    std::string name;       // as the service spells it
    std::string deviceUri;  // empty when the service did not give it
    bool paused = false;    // stopped: jobs wait in it, unsent
    bool acceptingJobs = true;
    std::string stateMessage;  // the service's words on the queue's state, if any
};

// How long a finished job may take to be delivered: `normal` (the bound of
// its size); once the service has begun sending it to the device, the
// queue's backend's known wait at a job's end more (end_of_job_waits.h), and
// `slow` is called when a job needs that time.
struct DeliveryBound {
    std::chrono::milliseconds normal{0};
    std::chrono::milliseconds endOfJob{0};
    std::function<void()> slow;
};

// One job being written: its document is open until Finish. A job dropped
// before Finish succeeded is withdrawn, never printed in part. A finished job
// is only queued: AwaitDelivery waits until the service has delivered it.
class JobStream {
public:
    virtual ~JobStream() = default;
    virtual std::uint32_t Id() const = 0;
    // Appends bytes to the document; false when the service did not take them.
    virtual bool Write(std::span<const std::uint8_t> bytes, ServiceError& error) = 0;
    // Closes the document and so queues the job for the device.
    virtual bool Finish(ServiceError& error) = 0;
    // After Finish: waits until the service reports the job completed (true),
    // or stopped, held, aborted or canceled, or not completed within its
    // bound (false, error set): then the job is cancelled. The error says
    // whether the service had begun sending it (the device may have it,
    // kErrorMaybeDelivered) or not (it can never reach the device).
    virtual bool AwaitDelivery(const DeliveryBound& bound, ServiceError& error) = 0;
};

class QueueService {
public:
    virtual ~QueueService() = default;
    // The queue of that name; nullopt (error set) when there is none or the
    // service cannot be asked.
    virtual std::optional<QueueInfo> FindQueue(std::string_view name, ServiceError& error) = 0;
    // The local queues, remote and implicit-class queues left out, in the
    // service's own order. False (error set) when the service cannot be asked.
    virtual bool ListLocalQueues(std::vector<std::string>& names, ServiceError& error) = 0;
    // Creates a job with one document of raw data in `queue`; nullptr (error
    // set) when the service refused.
    virtual std::unique_ptr<JobStream> StartJob(std::string_view queue, std::string_view docName,
                                                ServiceError& error) = 0;
    // Cancels the jobs named `docName` of this user that are not completed
    // in `queue`: what an earlier run left behind. What was cancelled, in
    // words; empty when nothing was.
    virtual std::string WithdrawLeftovers(std::string_view /*queue*/, std::string_view /*docName*/) { return {}; }
};

}  // namespace orlax::cups
