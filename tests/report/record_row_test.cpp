// A record line as a row of the line database, and the outbox that keeps
// rows until the server has them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "report/record_id.h"
#include "report/record_outbox.h"
#include "report/record_row.h"
#include "report/unit_serial.h"
#include "support/data_root.h"

namespace orlax::report {
namespace {

constexpr std::string_view kLine =
    "000012,Not Set,09:41,03\\07\\2005,Not Set,-056,4294967295,0000001240,-0003,0004,0002,-0001,0005,0002,-0004,"
    "0006,0010,-0128,003,-002,012,200,015,180,\r\n";
constexpr std::array<std::uint8_t, protocol::kStatusRecordSize> kStatus{0x00, 0x01, 0xFE};

std::tm NineFortyOne() {
    std::tm at{};
    at.tm_year = 105, at.tm_mon = 2, at.tm_mday = 7, at.tm_hour = 9, at.tm_min = 41;
    at.tm_gmtoff = 3600;  // an hour east of UTC
    return at;
}

RecordRow RowOf(std::string_view line, const std::string& id = "0b5e6a3c-1f2d-4e8a-9c7b-123456789abc") {
    const auto row = RowOfLine(line, NineFortyOne(), kStatus, {"station-3", "Line 1", "usb://Korvane/ORLAX%20PRO?serial=A%2F7", "1.2.0"}, id);
    return row.value_or(RecordRow{});
}

TEST(RecordRow, TheLinesFieldsTypedAndTheStationsFacts) {
    const RecordRow row = RowOf(kLine);
    ASSERT_EQ(row.values.size(), RowColumns().size());
    const std::vector<std::pair<std::string_view, RowValue>> expected{
        {"record_number", std::int64_t{12}},        {"fixed_text", std::string("Not Set")},
        {"record_date", std::string("03\\07\\2005")}, {"lex_version", std::int64_t{-56}},
        {"disks_printed", std::int64_t{4294967295}}, {"arm_home", std::int64_t{-128}},
        {"last_disk_right", std::int64_t{-2}},      {"disk_in_sensor_high", std::int64_t{180}},
        {"recorded_at", std::string("2005-03-07T08:41:00Z")}, {"serial", std::string("A/7")},
    };
    for (const auto& [column, value] : expected) EXPECT_EQ(row.Value(column), value) << column;
    EXPECT_EQ(std::get<std::string>(*row.Value("status_record")).substr(0, 8), "0001fe00");
}

TEST(RecordRow, WhatIsNotARecordLineGivesNoRow) {
    const std::string line(kLine);
    for (const std::string& bad : std::vector<std::string>{
             line.substr(0, line.size() - 2),                       // no line end
             line.substr(line.find(',') + 1),                       // 23 fields
             "000013," + line,                                      // 25 fields
             std::string("00001x") + line.substr(6),                // a number that is none
             line.substr(0, line.size() - 6) + ",,\r\n",            // an empty number
         })
        EXPECT_FALSE(RowOfLine(bad, NineFortyOne(), kStatus, {}, "id")) << bad;
}

TEST(RecordRow, TheOutboxLineGivesTheSameRowBackAndRefusesOthers) {
    const RecordRow row = RowOf(kLine);
    std::string error;
    const auto back = RowOfOutboxLine(OutboxLine(row), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->values, row.values);

    std::string line = OutboxLine(row);
    const auto replaced = [&](std::string_view from, std::string_view to) {
        std::string changed = line;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    for (const std::string& bad : std::vector<std::string>{
             std::string("not json"), std::string("[1,2]"), replaced("\"record_number\":12", "\"record_number\":\"12\""),
             replaced("0b5e6a3c-", "0B5E6A3C-"), replaced("\"station\":", "\"stations\":"),
             replaced("\"queue\":\"Line 1\"", "\"queue\":null"),
         })
        EXPECT_FALSE(RowOfOutboxLine(bad, error)) << bad;
}

TEST(RecordRow, TheSerialComesFromAUsbUriOnly) {
    const std::vector<std::pair<std::string_view, std::optional<std::string>>> cases{
        {"usb://Korvane/ORLAX%20PRO?serial=S123", "S123"},
        {"USB://Korvane/ORLAX%20PRO?interface=0&serial=AB%20C", "AB C"},
        {"usb://Korvane/ORLAX%20PRO?serial=S1&interface=1", "S1"},
        {"usb://Korvane/ORLAX%20PRO", std::nullopt},
        {"usb://Korvane/ORLAX%20PRO?serial=", std::nullopt},
        {"usb://Korvane/ORLAX%20PRO?serial=A%2", std::nullopt},
        {"usb://Korvane/ORLAX%20PRO?serial=A%G1", std::nullopt},
        {"socket://10.0.0.5:9100?serial=S1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [uri, serial] : cases) EXPECT_EQ(SerialOfDeviceUri(uri), serial) << uri;
}

TEST(RecordRow, RecordIdsAreRandomVersionFourUuids) {
    const auto a = NewRecordId(), b = NewRecordId();
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    ASSERT_EQ(a->size(), 36u);
    EXPECT_EQ((*a)[14], '4');
    EXPECT_NE(std::string("89ab").find((*a)[19]), std::string::npos);
}

TEST(RecordOutbox, KeepsOrderTakesOutOnlyWhatWasSentAndOnlyItsOwnerReadsIt) {
    testing::TempDataRoot data;
    RecordOutbox outbox(data.Folder());
    std::string error;
    const std::array ids{"00000000-0000-4000-8000-000000000001", "00000000-0000-4000-8000-000000000002",
                         "00000000-0000-4000-8000-000000000003"};
    for (const char* id : ids) ASSERT_TRUE(outbox.Append(OutboxLine(RowOf(kLine, id)), error)) << error;
    struct stat info {};
    ASSERT_EQ(::stat(outbox.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // A line cut short by a crash is not a waiting row.
    std::ofstream(outbox.Path(), std::ios::app) << "{\"record_id\":";
    std::vector<std::string> lines;
    ASSERT_TRUE(outbox.Load(lines, error));
    ASSERT_EQ(lines.size(), 3u);

    ASSERT_TRUE(outbox.Remove({ids[0], ids[2]}, error)) << error;
    ASSERT_TRUE(outbox.Load(lines, error));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(RowOfOutboxLine(lines[0], error)->RecordId(), ids[1]);
    ASSERT_TRUE(outbox.Remove({ids[1]}, error));
    EXPECT_FALSE(data.Exists(kRecordOutboxFileName));
}

}  // namespace
}  // namespace orlax::report
