#include "gui/event_trace.h"

namespace orlax::gui {

EventTrace::EventTrace(const std::string& path)
    : start_(std::chrono::steady_clock::now()), file_(path, std::ios::out | std::ios::trunc) {}

void EventTrace::Line(std::string_view text) {
    if (!file_.is_open()) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
    file_ << ms.count() << ' ' << text << '\n';
    file_.flush();
}

}  // namespace orlax::gui
