#include "emulator/scenario.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/record_builder.h"
#include "support/temp_dir.h"

namespace orlax::emulator {
namespace {

namespace f = protocol::field;

Scenario Parsed(const std::string& json) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(json, scenario, error)) << json << ": " << error;
    return scenario;
}

TEST(Scenario, DefaultIsAnIdleHealthyUnit) {
    const Scenario s = DefaultScenario();
    EXPECT_EQ(s.queues, std::vector<std::string>{"Lumetra PRO"});
    EXPECT_EQ(s.record[f::modelType], 'B');
    EXPECT_EQ(protocol::FirmwareText(s.record), "1.23");
    EXPECT_EQ(s.record[f::lexVersion], 99);
    EXPECT_EQ(s.record[f::penConfig], 3);
    EXPECT_EQ(s.record[f::systemStatus], 'I');
    EXPECT_EQ(s.record[f::trayStatus], 'I');
    EXPECT_EQ(s.record[f::pickerStatus], 'X');
    for (std::size_t at = f::yellowSpitsB; at <= f::leftBinCount; ++at) EXPECT_EQ(s.record[at], 0);
    for (std::size_t at = f::leftBinOffset; at <= f::lastDiskLeft; ++at) EXPECT_EQ(s.record[at], 0);
    EXPECT_EQ(s.record[f::checksum], protocol::StatusChecksum(s.record));
    EXPECT_EQ(s.busyPolls, 0u);
    EXPECT_TRUE(s.replies.empty());
    EXPECT_EQ(s.faults, Faults{});
    EXPECT_EQ(Parsed("{}").record, s.record);
}

// The example of the scenario file contract, as written there.
TEST(Scenario, ContractExampleSetsEveryField) {
    const Scenario s = Parsed(testing::kContractExampleScenario);
    const auto& r = s.record;
    const std::pair<std::size_t, std::uint32_t> counters[] = {
        {f::yellowSpitsA, 1520}, {f::yellowSpitsB, 310},  {f::magentaSpitsA, 1484},
        {f::magentaSpitsB, 295}, {f::cyanSpitsA, 1610},   {f::cyanSpitsB, 301},
        {f::disksPrinted, 1234}, {f::disksPicked, 1240},
    };
    for (const auto& [at, value] : counters) EXPECT_EQ(protocol::ReadBigEndian32(r, at), value) << at;
    const std::pair<std::size_t, int> bytes[] = {
        {f::lexVersion, 99},        {f::pgaVersion, 18},       {f::modelType, 'B'},
        {f::penConfig, 3},          {f::spitLimitFlags, 1},    {f::trayInSensorLow, 12},
        {f::trayInSensorHigh, 200}, {f::diskInSensorLow, 15},  {f::diskInSensorHigh, 180},
        {f::rightBinCount, 12},     {f::leftBinCount, 25},     {f::imageVertical, 0xFD},
        {f::imageHorizontal, 4},    {f::lastCommand, 4},       {f::errorBits, 0},
        {f::systemStatus, 'I'},     {f::trayStatus, 'I'},      {f::pickerStatus, 'X'},
        {f::leftBinOffset, 2},      {f::recorderOffset, 0xFF}, {f::recorder2Offset, 0},
        {f::printerOffset, 5},      {f::rightBinOffset, 2},    {f::hookOffset, 0xFC},
        {f::trayOutOffset, 6},      {f::pickerSwitchOffset, 10}, {f::armHomeOffset, 0xF9},
        {f::lastDiskRight, 0xFE},   {f::lastDiskLeft, 3},
    };
    for (const auto& [at, value] : bytes) EXPECT_EQ(r[at], value) << "byte " << at;
    EXPECT_EQ(protocol::FirmwareText(r), "1.23");
}

struct ByteCase {
    std::string json;
    std::size_t at;
    std::uint8_t expected;
};

