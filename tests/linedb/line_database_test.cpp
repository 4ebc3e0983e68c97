// The production record in a line database, against a real PostgreSQL
// server of the tests' own: orlaxctl passes final checks on the emulated
// unit with --record-db, and the rows are checked on the server while it is
// up, down, frozen, killed in the middle of an insert, or refusing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "linedb/line_database.h"
#include "linedb/line_record_schema.h"
#include "report/record_outbox.h"
#include "report/status_json.h"
#include "support/child_process.h"
#include "support/data_root.h"
#include "support/passing_unit.h"
#include "support/pg_server.h"
#include "util/version.h"

namespace orlax::linedb {
namespace {

using testing::ChildResult;
using testing::TempDataRoot;

testing::PgServer* server = nullptr;

class ServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override { server = new testing::PgServer(); }
    void TearDown() override {
        delete server;
        server = nullptr;
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

// The columns of the line's 24 fields, in its order.
constexpr const char* kLineColumns =
    "record_number, fixed_text, record_time, record_date, expected_firmware, lex_version, disks_printed, "
    "disks_picked, vertical_offset, horizontal_offset, left_bin, recorder, printer, right_bin, hook, tray_out, "
    "picker_switch, arm_home, last_disk_left, last_disk_right, tray_in_sensor_low, tray_in_sensor_high, "
    "disk_in_sensor_low, disk_in_sensor_high";

// A row's line fields written back as the record file writes them.
std::string LineOf(const std::vector<std::string>& f) {
    const auto i = [&](std::size_t n) { return std::stoll(f.at(n)); };
    char line[512];
    int at = std::snprintf(line, sizeof line, "%.6lld,%s,%s,%s,%s,%3.3lld,%10.10lld,%10.10lld,", i(0), f[1].c_str(),
                           f[2].c_str(), f[3].c_str(), f[4].c_str(), i(5), i(6), i(7));
    for (std::size_t n = 8; n < 18; ++n) at += std::snprintf(line + at, sizeof line - at, "%4.4lld,", i(n));
    for (std::size_t n = 18; n < 24; ++n) at += std::snprintf(line + at, sizeof line - at, "%3.3lld,", i(n));
    return std::string(line, at) + "\r\n";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start + 2));
    return lines;
}

// The schema as a DBA applies it, the station's role allowed to write.
std::string SchemaByDba() {
    return std::string(LineRecordSchemaSql()) + "GRANT SELECT, INSERT ON production_record TO station;";
}

class LineDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server && server->Ok()) << (server ? server->Failure() : "no server");
        data_.Put("fdefault.fzp", "factory settings");
        scenario_ = data_.Root() + "/passing.json";
        std::ofstream(scenario_) << testing::kPassingScenarioJson;
        server->Sql("TRUNCATE production_record");
    }

    // orlaxctl on the passing unit with the line database.
    ChildResult Station(const std::vector<std::string>& actions, const std::vector<std::string>& env = {},
                        const std::string& root = "", const std::string& conninfo = "") {
        std::vector<std::string> argv{ORLAXCTL_PATH, "--emulate=" + scenario_, "--fast",
                                      "--data-root", root.empty() ? data_.Root() : root,
                                      "--record-db", conninfo.empty() ? server->Conninfo() : conninfo};
        argv.insert(argv.end(), actions.begin(), actions.end());
        std::vector<std::string> environment{"PGPASSFILE=" + server->PassFile(true)};
        environment.insert(environment.begin(), env.begin(), env.end());
        return testing::RunChild(argv, environment, data_.Root() + "/run-" + std::to_string(++runs_));
    }
    std::size_t Waiting() const {
        std::vector<std::string> lines;
        std::string error;
        report::RecordOutbox(data_.Folder()).Load(lines, error);
        return lines.size();
    }
    std::vector<std::vector<std::string>> Rows(const std::string& columns, const std::string& order = "record_id") {
        return server->Sql("SELECT " + columns + " FROM production_record ORDER BY " + order).rows;
    }

    TempDataRoot data_;
    std::string scenario_;
    int runs_ = 0;
};

