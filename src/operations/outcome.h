// Whether an operation took one of its failure paths since the last reset:
// a status not read, a command or file not sent, a final check not passed, a
// record not written. The front ends turn it into an exit status, and name
// the cause of the first failure of each step they run.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace orlax::app {

class Outcome {
public:
    void Failed(std::string_view cause = "the operation failed") {
        failed_ = true;
        ++failures_;
        if (cause_.empty()) cause_ = cause;
    }
    bool AnyFailed() const { return failed_; }
    void Reset() {
        failed_ = false;
        cause_.clear();
    }

    // How many failures there have been: a step failed when it grew.
    int Failures() const { return failures_; }
    // The cause of the first failure since the last call, and forgets it.
    std::string TakeCause() { return std::exchange(cause_, std::string()); }

private:
    bool failed_ = false;
    int failures_ = 0;
    std::string cause_;
};

}  // namespace orlax::app