TEST(Scenario, StoresFieldValuesAsTheRecordDoes) {
    const ByteCase cases[] = {
        {R"({"record": {"leftBinOffset": -128}})", f::leftBinOffset, 0x80},
        {R"({"record": {"leftBinOffset": 255}})", f::leftBinOffset, 0xFF},
        {R"({"record": {"pickerSwitchOffset": -1}})", f::pickerSwitchOffset, 0xFF},
        {R"({"record": {"systemStatus": 66}})", f::systemStatus, 'B'},
        {R"({"record": {"trayStatus": "O"}})", f::trayStatus, 'O'},
        {R"({"record": {"trayStatus": 0}})", f::trayStatus, 0},
        {R"({"record": {"disksPicked": 4294967295}})", f::disksPicked + 3, 0xFF},
        {R"({"record": {"disksPicked": 258}})", f::disksPicked + 2, 0x01},
        {R"({"record": {"disksPicked": 258}})", f::disksPicked + 3, 0x02},
        {R"({"record": {"firmwareVersion": ""}})", f::firmwareVersion, 0},
        {R"({"record": {"firmwareVersion": "1.2"}})", f::firmwareVersion + 3, 0},
        {R"({"record": {"firmwareVersion": "123456789ABCDEF"}})", f::firmwareVersion + 14, 'F'},
        {R"({"record": {"firmwareVersion": "123456789ABCDEF"}})", f::modelType, 'B'},
        // recordHex is applied first, the single fields over it, whatever
        // their order in the file.
        {R"({"record": {"penConfig": 4}, "recordHex": ")" + std::string(200, 'a') + R"("})",
         f::penConfig, 4},
        {R"({"record": {"penConfig": 4}, "recordHex": ")" + std::string(200, 'a') + R"("})",
         f::pgaVersion, 0xAA},
        {R"({"recordHex": ")" + std::string(196, '0') + R"(Ff0C"})", 98, 0xFF},
        {R"({"recordHex": ")" + std::string(196, '0') + R"(Ff0C"})", 99, 0x0C},
    };
    for (const ByteCase& c : cases) EXPECT_EQ(Parsed(c.json).record[c.at], c.expected) << c.json;
}

TEST(Scenario, ReadsQueuesBusyPollsRepliesAndFaults) {
    const Scenario s = Parsed(R"({
        "queues": ["A", "Lumetra PRO"], "busyPolls": 1000000,
        "replies": ["ok", "busy", "idle", "cover", "fail", "empty", "one", "badsum",
                    {"length": 2}, {"length": 1000}],
        "faults": {"open": false, "startDoc": true, "startPage": true, "write": true,
                   "shortWrite": true, "endPage": true, "endDoc": true}})");
    EXPECT_EQ(s.queues, (std::vector<std::string>{"A", "Lumetra PRO"}));
    EXPECT_EQ(s.busyPolls, 1000000u);
    const std::vector<ScriptedReply> replies = {
        {ReplyKind::Ok, 0},    {ReplyKind::Busy, 0},  {ReplyKind::Idle, 0},
        {ReplyKind::Cover, 0}, {ReplyKind::Fail, 0},  {ReplyKind::Empty, 0},
        {ReplyKind::One, 0},   {ReplyKind::BadSum, 0}, {ReplyKind::Length, 2},
        {ReplyKind::Length, 1000}};
    EXPECT_EQ(s.replies, replies);
    EXPECT_EQ(s.faults, (Faults{false, true, true, true, true, true, true}));
    EXPECT_TRUE(Parsed(R"({"queues": []})").queues.empty());
}

struct BadCase {
    std::string json;
    std::string message;  // the start of the error message
};

