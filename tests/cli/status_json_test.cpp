// status-json: the unit's record as JSON that, given back as a scenario's
// "record", makes an emulated unit with the same report.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "protocol/record_fields.h"
#include "emulator/scenario.h"
#include "support/data_root.h"

namespace orlax::cli {
namespace {

struct Result {
    int status;
    std::string out, err;
};

class StatusJson : public ::testing::Test {
protected:
    Result Run(const std::string& scenario, const std::string& action) {
        const std::string path = data_.Root() + "/scenario.json";
        std::ofstream(path) << scenario;
        std::ostringstream out, err;
        const std::vector<std::string> args{"--emulate=" + path, "--fast", action};
        const int status = cli::Run(args, out, err);
        return {status, out.str(), err.str()};
    }
    testing::TempDataRoot data_;
};

std::string Hex(const emulator::Record& record) {
    std::string hex;
    char two[3];
    for (const auto byte : record) {
        std::snprintf(two, sizeof two, "%02X", byte);
        hex += two;
    }
    return hex;
}

// The default unit with every named field random; the firmware text half the
// time printable and zero-padded, else any 15 bytes.
emulator::Record RandomRecord(std::mt19937& random) {
    emulator::Record record = emulator::DefaultScenario().record;
    std::uniform_int_distribution<int> byte(0, 255);
    for (const auto& field : protocol::RecordFields()) {
        switch (field.kind) {
            case protocol::FieldKind::Byte:
            case protocol::FieldKind::Character: record[field.at] = static_cast<std::uint8_t>(byte(random)); break;
            case protocol::FieldKind::Counter:
                for (std::size_t i = 0; i < 4; ++i) record[field.at + i] = static_cast<std::uint8_t>(byte(random));
                break;
            case protocol::FieldKind::Firmware: {
                const bool text = random() % 2 == 0;
                const std::size_t length = random() % 16;
                for (std::size_t i = 0; i < protocol::field::firmwareVersionLength; ++i)
                    record[field.at + i] = static_cast<std::uint8_t>(
                        !text ? byte(random) : i < length ? 0x20 + random() % 0x5F : 0);
                break;
            }
        }
    }
    return record;
}

TEST_F(StatusJson, RoundTripsThroughAScenarioForRandomRecords) {
    std::mt19937 random(20261209);
    for (int i = 0; i < 150; ++i) {
        const std::string unit = R"({"recordHex": ")" + Hex(RandomRecord(random)) + R"("})";
        const Result json = Run(unit, "status-json");
        ASSERT_EQ(json.status, kExitOk) << json.err;
        ASSERT_EQ(json.err, "");
        ASSERT_TRUE(json.out.ends_with("}\n")) << json.out;
        ASSERT_EQ(json.out.find('\n'), json.out.size() - 1) << "one line";
        const auto object = nlohmann::json::parse(json.out);
        ASSERT_EQ(object.size(), protocol::RecordFields().size());

        const std::string replay = R"({"record": )" + object.dump() + "}";
        EXPECT_EQ(Run(replay, "get-status").out, Run(unit, "get-status").out) << unit;
        EXPECT_EQ(Run(replay, "status-json").out, json.out) << unit;
    }
}

TEST_F(StatusJson, ReadableValuesAndNoStatusIsAFailure) {
    const Result json = Run(R"({"record": {"firmwareVersion": "1.23", "leftBinOffset": -3, "systemStatus": "C",
                                            "modelType": 7, "disksPrinted": 4294967295}})",
                            "status-json");
    ASSERT_EQ(json.status, kExitOk);
    const auto object = nlohmann::json::parse(json.out);
    EXPECT_EQ(object["firmwareVersion"], "1.23");
    EXPECT_EQ(object["leftBinOffset"], -3);
    EXPECT_EQ(object["systemStatus"], "C");
    EXPECT_EQ(object["modelType"], 7);
    EXPECT_EQ(object["disksPrinted"], 4294967295u);

    const Result none = Run(R"({"replies": ["badsum"]})", "status-json");
    EXPECT_EQ(none.status, kExitFailed);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("'status-json' failed: no valid status came back from the unit (ERROR: Message "
                            "Checksum is incorrect"),
              std::string::npos)
        << none.err;
}

}  // namespace
}  // namespace orlax::cli
