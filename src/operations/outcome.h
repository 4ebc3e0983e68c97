// Whether an operation took one of its failure paths: a status not read, a
// command or file not sent, a final check not passed, a record not written. The operations note the device layer's results here;
// the front ends turn it into an exit status and name the cause of the first
// failure of each step they run.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "device/result.h"

namespace orlax::operations {

class Outcome {
public:
    void Failed(std::string_view cause = "the operation failed") {
        failed_ = true;
        ++failures_;
        if (cause_.empty()) cause_ = cause;
    }

    // Notes a device step's result: false, with its failure noted, when it
    // failed.
    [[nodiscard]] bool Check(device::Result result) {
        if (!result) Failed(result.Cause());
        return result.Ok();
    }
    // Notes a step after which the operation goes on whatever came of it
    // (a download's next file, a move's next command): the failure still
    // counts.
    void GoOn(device::Result result) { static_cast<void>(Check(result)); }

    bool AnyFailed() const { return failed_; }

    // How many failures there have been: a step failed when it grew.
    int Failures() const { return failures_; }
    // The cause of the first failure since the last call, and forgets it.
    std::string TakeCause() { return std::exchange(cause_, std::string()); }

private:
    bool failed_ = false;
    int failures_ = 0;
    std::string cause_;
};

}  // namespace orlax::operations
