#include "gui/task_queue.h"

#include <utility>

namespace orlax::gui {

void TaskQueue::Post(Task task) {
    waiting_.push_back(std::move(task));
    if (running_) return;
    running_ = true;
    while (!waiting_.empty()) {
        Task next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    running_ = false;
}

}  // namespace orlax::gui
