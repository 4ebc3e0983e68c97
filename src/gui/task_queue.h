// One window's handlers, one at a time. A notification that arrives while a
// handler runs (a focus lost to a message box, a close request during a
// pause) waits until that handler has returned, then runs in arrival order:
// handlers never overlap, as on a window system with one message queue.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>

namespace orlax::gui {

class TaskQueue {
public:
    using Task = std::function<void()>;

    // Runs `task` now when nothing runs, else after the running one and
    // those already waiting.
    void Post(Task task);

    bool Running() const { return running_; }
    std::size_t Waiting() const { return waiting_.size(); }
    // Forgets what waits: its window is gone.
    void Clear() { waiting_.clear(); }

private:
    std::deque<Task> waiting_;
    bool running_ = false;
};

}  // namespace orlax::gui
