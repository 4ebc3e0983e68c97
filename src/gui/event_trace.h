// A line per window event of the desktop program, for the tests that drive
// it on an X server with real input: windows shown (with their controls'
// places) and closed, handlers started and returned, pauses ended. Each line
// starts with the milliseconds of the steady clock since the trace began.
// orlax-burner writes one when ORLAX_BURNER_TRACE names a file.
#pragma once

#include <chrono>
#include <fstream>
#include <string>
#include <string_view>

namespace orlax::gui {

class EventTrace {
public:
    // Creates (or empties) the file at `path`. When it cannot be opened,
    // IsOpen() is false and nothing is written.
    explicit EventTrace(const std::string& path);

    bool IsOpen() const { return file_.is_open(); }
    // "<ms> <text>\n", flushed at once so that a reader sees it now.
    void Line(std::string_view text);

private:
    std::chrono::steady_clock::time_point start_;
    std::ofstream file_;
};

}  // namespace orlax::gui