TEST_F(LineDatabase, APassingFinalCheckGivesOneRowEqualToItsFileLine) {
    // A station east of UTC: the row's moment is the line's local time as UTC.
    const ChildResult run = Station({"final-check"}, {"TZ=Asia/Kolkata"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto lines = Lines(data_.Read("ORLAXPRO.log"));
    ASSERT_EQ(lines.size(), 1u);

    const auto rows = Rows(std::string(kLineColumns) +
                           ", to_char(recorded_at AT TIME ZONE 'Asia/Kolkata', 'HH24:MI MM\\DD\\YYYY'), station,"
                           " queue, device_uri IS NULL AND serial IS NULL, tool_version,"
                           " encode(status_record, 'hex'), status_json::text");
    ASSERT_EQ(rows.size(), 1u);
    const auto& row = rows[0];
    EXPECT_EQ(LineOf(row), lines[0]);
    EXPECT_EQ(row[24], row[2] + " " + row[3]);
    EXPECT_EQ(row[25], StationName());
    EXPECT_EQ(row[26], "Lumetra PRO");
    EXPECT_EQ(row[27], "t");
    EXPECT_EQ(row[28], util::kVersion);
    std::array<std::uint8_t, protocol::kStatusRecordSize> status{};
    ASSERT_EQ(row[29].size(), 2 * status.size());
    for (std::size_t i = 0; i < status.size(); ++i) status[i] = static_cast<std::uint8_t>(std::stoi(row[29].substr(2 * i, 2), nullptr, 16));
    EXPECT_EQ(nlohmann::json::parse(row[30]), nlohmann::json::parse(report::StatusRecordJson(status)));
    EXPECT_EQ(Waiting(), 0u);
    EXPECT_FALSE(data_.Exists("ORLAXPRO.outbox"));
}

TEST_F(LineDatabase, AServerStoppedThenStartedGetsEveryWaitingRowExactlyOnce) {
    ASSERT_TRUE(server->Stop());
    const ChildResult down = Station({"final-check", "final-check", "final-check"});
    ASSERT_TRUE(server->Start());
    EXPECT_EQ(down.status, 0) << down.err;
    EXPECT_NE(down.err.find("record kept on this station: 3 waiting for the line database"), std::string::npos)
        << down.err;
    EXPECT_EQ(Waiting(), 3u);
    struct stat info {};
    ASSERT_EQ(::stat(report::RecordOutbox(data_.Folder()).Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // The next record takes the waiting rows with it; a sync then finds none.
    const ChildResult next = Station({"final-check"});
    EXPECT_EQ(next.err, "");
    const ChildResult sync = Station({"record-sync"});
    EXPECT_EQ(sync.status, 0) << sync.err;
    EXPECT_NE(sync.out.find("record-sync: 0 sent, 0 waiting"), std::string::npos) << sync.out;
    EXPECT_EQ(Rows("count(*), count(DISTINCT record_id)", "1"), (std::vector<std::vector<std::string>>{{"4", "4"}}));
    EXPECT_EQ(Lines(data_.Read("ORLAXPRO.log")).size(), 4u);
}

TEST_F(LineDatabase, AServerKilledInTheMiddleOfAnInsertLosesNothingAndDoublesNothing) {
    ASSERT_TRUE(server->Sql(SchemaByDba()).ok);
    // The insert waits on a lock the test holds; the server dies under it.
    const auto holder = server->Session();
    ASSERT_TRUE(holder);
    ASSERT_TRUE(holder->Run("BEGIN; LOCK TABLE production_record IN ACCESS EXCLUSIVE MODE", {},
                            std::chrono::steady_clock::now() + std::chrono::seconds(5))
                    .ok);
    testing::Child station({ORLAXCTL_PATH, "--emulate=" + scenario_, "--fast", "--data-root", data_.Root(),
                            "--record-db", server->Conninfo(), "final-check"},
                           {"PGPASSFILE=" + server->PassFile(true)}, data_.Root() + "/killed");
    bool inserting = false;
    for (int i = 0; i < 500 && !inserting; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        inserting = !server->Sql("SELECT 1 FROM pg_stat_activity WHERE wait_event_type = 'Lock' AND query LIKE "
                                 "'INSERT INTO production_record%'")
                         .rows.empty();
    }
    ASSERT_TRUE(inserting);
    ASSERT_TRUE(server->Stop());
    const ChildResult killed = station.Wait(std::chrono::seconds(60));
    ASSERT_TRUE(server->Start());
    EXPECT_TRUE(killed.finishedAlone);
    EXPECT_EQ(killed.status, 0) << killed.err;
    EXPECT_NE(killed.err.find("1 waiting for the line database"), std::string::npos) << killed.err;
    EXPECT_EQ(Waiting(), 1u);

    for (const char* expected : {"record-sync: 1 sent, 0 waiting", "record-sync: 0 sent, 0 waiting"}) {
        const ChildResult sync = Station({"record-sync"});
        EXPECT_EQ(sync.status, 0) << sync.err;
        EXPECT_NE(sync.out.find(expected), std::string::npos) << sync.out;
    }
    const auto rows = Rows(kLineColumns);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(LineOf(rows[0]), data_.Read("ORLAXPRO.log"));
}

TEST_F(LineDatabase, AFrozenServerHoldsTheFinalCheckOnlyWithinItsBound) {
    server->Pause();
    const ChildResult frozen = Station({"final-check"});
    server->Resume();
    EXPECT_TRUE(frozen.finishedAlone);
    EXPECT_EQ(frozen.status, 0) << frozen.err;
    EXPECT_NE(frozen.err.find("did not answer within 3 s"), std::string::npos) << frozen.err;
    EXPECT_EQ(Lines(data_.Read("ORLAXPRO.log")).size(), 1u);
    EXPECT_EQ(Waiting(), 1u);
    const ChildResult sync = Station({"record-sync"});
    EXPECT_NE(sync.out.find("record-sync: 1 sent, 0 waiting"), std::string::npos) << sync.out << sync.err;
}

TEST_F(LineDatabase, ARefusingServerKeepsTheRecordAndSaysWhy) {
    const ChildResult plain = testing::RunChild(
        {ORLAXCTL_PATH, "--emulate=" + scenario_, "--fast", "--data-root", data_.Root(), "final-check"}, {},
        data_.Root() + "/plain");
    ASSERT_EQ(plain.status, 0) << plain.err;
    struct Case {
        const char* what;
        std::string conninfo;
        std::string passFile;
        std::string says;
        std::string breakIt, mendIt;  // the superuser's SQL before and after
    };
    const std::vector<Case> cases{
        {"wrong password", server->Conninfo(), server->PassFile(false), "password authentication failed", "", ""},
        {"missing database", server->Conninfo("no_such_line"), server->PassFile(true),
         "database \"no_such_line\" does not exist", "", ""},
        {"missing table", server->Conninfo(), server->PassFile(true), "\"production_record\" does not exist",
         "DROP TABLE production_record", SchemaByDba()},
    };
    std::size_t records = 1;
    for (const Case& c : cases) {
        if (!c.breakIt.empty()) {
            ASSERT_TRUE(server->Sql(c.breakIt).ok) << c.what;
        }
        const ChildResult run = Station({"final-check"}, {"PGPASSFILE=" + c.passFile}, "", c.conninfo);
        if (!c.mendIt.empty()) {
            ASSERT_TRUE(server->Sql(c.mendIt).ok) << c.what;
        }
        ++records;
        EXPECT_EQ(run.status, 0) << c.what << run.err;
        // The operator log says what it says without the line database.
        EXPECT_EQ(run.out, plain.out) << c.what;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find(std::to_string(records - 1) + " waiting"), std::string::npos) << c.what << run.err;
        EXPECT_EQ(Lines(data_.Read("ORLAXPRO.log")).size(), records) << c.what;
    }
    const ChildResult sync = Station({"record-sync"});
    EXPECT_NE(sync.out.find("record-sync: 3 sent, 0 waiting"), std::string::npos) << sync.out << sync.err;
}

TEST_F(LineDatabase, EightStationsAtOnceLoseAndDoubleNothing) {
    constexpr int kStations = 8;
    constexpr int kRecords = 100;
    std::vector<std::string> actions(kRecords, "final-check");
    std::vector<std::unique_ptr<testing::Child>> stations;
    for (int s = 0; s < kStations; ++s) {
        std::vector<std::string> argv{ORLAXCTL_PATH, "--emulate=" + scenario_, "--fast", "--data-root",
                                      data_.Root(), "--record-db", server->Conninfo()};
        argv.insert(argv.end(), actions.begin(), actions.end());
        stations.push_back(std::make_unique<testing::Child>(argv,
                                                            std::vector<std::string>{"PGPASSFILE=" + server->PassFile(true)},
                                                            data_.Root() + "/station-" + std::to_string(s)));
    }
    for (auto& station : stations) {
        const ChildResult run = station->Wait(std::chrono::seconds(300));
        EXPECT_EQ(run.status, 0) << run.err;
    }
    // Whatever a race left waiting goes now.
    const ChildResult sync = Station({"record-sync"});
    EXPECT_EQ(sync.status, 0) << sync.out << sync.err;

    std::multiset<std::string> fileLines;
    for (const auto& line : Lines(data_.Read("ORLAXPRO.log"))) fileLines.insert(line);
    std::multiset<std::string> rowLines;
    for (const auto& row : Rows(kLineColumns)) rowLines.insert(LineOf(row));
    EXPECT_EQ(fileLines.size(), std::size_t{kStations * kRecords});
    EXPECT_EQ(rowLines.size(), fileLines.size());
    EXPECT_TRUE(rowLines == fileLines);
    EXPECT_EQ(Waiting(), 0u);
}

}  // namespace
}  // namespace orlax::linedb
