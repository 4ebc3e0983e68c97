// Runs another program as a child of the benchmark: how long it took from
// the launch to its end, how much memory it held at most, and what it wrote
// to stdout when that is wanted.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace orlax::bench {

struct ChildRun {
    int exitStatus = -1;              // the exit code; -1 when it did not exit normally
    std::chrono::nanoseconds wall{};  // launch to end
    long peakResidentKiB = 0;         // its largest resident set
    std::chrono::steady_clock::time_point launched;
    std::string out;  // stdout, when asked for
};

struct ChildOptions {
    bool keepOut = false;                  // else stdout goes to /dev/null
    std::vector<std::string> environment;  // NAME=VALUE added to ours
};

// Runs `argv` (argv[0] is a path, or a name looked up on PATH) to its end;
// stderr goes to /dev/null. nullopt when it could not be started.
std::optional<ChildRun> RunChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

// The same as one line for messages: the words joined by blanks.
std::string CommandLine(const std::vector<std::string>& argv);

}  // namespace orlax::bench
