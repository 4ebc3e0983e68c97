// The known waits of CUPS's own backends at a job's end, after the data is
// sent, and what a queue needs so that there is none (prompt_delivery.h):
//
// - usb: a bidirectional printer is read back during the job; at its end
//   the backend waits 7 s for that read, then aborts it and waits 1 s more,
//   after up to 3 s for its side channel: about 8 s in all for a unit that
//   has nothing to say, none for a unit marked unidirectional.
// - socket: the backend closes its side and waits up to 90 s for the unit to
//   close the connection, unless the URI says waiteof=false.
//
// A job through such a queue is given its normal bound and then, once CUPS
// has begun sending it, this wait more; the first job that needs it names
// the cause and the fix.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace orlax::cups {

struct EndOfJobWait {
    std::chrono::milliseconds most{0};  // 0: the backend ends the job when its data is sent
    std::string cause;                  // the cause and the fix, for queue `queue`
};

EndOfJobWait EndOfJobWaitFor(std::string_view deviceUri, std::string_view queue);

}  // namespace orlax::cups