TEST(Scenario, RejectsBadInputNamingTheKey) {
    const BadCase cases[] = {
        {"{", "invalid JSON: "},
        {"", "invalid JSON: "},
        {"[]", "scenario: expected a JSON object"},
        {R"({"queue": []})", "queue: unknown key"},
        {R"({"queues": "Lumetra PRO"})", "queues: expected an array"},
        {R"({"queues": ["A", 3]})", "queues[1]: expected a non-empty string"},
        {R"({"queues": [""]})", "queues[0]: expected a non-empty string"},
        {R"({"record": []})", "record: expected an object"},
        {R"({"record": {"leftBin": 1}})", "record.leftBin: unknown key"},
        {R"({"record": {"leftBinOffset": 256}})",
         "record.leftBinOffset: expected an integer from -128 to 255"},
        {R"({"record": {"leftBinOffset": -129}})", "record.leftBinOffset: expected an integer"},
        {R"({"record": {"leftBinOffset": 1.5}})", "record.leftBinOffset: expected an integer"},
        {R"({"record": {"leftBinOffset": "1"}})", "record.leftBinOffset: expected an integer"},
        {R"({"record": {"leftBinOffset": true}})", "record.leftBinOffset: expected an integer"},
        {R"({"record": {"disksPicked": 4294967296}})",
         "record.disksPicked: expected an integer from 0 to 4294967295"},
        {R"({"record": {"disksPicked": -1}})", "record.disksPicked: expected an integer"},
        {R"({"record": {"modelType": "BB"}})",
         "record.modelType: expected a one-character string or an integer from 0 to 255"},
        {R"({"record": {"modelType": ""}})", "record.modelType: expected a one-character"},
        {R"({"record": {"systemStatus": 256}})", "record.systemStatus: expected a one-character"},
        {R"({"record": {"systemStatus": -1}})", "record.systemStatus: expected a one-character"},
        {R"({"record": {"firmwareVersion": "1234567890123456"}})",
         "record.firmwareVersion: expected a string of at most 15 characters"},
        {R"({"record": {"firmwareVersion": 123}})", "record.firmwareVersion: expected a string"},
        {R"({"record": {"firmwareVersion": [1,2,3,4,5,6,7,8,9,10,11,12,13,14]}})",
         "record.firmwareVersion: expected a string of at most 15 characters or an array of 15 integers"},
        {R"({"record": {"firmwareVersion": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,256]}})",
         "record.firmwareVersion: expected a string"},
        {R"({"recordHex": "00"})", "recordHex: expected a string of exactly 200 hex digits"},
        {R"({"recordHex": ")" + std::string(201, '0') + R"("})", "recordHex: expected"},
        {R"({"recordHex": ")" + std::string(199, '0') + R"(g"})",
         "recordHex: not a hex digit at character 200"},
        {R"({"recordHex": 0})", "recordHex: expected a string"},
        {R"({"busyPolls": -1})", "busyPolls: expected an integer from 0 to 1000000"},
        {R"({"busyPolls": 1000001})", "busyPolls: expected an integer"},
        {R"({"busyPolls": "3"})", "busyPolls: expected an integer"},
        {R"({"busyPolls": 18446744073709551615})", "busyPolls: expected an integer"},
        {R"({"busyPolls": 1e3})", "busyPolls: expected an integer"},
        {R"({"replies": "ok"})", "replies: expected an array"},
        {R"({"replies": ["ok", "OK"]})", "replies[1]: unknown reply \"OK\""},
        {R"({"replies": [3]})", "replies[0]: expected a reply name"},
        {R"({"replies": [{"length": 1}]})", "replies[0].length: expected an integer from 2 to 1000"},
        {R"({"replies": [{"length": 1001}]})", "replies[0].length: expected an integer"},
        {R"({"replies": [{"length": "5"}]})", "replies[0].length: expected an integer"},
        {R"({"replies": [{}]})", "replies[0].length: missing"},
        {R"({"replies": [{"length": 5, "extra": 1}]})", "replies[0].extra: unknown key"},
        {R"({"faults": []})", "faults: expected an object"},
        {R"({"faults": {"close": true}})", "faults.close: unknown key"},
        {R"({"faults": {"open": 1}})", "faults.open: expected true or false"},
        {"{\"a\\nb\": 1}", "a?b: unknown key"},
    };
    for (const BadCase& c : cases) {
        Scenario s;
        s.busyPolls = 7;
        std::string error;
        EXPECT_FALSE(ParseScenario(c.json, s, error)) << c.json;
        EXPECT_EQ(error.substr(0, c.message.size()), c.message) << c.json << " gave: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(s.busyPolls, 7u) << "changed on error: " << c.json;
    }
}

TEST(Scenario, LoadsAFileAndNamesAnUnreadableOne) {
    const testing::TempDir dir("orlax-scenario");
    const std::string path = dir.Write("scenario.json", R"({"busyPolls": 3})");
    Scenario s;
    std::string error;
    ASSERT_TRUE(LoadScenarioFile(path, s, error)) << error;
    EXPECT_EQ(s.busyPolls, 3u);

    std::ofstream(path) << R"({"busyPolls": true})";
    EXPECT_FALSE(LoadScenarioFile(path, s, error));
    EXPECT_EQ(error, path + ": busyPolls: expected an integer from 0 to 1000000");
    std::remove(path.c_str());

    for (const std::string& bad : {path, dir.Path().string()}) {
        error.clear();
        EXPECT_FALSE(LoadScenarioFile(bad, s, error));
        EXPECT_EQ(error.rfind(bad + ": cannot", 0), 0u) << error;
    }
    EXPECT_EQ(s.busyPolls, 3u);
}

}  // namespace
}  // namespace orlax::emulator
