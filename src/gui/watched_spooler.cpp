#include "gui/watched_spooler.h"

namespace orlax::gui {

// A status query opens its queue with access rights asked for; a job opens
// it with none.
int WatchedSpooler::OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                                const platform::PrinterDefaults* defaults) {
    if (defaults) {
        if (!(last_ == Last::Pause && lastPauseWasPoll_)) polls_ = 0;
        last_ = Last::StatusQuery;
    } else {
        polls_ = 0;
        last_ = Last::Job;
    }
    return ForwardingSpooler::OpenPrinter(name, handle, defaults);
}

int WatchedSpooler::BeginPause() {
    lastPauseWasPoll_ = last_ == Last::StatusQuery;
    if (!lastPauseWasPoll_) {
        polls_ = 0;
        return 0;
    }
    return ++polls_;
}

void WatchedSpooler::EndPause() { last_ = Last::Pause; }

}  // namespace orlax::gui
