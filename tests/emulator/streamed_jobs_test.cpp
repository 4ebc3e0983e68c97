// The emulated spooler streaming jobs through (JobBytes::Streamed, what
// orlaxctl uses): the unit, the journal and the job's length must be what
// keeping every byte gives, while only the first 64 bytes are kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "emulator/emulated_unit_spooler.h"
#include "emulator/journal.h"
#include "support/data_root.h"
#include "support/temp_dir.h"

namespace orlax::emulator {
namespace {

namespace f = protocol::field;

const std::vector<std::uint8_t> kMove = {0x1B, 0x04, 0x09, 0, 0, 0, 0, 0x28};

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// One RAW job written in blocks of `block` bytes; the spooler's result of
// ending the document.
int SendInBlocks(platform::Spooler& spooler, const std::vector<std::uint8_t>& bytes, std::size_t block) {
    platform::PrinterHandle handle = 0;
    spooler.OpenPrinter("Lumetra PRO", &handle, nullptr);
    spooler.StartDocPrinter(handle, {"Lumetra Command", "RAW"});
    spooler.StartPagePrinter(handle);
    for (std::size_t at = 0; at < bytes.size(); at += block) {
        std::uint32_t written = 0;
        spooler.WritePrinter(handle, std::span(bytes).subspan(at, std::min(block, bytes.size() - at)), &written);
    }
    spooler.EndPagePrinter(handle);
    const int ended = spooler.EndDocPrinter(handle);
    spooler.ClosePrinter(handle);
    return ended;
}

struct Outcome {
    std::string journal;
    EmulatedSpooler::Job job;
    std::uint8_t lastCommand = 0;
    bool nothingOpen = false;
};

Outcome Deliver(JobBytes keep, const std::vector<std::uint8_t>& bytes, bool journal = true, Faults faults = {}) {
    const testing::TempDir dir("orlax-streamed-jobs");
    const std::string path = dir.PathOf("journal.txt");
    Outcome outcome;
    {
        Journal file(path);
        Scenario scenario = DefaultScenario();
        scenario.faults = faults;
        EmulatedUnitSpooler spooler(scenario, nullptr, journal ? &file : nullptr, keep);
        SendInBlocks(spooler, bytes, 1000);
        if (!spooler.Jobs().empty()) outcome.job = spooler.Jobs().back();
        outcome.lastCommand = spooler.Device().State()[f::lastCommand];
        outcome.nothingOpen = spooler.OpenHandles() == 0 && spooler.OpenJobs() == 0;
    }
    outcome.journal = ReadAll(path);
    return outcome;
}

TEST(StreamedJobs, UnitAndJournalSeeWhatKeepingEveryByteGives) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> commandThenMore = kMove;
    commandThenMore.resize(5000, 0x11);
    const Case cases[] = {
        {"an empty job", {}},
        {"a command packet", kMove},
        {"64 bytes: shown byte by byte", testing::PatternBytes(64)},
        {"65 bytes: a digest", testing::PatternBytes(65)},
        {"a device file of several blocks", testing::PatternBytes(2500)},
        {"a long job that starts like a command", commandThenMore},
    };
    for (const Case& c : cases) {
        const Outcome kept = Deliver(JobBytes::Kept, c.bytes);
        const Outcome streamed = Deliver(JobBytes::Streamed, c.bytes);
        EXPECT_FALSE(kept.journal.empty()) << c.what;
        EXPECT_EQ(streamed.journal, kept.journal) << c.what;
        EXPECT_EQ(streamed.lastCommand, kept.lastCommand) << c.what;
        EXPECT_EQ(kept.job.bytes, c.bytes) << c.what;
        EXPECT_EQ(kept.job.length, c.bytes.size()) << c.what;
        EXPECT_EQ(streamed.job.length, c.bytes.size()) << c.what;
        const std::size_t head = std::min<std::size_t>(c.bytes.size(), kJournalHexLimit);
        EXPECT_EQ(streamed.job.bytes, std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.begin() + head)) << c.what;
        EXPECT_TRUE(streamed.nothingOpen) << c.what;
    }
    EXPECT_EQ(Deliver(JobBytes::Streamed, kMove).lastCommand, 0x09);
}

// Without a journal the streamed job is only counted; a short write counts
// what the spooler took.
TEST(StreamedJobs, CountsWhatTheSpoolerTook) {
    struct Case {
        const char* what;
        bool journal;
        Faults faults;
        std::uint64_t length;
    };
    const Case cases[] = {
        {"counted only", false, {}, 2500},
        {"journalled", true, {}, 2500},
        {"every write one byte short", true, {.shortWrite = true}, 2497},
    };
    for (const Case& c : cases) {
        const Outcome streamed = Deliver(JobBytes::Streamed, testing::PatternBytes(2500), c.journal, c.faults);
        const Outcome kept = Deliver(JobBytes::Kept, testing::PatternBytes(2500), c.journal, c.faults);
        EXPECT_EQ(streamed.job.length, c.length) << c.what;
        EXPECT_EQ(streamed.journal, kept.journal) << c.what;
        EXPECT_EQ(streamed.journal.empty(), !c.journal) << c.what;
    }
}

}  // namespace
}  // namespace orlax::emulator
