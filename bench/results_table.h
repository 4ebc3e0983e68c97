// The table that scripts/bench.sh prints: each figure beside its reference
// from the same run, their ratio, and whether the goal holds.
#pragma once

#include <iosfwd>
#include <string>

#include "measurements.h"

namespace orlax::bench {

// The benchmark names the table reads.
namespace name {
inline constexpr const char* kNetworkRoundRobin = "status/network_round_robin";
inline constexpr const char* kEmulatedQuery = "status/query_emulated_spooler";
inline constexpr const char* kShowStatusReport = "report/show_status_report";
inline constexpr const char* kFinalCheckReject = "report/final_check_out_of_tolerance";
inline constexpr const char* kFinalCheckPass = "report/final_check_passing_unit";
inline constexpr const char* kFinalCheckLineDatabase = "record/final_check_with_line_database";
inline constexpr const char* kOutboxDrain = "record/outbox_drain_after_outage";
inline constexpr const char* kSendEmulated = "file/send_64mib_emulated_vs_cat";
inline constexpr const char* kSendCups = "file/send_64mib_cups_vs_lp";
inline constexpr const char* kCommandCups = "file/command_cups_vs_lp";
inline constexpr const char* kPeakEmulatedSmall = "memory/orlaxctl_emulate_1mib";
inline constexpr const char* kPeakEmulatedLarge = "memory/orlaxctl_emulate_256mib";
inline constexpr const char* kPeakCupsSmall = "memory/orlaxctl_cups_1mib";
inline constexpr const char* kPeakCupsLarge = "memory/orlaxctl_cups_256mib";
inline constexpr const char* kStartUp = "startup/orlaxctl_list_queues_vs_true";
inline constexpr const char* kFirstPaint = "startup/window_first_paint";
}  // namespace name

// Counters that benchmarks set: figures per call (times in ns, memory in KiB).
namespace counter {
inline constexpr const char* kBare = "bare_ns";
inline constexpr const char* kLinkExchange = "link_exchange_ns";
inline constexpr const char* kLinkQuery = "link_query_ns";
inline constexpr const char* kLinkQueryBare = "link_query_bare_ns";
inline constexpr const char* kCupsQuery = "cups_query_ns";
inline constexpr const char* kPause = "pause_ns";
inline constexpr const char* kSend = "send_ns";
inline constexpr const char* kCat = "cat_ns";
inline constexpr const char* kLp = "lp_ns";
inline constexpr const char* kPeak = "peak_kib";
inline constexpr const char* kListQueues = "list_queues_ns";
inline constexpr const char* kTrue = "true_ns";
inline constexpr const char* kDrainRate = "drain_rows_per_s";
}  // namespace counter

// Writes the table in Markdown; true when every goal that could be measured
// holds.
bool PrintResultsTable(const Measurements& measurements, std::ostream& out);

}  // namespace orlax::bench
