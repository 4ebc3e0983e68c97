// The busy cursor while a handler runs, and its suspension while a modal
// loop (a dialog, a message box) takes input again inside that handler.
#pragma once

#include <QCursor>
#include <vector>

namespace orlax::gui {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool set_ = false;
};

// Lifts every override cursor for its lifetime and puts them back after.
class CursorSuspension {
public:
    CursorSuspension();
    ~CursorSuspension();
    CursorSuspension(const CursorSuspension&) = delete;
    CursorSuspension& operator=(const CursorSuspension&) = delete;

private:
    std::vector<QCursor> lifted_;  // topmost first
};

}  // namespace orlax::gui
