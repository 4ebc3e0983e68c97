// One run drives a unit at a time. A run takes an advisory lock (flock) for
// each queue it opens, and for the unit the queue's device URI names (a USB
// unit by make, model and serial number, whatever interface or queue leads
// to it; any other unit by its URI), at the queue's first open, and holds
// them until the spooler goes at the run's end; a crash lets them go with the
// process. A second run on the same queue or unit waits a moment for them,
// then fails before it sends anything, naming the holder: "unit in use by PID
// N (program)"; and it stays refused that lock, at once, for the rest of its
// life, so that it never drives the second half of an operation whose first
// half it could not send. Different queues and units never block each other.
//
// Each lock is a file in a folder any local user can write (/run/lock): its
// name is made safe from the queue name or unit, its mode 0666 whatever the
// umask, so that another user's run can take it in turn, and it holds the
// holder's PID and program name, written once the lock is taken. A folder
// that does not exist or refuses the file leaves that run without the lock.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "util/unique_fd.h"

namespace orlax::cups {

struct LockOptions {
    std::string folder = "/run/lock";       // empty: no locks at all
    std::chrono::milliseconds wait{3000};   // how long a second run waits for a lock
    std::string program;                    // the holder's name in the file; empty: this program's
};

class UnitLocks {
public:
    explicit UnitLocks(LockOptions options = {});

    // Takes the locks of `queue` and of the unit `deviceUri` names, unless
    // they are held here already. nullopt when they are held; else the
    // failure's text, "unit in use by PID N (program)".
    std::optional<std::string> Take(std::string_view queue, std::string_view deviceUri);

    // The lock file of a queue, and of the unit a device URI names.
    std::string QueueLockPath(std::string_view queue) const;
    std::string UnitLockPath(std::string_view deviceUri) const;

private:
    std::optional<std::string> TakeFile(const std::string& path);

    LockOptions options_;
    std::map<std::string, util::UniqueFd> held_;  // by path
    std::map<std::string, std::string> refused_;  // by path: the holder it named
};

// The unit a device URI names, as the key of its lock: a usb:// URI by its
// make, model and serial number only; any other URI as it is.
std::string UnitKey(std::string_view deviceUri);

// `text` as a file name: letters, digits, '.', '_' and '-' kept, every other
// byte as %XX; a long one cut and told apart by a digest of the whole.
std::string SafeFileName(std::string_view text);

}  // namespace orlax::cups
