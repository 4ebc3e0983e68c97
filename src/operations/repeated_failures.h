// A wait that reads the status over and over can fill the operator log with
// the same failure: a unit that is gone answers every poll with the same
// block. The first three blocks of such a run show as they are; the rest are
// counted, and one line says how many more there were when the run ends
// (a different block, a read that appends nothing, or the end of the wait).
#pragma once

#include <string>

namespace orlax::operations {

class OperatorLog;

class RepeatedFailures {
public:
    static constexpr int kShown = 3;  // blocks of one run shown whole

    explicit RepeatedFailures(OperatorLog& log) : log_(log) {}
    // Tells how many blocks were left out, if any.
    ~RepeatedFailures();
    RepeatedFailures(const RepeatedFailures&) = delete;
    RepeatedFailures& operator=(const RepeatedFailures&) = delete;

    // Runs `step` with the log held, then shows what it appended unless it
    // is the same as the block before and kShown of them already showed.
    template <typename Step>
    void Poll(Step&& step) {
        std::string block;
        Hold(&block);
        step();
        Hold(nullptr);
        Take(block);
    }

private:
    void Hold(std::string* block);
    void Take(const std::string& block);
    void TellLeftOut();

    OperatorLog& log_;
    std::string last_;  // the last block shown, its retry dots folded
    int shown_ = 0;     // blocks shown of the current run
    int leftOut_ = 0;   // blocks of the current run left out
};

}  // namespace orlax::operations
