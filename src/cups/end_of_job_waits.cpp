#include "cups/end_of_job_waits.h"

#include "cups/prompt_delivery.h"
#include "links/schemes.h"

namespace orlax::cups {
namespace {

// The backend's wait and a margin for a loaded machine.
constexpr std::chrono::milliseconds kUsbEndOfJob{12000};
constexpr std::chrono::milliseconds kSocketEndOfJob{95000};

}  // namespace

EndOfJobWait EndOfJobWaitFor(std::string_view deviceUri, std::string_view queue) {
    const std::string name(queue);
    if (links::HasScheme(deviceUri, "usb"))
        return {kUsbEndOfJob,
                "CUPS's usb backend waits about 8 s after each job for the unit to answer a read-back, unless the "
                "unit is marked unidirectional for it; 'orlax-station add " + name + "' does that"};
    if (links::HasScheme(deviceUri, "socket") && !EndsJobsPromptly(deviceUri))
        return {kSocketEndOfJob,
                "CUPS's socket backend waits up to 90 s after each job for the unit to close the connection, unless "
                "the queue's URI carries waiteof=false; 'orlax-station add " + name + " " +
                    WithPromptEnd(deviceUri) + "' sets that"};
    return {};
}

}  // namespace orlax::cups
