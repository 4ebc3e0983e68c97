// The unit's spooler as the desktop program hands it to the device logic,
// watched for what the logic does with the unit, so that the clock can tell
// a wait for the unit from a fixed pause: a pause that comes right after a
// status query is a poll (the logic waits until the unit is no longer busy),
// one after a job is part of the operation's own sequence. The polls of one
// wait are counted; a job, or a status query that does not follow a pause,
// starts the count again.
#pragma once

#include "platform/forwarding_spooler.h"

namespace orlax::gui {

class WatchedSpooler final : public platform::ForwardingSpooler {
public:
    explicit WatchedSpooler(platform::Spooler& spooler) : ForwardingSpooler(spooler) {}

    // The clock's side: a pause begins; the number of this poll of the
    // current wait for the unit (1 for the first), or 0 for a fixed pause.
    int BeginPause();
    void EndPause();

    int OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults* defaults) override;

private:
    enum class Last { Nothing, StatusQuery, Job, Pause };

    Last last_ = Last::Nothing;
    bool lastPauseWasPoll_ = false;
    int polls_ = 0;
};

}  // namespace orlax::gui
