#include "results_table.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>

namespace orlax::bench {
namespace {

// A figure: a benchmark's time per call, or one of its counters.
struct Quantity {
    const char* benchmark;
    const char* counter = nullptr;  // nullptr: the time per call
};

enum class Unit { Time, Memory, Rate };

enum class GoalKind {
    None,          // shown for scale only
    RatioAtMost,   // figure <= limit * reference
    ExcessAtMost,  // figure <= reference + limit (in the row's unit's base: ns or KiB)
    Below,         // figure < limit; the reference column shows the limit
};

struct Goal {
    GoalKind kind = GoalKind::None;
    double limit = 0;
};

struct Row {
    const char* what;
    Quantity figure;
    const char* referenceWhat;
    Quantity reference;  // benchmark nullptr: none (a Below goal)
    Unit unit;
    Goal goal;
};

constexpr double kMsInNs = 1e6;
constexpr double kMiBInKiB = 1024;

constexpr const char* kBareWhat = "bare TCP connect + 8 B request + 100 B reply";
constexpr Quantity kBareFigure{name::kNetworkRoundRobin, counter::kBare};

// clang-format off
constexpr std::array kRows{
    Row{"status query, emulated spooler (GetDeviceStatus)", {name::kEmulatedQuery}, kBareWhat, kBareFigure,
        Unit::Time, {}},
    Row{"status exchange, network link client to orlax-emulator",
        {name::kNetworkRoundRobin, counter::kLinkExchange}, kBareWhat, kBareFigure, Unit::Time, {}},
    Row{"status query over the network link to orlax-emulator (GetDeviceStatus)",
        {name::kNetworkRoundRobin, counter::kLinkQuery},
        kBareWhat, kBareFigure, Unit::Time, {GoalKind::RatioAtMost, 2.0}},
    Row{"the same query against the bare server (the tool's own share)",
        {name::kNetworkRoundRobin, counter::kLinkQueryBare}, kBareWhat, kBareFigure, Unit::Time, {}},
    Row{"status query through the CUPS queue (queue looked up in cupsd)",
        {name::kNetworkRoundRobin, counter::kCupsQuery}, kBareWhat, kBareFigure, Unit::Time, {}},
    Row{"ShowStatusReport on a record", {name::kShowStatusReport}, kBareWhat, kBareFigure, Unit::Time, {}},
    Row{"FINAL CHECK, unit out of tolerance (every test fails)", {name::kFinalCheckReject},
        "the check's own fixed pauses", {name::kFinalCheckReject, counter::kPause}, Unit::Time, {}},
    Row{"FINAL CHECK, passing unit (record written and synced)", {name::kFinalCheckPass},
        "the check's own fixed pauses", {name::kFinalCheckPass, counter::kPause}, Unit::Time, {}},
    Row{"FINAL CHECK, passing unit, its record also in the line database (PostgreSQL, Unix socket)",
        {name::kFinalCheckLineDatabase}, "the same, the record file alone", {name::kFinalCheckPass}, Unit::Time,
        {GoalKind::ExcessAtMost, 50 * kMsInNs}},
    Row{"outbox drain after an outage of 1000 records (rows committed per second)",
        {name::kOutboxDrain, counter::kDrainRate}, "-", {nullptr}, Unit::Rate, {}},
    Row{"SendDeviceFile 64 MiB, emulated spooler, counting sink", {name::kSendEmulated, counter::kSend},
        "cat file > /dev/null", {name::kSendEmulated, counter::kCat}, Unit::Time, {GoalKind::RatioAtMost, 1.5}},
    Row{"SendDeviceFile 64 MiB to a CUPS raw queue (until CUPS completed it)", {name::kSendCups, counter::kSend},
        "lp -o raw file, polled until completed", {name::kSendCups, counter::kLp}, Unit::Time,
        {GoalKind::RatioAtMost, 1.1}},
    Row{"a command's round trip through a CUPS raw queue (WriteRawJob, submitted to completed)",
        {name::kCommandCups, counter::kSend}, "lp -o raw of the 8 bytes, polled until completed",
        {name::kCommandCups, counter::kLp}, Unit::Time, {GoalKind::RatioAtMost, 1.1}},
    Row{"orlaxctl --emulate send-test-file, 256 MiB: peak RSS", {name::kPeakEmulatedLarge, counter::kPeak},
        "the same with 1 MiB", {name::kPeakEmulatedSmall, counter::kPeak}, Unit::Memory,
        {GoalKind::ExcessAtMost, 2 * kMiBInKiB}},
    Row{"orlaxctl send-test-file to the CUPS queue, 256 MiB: peak RSS", {name::kPeakCupsLarge, counter::kPeak},
        "the same with 1 MiB", {name::kPeakCupsSmall, counter::kPeak}, Unit::Memory,
        {GoalKind::ExcessAtMost, 2 * kMiBInKiB}},
    Row{"start-up: orlaxctl --emulate list-queues", {name::kStartUp, counter::kListQueues}, "start-up: true",
        {name::kStartUp, counter::kTrue}, Unit::Time, {}},
    Row{"start-up: orlax-burner window to its first paint (offscreen)", {name::kFirstPaint}, "limit", {nullptr},
        Unit::Time, {GoalKind::Below, 300 * kMsInNs}},
};
// clang-format on

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string FormatValue(double value, Unit unit) {
    if (unit == Unit::Memory) return Format("%.1f MiB", value / kMiBInKiB);
    if (unit == Unit::Rate) return Format("%.0f rows/s", value);
    if (value >= 1e9) return Format("%.2f s", value / 1e9);
    if (value >= 1e6) return Format("%.1f ms", value / 1e6);
    if (value >= 1e3) return Format("%.1f µs", value / 1e3);
    return Format("%.0f ns", value);
}

struct Figure {
    double value = 0;
    double spread = 0;
    std::string missing;  // why there is no value; empty when there is one
};

Figure Lookup(const Measurements& measurements, const Quantity& quantity) {
    const Measurement* found = measurements.Find(quantity.benchmark);
    if (!found) return {0, 0, "not run"};
    if (!found->failure.empty()) return {0, 0, found->failure};
    if (!quantity.counter) return {found->nsPerCall, found->spread, {}};
    const auto value = found->counters.find(quantity.counter);
    if (value == found->counters.end()) return {0, 0, "not measured"};
    const auto spread = found->counterSpreads.find(quantity.counter);
    return {value->second, spread == found->counterSpreads.end() ? 0 : spread->second, {}};
}

std::string GoalText(const Row& row) {
    switch (row.goal.kind) {
        case GoalKind::None: return "-";
        case GoalKind::RatioAtMost: return Format("≤ %.2g×", row.goal.limit);
        case GoalKind::ExcessAtMost: return "≤ reference + " + FormatValue(row.goal.limit, row.unit);
        case GoalKind::Below: return "< " + FormatValue(row.goal.limit, row.unit);
    }
    return "-";
}

bool Holds(const Row& row, double figure, double reference) {
    switch (row.goal.kind) {
        case GoalKind::None: return true;
        case GoalKind::RatioAtMost: return figure <= row.goal.limit * reference;
        case GoalKind::ExcessAtMost: return figure <= reference + row.goal.limit;
        case GoalKind::Below: return figure < row.goal.limit;
    }
    return false;
}

std::string SpreadText(double spread) { return spread > 0 ? Format("%.0f%%", spread * 100) : "-"; }

}  // namespace

bool PrintResultsTable(const Measurements& measurements, std::ostream& out) {
    out << "| measurement | figure | reference | reference figure | ratio | goal | holds | spread |\n"
        << "|---|---:|---|---:|---:|---|---|---:|\n";
    bool allHold = true;
    for (const Row& row : kRows) {
        const Figure figure = Lookup(measurements, row.figure);
        const bool limitOnly = row.reference.benchmark == nullptr;
        const Figure reference = limitOnly ? Figure{row.goal.limit, 0, {}} : Lookup(measurements, row.reference);
        const bool noReference = limitOnly && row.goal.kind == GoalKind::None;
        out << "| " << row.what << " | ";
        out << (figure.missing.empty() ? FormatValue(figure.value, row.unit) : "n/a (" + figure.missing + ")");
        out << " | " << row.referenceWhat << " | ";
        if (noReference)
            out << "-";
        else
            out << (reference.missing.empty() ? FormatValue(reference.value, row.unit)
                                              : "n/a (" + reference.missing + ")");
        const bool both = figure.missing.empty() && reference.missing.empty() && reference.value > 0;
        out << " | " << (both ? Format("%.3g", figure.value / reference.value) : "n/a");
        out << " | " << GoalText(row) << " | ";
        if (row.goal.kind == GoalKind::None) {
            out << "-";
        } else if (!both) {
            out << "n/a";
        } else {
            const bool holds = Holds(row, figure.value, reference.value);
            allHold = allHold && holds;
            out << (holds ? "yes" : "**no**");
        }
        out << " | " << SpreadText(std::max(figure.spread, reference.spread)) << " |\n";
    }
    return allHold;
}

}  // namespace orlax::bench
