#include "emulator/journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "emulator/emulated_unit_spooler.h"
#include "emulator/sha256.h"
#include "support/temp_dir.h"

namespace orlax::emulator {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class JournalFile : public ::testing::Test {
protected:
    testing::TempDir dir_{"orlax-journal"};
    std::string path_ = dir_.PathOf("journal.txt");
};

TEST(JournalLines, JobBytesAsHexUpToSixtyFourThenDigest) {
    std::vector<std::uint8_t> sixtyFour(64);
    for (std::size_t i = 0; i < sixtyFour.size(); ++i) sixtyFour[i] = static_cast<std::uint8_t>(i * 5);
    std::vector<std::uint8_t> sixtyFive = sixtyFour;
    sixtyFive.push_back(0xAB);
    std::string hex;
    char digits[3];
    for (const std::uint8_t b : sixtyFour) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        hex += digits;
    }
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::string line;
    };
    const Case cases[] = {
        {{0x1B, 0x04, 0x09, 0, 0, 0, 0, 0x28}, "JOB \"Lumetra Command\" 8 1B04090000000028"},
        {{}, "JOB \"Lumetra Command\" 0 "},
        {{0xAB, 0xcd, 0x0f}, "JOB \"Lumetra Command\" 3 ABCD0F"},
        {sixtyFour, "JOB \"Lumetra Command\" 64 " + hex},
        {sixtyFive, "JOB \"Lumetra Command\" 65 sha256:" + Sha256Hex(sixtyFive)},
    };
    for (const Case& c : cases) EXPECT_EQ(JobLine("Lumetra Command", c.bytes), c.line);
    EXPECT_EQ(StatusLine(100), "STATUS 100");
    EXPECT_EQ(StatusLine(0), "STATUS 0");
    EXPECT_EQ(StatusFailedLine(), "STATUS FAIL");
}

TEST_F(JournalFile, AppendsOneFlushedLinePerExchange) {
    std::ofstream(path_) << "earlier\n";
    Journal journal(path_);
    ASSERT_TRUE(journal.IsOpen()) << journal.Error();
    journal.Status(100);
    EXPECT_EQ(ReadAll(path_), "earlier\nSTATUS 100\n");  // flushed at once
    journal.StatusFailed();
    journal.Job("orlax.prn", std::vector<std::uint8_t>(70, 0x1B));
    EXPECT_EQ(ReadAll(path_), "earlier\nSTATUS 100\nSTATUS FAIL\nJOB \"orlax.prn\" 70 sha256:" +
                                  Sha256Hex(std::vector<std::uint8_t>(70, 0x1B)) + "\n");
    EXPECT_TRUE(journal.Error().empty());
}

TEST_F(JournalFile, SpoolerJournalsStatusReadsAndDeliveredJobsOnly) {
    Journal journal(path_);
    Scenario s = DefaultScenario();
    s.replies = {{ReplyKind::Fail, 0}, {ReplyKind::Empty, 0}, {ReplyKind::Length, 5}};
    s.faults.endDoc = false;
    EmulatedUnitSpooler spooler(s, nullptr, &journal);
    spooler.FailNthCall(SpoolerCall::EndDoc, 2);
    platform::PrinterHandle handle = 0;
    ASSERT_EQ(spooler.OpenPrinter("Lumetra PRO", &handle, nullptr), 1);
    std::vector<std::uint8_t> buffer(1000);
    std::uint32_t needed = 0;
    for (int read = 0; read < 4; ++read) spooler.GetPrinterData(handle, "KORVANE", nullptr, buffer, &needed);
    const std::vector<std::uint8_t> packet = {0x1B, 0x04, 0x0B, 0, 0, 0, 0, 0x2A};
    for (int job = 0; job < 2; ++job) {
        spooler.StartDocPrinter(handle, {"Lumetra Command", "RAW"});
        std::uint32_t written = 0;
        spooler.WritePrinter(handle, packet, &written);
        spooler.EndDocPrinter(handle);  // the second one fails: not delivered
    }
    spooler.ClosePrinter(handle);
    EXPECT_EQ(ReadAll(path_),
              "STATUS FAIL\nSTATUS 0\nSTATUS 5\nSTATUS 100\n"
              "JOB \"Lumetra Command\" 8 1B040B000000002A\n");
}

TEST(Journal, ReportsAnUnopenablePath) {
    const std::string path = ::testing::TempDir() + "no such folder/journal.txt";
    Journal journal(path);
    EXPECT_FALSE(journal.IsOpen());
    EXPECT_EQ(journal.Error().rfind(path + ": cannot open", 0), 0u) << journal.Error();
    journal.Status(100);  // writes nothing, does not fail
    EXPECT_FALSE(journal.IsOpen());
}

}  // namespace
}  // namespace orlax::emulator
