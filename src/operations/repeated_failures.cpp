#include "operations/repeated_failures.h"

#include <string_view>

#include "operations/operator_log.h"
#include "util/format.h"

namespace orlax::operations {
namespace {

// A failed status read writes a dot per retry, and how many retries fit in
// its budget varies from poll to poll: blocks that differ only in that are
// the same failure.
std::string Folded(std::string_view block) {
    std::string folded;
    for (const char c : block)
        if (c != '.' || folded.empty() || folded.back() != '.') folded += c;
    return folded;
}

}  // namespace

RepeatedFailures::~RepeatedFailures() { TellLeftOut(); }

void RepeatedFailures::Hold(std::string* block) { log_.HoldInto(block); }

void RepeatedFailures::Take(const std::string& block) {
    if (block.empty()) {  // a read that succeeded ends the run
        TellLeftOut();
        last_.clear();
        return;
    }
    std::string folded = Folded(block);
    if (folded == last_ && shown_ >= kShown) {
        ++leftOut_;
        return;
    }
    TellLeftOut();
    shown_ = folded == last_ ? shown_ + 1 : 1;
    last_ = std::move(folded);
    log_.AppendLog(block);
}

void RepeatedFailures::TellLeftOut() {
    if (leftOut_ == 0) return;
    log_.AppendLog(util::FormatCut(80, "... the same %d more times !!\r\n", leftOut_));
    leftOut_ = 0;
    shown_ = 0;
}

}  // namespace orlax::operations
