// Whether an operation took one of its failure paths since the last reset:
// a status not read, a command or file not sent, a final check not passed, a
// record not written. The front ends turn it into an exit status.
#pragma once

namespace orlax::app {

class Outcome {
public:
    void Failed() { failed_ = true; }
    bool AnyFailed() const { return failed_; }
    void Reset() { failed_ = false; }

private:
    bool failed_ = false;
};

}  // namespace orlax::app
