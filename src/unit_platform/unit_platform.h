// The platform a main window runs on, as the unit options choose it: with
// --emulate an emulated unit (its scenario, its journal) behind an emulated
// spooler, on the virtual clock with --fast or else the real one; without
// it the system's print spooler (CUPS) on the real clock.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/spooler.h"
#include "unit_platform/unit_options.h"

namespace orlax::unit_platform {

class UnitPlatform {
public:
    virtual ~UnitPlatform() = default;
    virtual platform::Spooler& Spooler() = 0;
    virtual platform::Clock& Clock() = 0;
    // "error N: TEXT" for the system spooler's last failure when it has its
    // cause in words (the log shows only the code); empty otherwise.
    virtual std::string SpoolerFailure() const { return {}; }
    // The device URI of `queue` as the print service gives it; empty when
    // it gives none (an emulated unit has none).
    virtual std::string DeviceUri(const std::string& queue) {
        static_cast<void>(queue);
        return {};
    }
    // Where the system spooler's notices go (a slow job's cause and fix,
    // jobs of an earlier run cancelled); the emulated one gives none.
    virtual void SetSpoolerNotice(std::function<void(std::string_view)>) {}
};

// Whether this build has the system's print spooler.
bool HaveSystemSpooler();

// nullptr with `error` set when the choice does not hold together, the
// scenario file cannot be loaded or the journal cannot be opened; and,
// without --emulate, when the build has no system spooler (see
// HaveSystemSpooler: each program words that itself).
std::unique_ptr<UnitPlatform> MakeUnitPlatform(const UnitChoice& choice, std::string& error);

}  // namespace orlax::unit_platform
