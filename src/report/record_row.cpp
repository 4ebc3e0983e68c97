#include "report/record_row.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <nlohmann/json.hpp>

#include "report/status_json.h"
#include "report/unit_serial.h"
#include "util/hex.h"

namespace orlax::report {
namespace {

using Json = nlohmann::ordered_json;
using K = ColumnKind;

constexpr std::array kColumns{
    RowColumn{"record_id", K::Uuid},
    // The line's fields, in the line's order.
    RowColumn{"record_number", K::Integer},
    RowColumn{"fixed_text", K::Text},
    RowColumn{"record_time", K::Text},
    RowColumn{"record_date", K::Text},
    RowColumn{"expected_firmware", K::Text},
    RowColumn{"lex_version", K::Integer},
    RowColumn{"disks_printed", K::Integer},
    RowColumn{"disks_picked", K::Integer},
    RowColumn{"vertical_offset", K::Integer},
    RowColumn{"horizontal_offset", K::Integer},
    RowColumn{"left_bin", K::Integer},
    RowColumn{"recorder", K::Integer},
    RowColumn{"printer", K::Integer},
    RowColumn{"right_bin", K::Integer},
    RowColumn{"hook", K::Integer},
    RowColumn{"tray_out", K::Integer},
    RowColumn{"picker_switch", K::Integer},
    RowColumn{"arm_home", K::Integer},
    RowColumn{"last_disk_left", K::Integer},
    RowColumn{"last_disk_right", K::Integer},
    RowColumn{"tray_in_sensor_low", K::Integer},
    RowColumn{"tray_in_sensor_high", K::Integer},
    RowColumn{"disk_in_sensor_low", K::Integer},
    RowColumn{"disk_in_sensor_high", K::Integer},
    // What the station adds.
    RowColumn{"recorded_at", K::Timestamp},
    RowColumn{"station", K::Text},
    RowColumn{"queue", K::Text},
    RowColumn{"device_uri", K::Text, true},
    RowColumn{"serial", K::Text, true},
    RowColumn{"tool_version", K::Text},
    RowColumn{"status_record", K::Bytes},
    RowColumn{"status_json", K::Json},
};
static_assert(kColumns[kFirstLineColumn + kLineFieldCount].name == "recorded_at");

std::size_t IndexOf(std::string_view column) {
    const auto found = std::ranges::find(kColumns, column, &RowColumn::name);
    return static_cast<std::size_t>(found - kColumns.begin());
}

std::optional<std::int64_t> Whole(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// Whether an outbox value has the form its column asks for.
bool Fits(const Json& value, const RowColumn& column) {
    if (value.is_null()) return column.nullable;
    if (column.kind == K::Integer) return value.is_number_integer();
    if (!value.is_string()) return false;
    const auto& text = value.get_ref<const std::string&>();
    const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    switch (column.kind) {
        case K::Uuid:
            return text.size() == 36 && std::ranges::all_of(text, [&](char c) { return c == '-' || hex(c); });
        case K::Bytes:
            return text.size() == 2 * protocol::kStatusRecordSize && std::ranges::all_of(text, hex);
        case K::Json: return Json::accept(text);
        default: return true;
    }
}

}  // namespace

std::span<const RowColumn> RowColumns() { return kColumns; }

const RowValue& RecordRow::Value(std::string_view column) const { return values.at(IndexOf(column)); }

std::string RecordRow::RecordId() const {
    const RowValue& id = Value("record_id");
    return id && std::holds_alternative<std::string>(*id) ? std::get<std::string>(*id) : std::string();
}

std::optional<RecordRow> RowOfLine(std::string_view line, const std::tm& at,
                                   std::span<const std::uint8_t, protocol::kStatusRecordSize> status,
                                   const StationFacts& facts, std::string_view recordId) {
    constexpr std::string_view kEnd = ",\r\n";
    if (!line.ends_with(kEnd)) return std::nullopt;
    line.remove_suffix(kEnd.size() - 1);  // keep the last comma: every field ends with one
    RecordRow row;
    row.values.resize(kColumns.size());
    row.values[0] = std::string(recordId);
    std::size_t column = kFirstLineColumn;
    for (std::size_t start = 0; start < line.size(); ++column) {
        const std::size_t comma = line.find(',', start);
        if (column >= kFirstLineColumn + kLineFieldCount) return std::nullopt;
        const std::string_view text = line.substr(start, comma - start);
        if (kColumns[column].kind == K::Integer) {
            const auto number = Whole(text);
            if (!number) return std::nullopt;
            row.values[column] = *number;
        } else {
            row.values[column] = std::string(text);
        }
        start = comma + 1;
    }
    if (column != kFirstLineColumn + kLineFieldCount) return std::nullopt;
    const auto put = [&](std::string_view name, RowValue value) { row.values[IndexOf(name)] = std::move(value); };
    put("recorded_at", UtcTimeText(UtcSecondsOf(at)));
    put("station", facts.station);
    put("queue", facts.queue);
    if (!facts.deviceUri.empty()) put("device_uri", facts.deviceUri);
    if (auto serial = SerialOfDeviceUri(facts.deviceUri)) put("serial", std::move(*serial));
    put("tool_version", facts.toolVersion);
    put("status_record", util::Hex(status, util::HexCase::Lower));
    put("status_json", StatusRecordJson(status));
    return row;
}

std::string OutboxLine(const RecordRow& row) {
    Json object = Json::object();
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const RowValue& value = row.values.at(i);
        Json& item = object[std::string(kColumns[i].name)];
        if (!value) continue;  // null
        std::visit([&item](const auto& v) { item = v; }, *value);
    }
    return object.dump();
}

std::optional<RecordRow> RowOfOutboxLine(std::string_view line, std::string& error) {
    const Json object = Json::parse(line, nullptr, false);
    if (!object.is_object()) {
        error = "not a JSON object";
        return std::nullopt;
    }
    RecordRow row;
    for (const RowColumn& column : kColumns) {
        const auto item = object.find(std::string(column.name));
        if (item == object.end() || !Fits(*item, column)) {
            error = "no valid " + std::string(column.name);
            return std::nullopt;
        }
        if (item->is_null())
            row.values.emplace_back();
        else if (item->is_number_integer())
            row.values.emplace_back(item->get<std::int64_t>());
        else
            row.values.emplace_back(item->get<std::string>());
    }
    return row;
}

std::int64_t UtcSecondsOf(const std::tm& local) {
    std::tm copy = local;
    return static_cast<std::int64_t>(::timegm(&copy)) - local.tm_gmtoff;
}

std::string UtcTimeText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    ::gmtime_r(&t, &utc);
    std::array<char, 32> text{};
    const std::size_t n = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    return {text.data(), n};
}

}  // namespace orlax::report
