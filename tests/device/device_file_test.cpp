// Device files streamed to the queue: block sizes, the bytes the unit gets,
// and every failure path ending what it started.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/progress.h"
#include "support/data_root.h"
#include "support/recording_progress.h"
#include "support/session.h"

namespace orlax::device {
namespace {

using testing::PatternBytes;
using testing::TempDataRoot;

// The link of an application whose queue is the unit's, without a window.
struct Bench {
    explicit Bench(const emulator::Scenario& scenario = emulator::DefaultScenario())
        : session(scenario, data.Root()) {
        session.app.PrinterName() = "Lumetra PRO";
    }
    int Send(std::string_view name) {
        const device::Result sent = session.app.Link().SendDeviceFile(name);
        failed = failed || !sent.Ok();
        return sent.Ok() ? 1 : 0;
    }
    std::string Log() { return std::string(session.app.Log().LogText()); }
    std::string SendingLine(std::string_view name) const {
        return data.PathOf(name) + " sending to printer !!\r\n";
    }
    // The log's own line for a file that did not go out, and why.
    std::string NotSentLine(std::string_view name, std::string_view why) const {
        return "File " + data.PathOf(name) + " NOT SENT: " + std::string(why) + " !!\r\n";
    }
    std::size_t Writes() const { return session.spooler.Calls(emulator::SpoolerCall::Write); }
    bool Failed() const { return failed; }

    TempDataRoot data;
    testing::Session session;
    bool failed = false;
};

TEST(DeviceFile, StreamsInBlocksOf1000EndingWithAnEmptyWrite) {
    struct Case {
        std::size_t size;
        std::size_t writes;  // whole blocks, the rest, then an empty write
    };
    const Case cases[] = {{0, 1}, {1, 2}, {1000, 2}, {1001, 3}, {2500, 4}};
    for (const Case& c : cases) {
        Bench bench;
        const auto content = PatternBytes(c.size);
        bench.data.Put("firm.bin", content);
        EXPECT_EQ(bench.Send("firm.bin"), 1) << c.size;
        EXPECT_EQ(bench.Writes(), c.writes) << c.size;
        ASSERT_EQ(bench.session.Jobs().size(), 1u) << c.size;
        const auto& job = bench.session.Jobs()[0];
        EXPECT_EQ(job.bytes, content) << c.size;
        EXPECT_EQ(job.docName, "Lumetra Command");
        EXPECT_EQ(job.dataType, "RAW");
        EXPECT_EQ(bench.Log(), bench.SendingLine("firm.bin"));
        EXPECT_TRUE(bench.session.host.MessageBoxes().empty());
        EXPECT_FALSE(bench.Failed());
        EXPECT_TRUE(bench.session.NothingLeftOpen());
    }
}

// A front end that shows the transfer hears of every block and of its end.
TEST(DeviceFile, ReportsProgressPerBlockAndTheEnd) {
    testing::RecordingProgress recorder;
    TempDataRoot data;
    testing::Session session(emulator::DefaultScenario(), data.Root(), &recorder);
    session.app.PrinterName() = "Lumetra PRO";
    data.Put("firm.bin", PatternBytes(2500));
    EXPECT_TRUE(session.app.Link().SendDeviceFile("firm.bin").Ok());
    EXPECT_EQ(recorder.Timeline(), "firm.bin 1000/2500 firm.bin 2000/2500 firm.bin 2500/2500 done");
    recorder.Clear();
    EXPECT_EQ(session.app.Link().SendDeviceFile("missing.bin").Cause(), device::cause::kFileNotOpened);
    EXPECT_EQ(recorder.Timeline(), "");  // nothing started, nothing to end
}

TEST(DeviceFile, MissingFileShowsTheSameBoxEachTimeAndEndsTheEmptyJob) {
    Bench bench;
    const std::string path = bench.data.PathOf("firm.bin");
    EXPECT_EQ(bench.Send("firm.bin"), 0);
    EXPECT_EQ(bench.Send("firm.bin"), 0);
    const std::pair<std::string, std::string> box{"Error", "Error opening file" + path};  // caption, text
    EXPECT_EQ(bench.session.host.MessageBoxes(), (std::vector{box, box}));
    const std::string once = bench.SendingLine("firm.bin") + bench.NotSentLine("firm.bin", "the file could not be opened");
    EXPECT_EQ(bench.Log(), once + once);
    // Each empty job was ended, not abandoned.
    ASSERT_EQ(bench.session.spooler.Jobs().size(), 2u);
    EXPECT_TRUE(bench.session.spooler.Jobs()[0].bytes.empty());
    EXPECT_EQ(bench.Writes(), 0u);
    EXPECT_TRUE(bench.Failed());
    EXPECT_TRUE(bench.session.NothingLeftOpen());
}

TEST(DeviceFile, UnreadableFileIsNotReportedAsSent) {
    // The process's own memory is a regular file whose first read fails.
    Bench bench;
    std::filesystem::create_symlink("/proc/self/mem", bench.data.PathOf("orlax.prn"));
    EXPECT_EQ(bench.Send("orlax.prn"), 0);
    const std::string path = bench.data.PathOf("orlax.prn");
    EXPECT_EQ(bench.Log(), bench.SendingLine("orlax.prn") + path + " Error in read !\r\n" +
                               bench.NotSentLine("orlax.prn", "the file could not be read"));
    EXPECT_EQ(bench.Writes(), 0u);
    EXPECT_TRUE(bench.session.host.MessageBoxes().empty());
    EXPECT_TRUE(bench.Failed());
    EXPECT_TRUE(bench.session.NothingLeftOpen());
}

// Only a regular file is sent: anything else in a device file's place
// would stall the operation (a pipe) or never end (a device), so it is a
// file that cannot be opened, at once.
TEST(DeviceFile, AnythingButARegularFileIsNotOpened) {
    struct Case {
        const char* what;
        std::function<void(const std::string& path, std::vector<int>& held)> make;
    };
    const Case cases[] = {
        {"a pipe nobody writes", [](const std::string& p, auto&) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"a pipe that stays open",
         [](const std::string& p, auto& held) {
             ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
             held.push_back(::open(p.c_str(), O_RDWR));
         }},
        {"an endless device", [](const std::string& p, auto&) { std::filesystem::create_symlink("/dev/zero", p); }},
        {"a folder", [](const std::string& p, auto&) { std::filesystem::create_directory(p); }},
    };
    for (const Case& c : cases) {
        Bench bench;
        std::vector<int> held;
        const std::string path = bench.data.PathOf("firm.bin");
        c.make(path, held);
        EXPECT_EQ(bench.Send("firm.bin"), 0) << c.what;
        const std::pair<std::string, std::string> box{"Error", "Error opening file" + path};
        EXPECT_EQ(bench.session.host.MessageBoxes(), std::vector{box}) << c.what;
        EXPECT_EQ(bench.Writes(), 0u) << c.what;
        EXPECT_TRUE(bench.Failed()) << c.what;
        EXPECT_TRUE(bench.session.NothingLeftOpen()) << c.what;
        for (const int fd : held) ::close(fd);
    }
}

// Every spooler step that can fail: the path line always stands first, a
// failed or short write adds its line, the file's not-sent line names the
// spooler's error, and nothing stays open.
TEST(DeviceFile, EverySpoolerFaultFailsAndEndsWhatItStarted) {
    struct Case {
        const char* name;
        emulator::Faults faults;
        const char* extraLog;
        std::size_t jobsDelivered;
        const char* why = "the unit or its spooler failed the call";
    };
    const Case cases[] = {
        {"open", {.open = true}, "", 0},
        {"startDoc", {.startDoc = true}, "", 0},
        {"startPage", {.startPage = true}, "", 1},
        {"write", {.write = true}, "Bad Write To Printer !! \r\n", 1},
        {"shortWrite", {.shortWrite = true}, "Bad Write To Printer !! \r\n", 1,
         "the spooler took fewer bytes than it was given"},
        {"endPage", {.endPage = true}, "", 1},
        {"endDoc", {.endDoc = true}, "", 0},
    };
    for (const Case& c : cases) {
        emulator::Scenario scenario = emulator::DefaultScenario();
        scenario.faults = c.faults;
        Bench bench(scenario);
        bench.data.Put("MarlithPro.Lod", PatternBytes(2500));
        EXPECT_EQ(bench.Send("MarlithPro.Lod"), 0) << c.name;
        EXPECT_EQ(bench.Log(), bench.SendingLine("MarlithPro.Lod") + c.extraLog +
                                   bench.NotSentLine("MarlithPro.Lod", c.why))
            << c.name;
        EXPECT_EQ(bench.session.spooler.Jobs().size(), c.jobsDelivered) << c.name;
        EXPECT_TRUE(bench.session.host.MessageBoxes().empty()) << c.name;
        EXPECT_TRUE(bench.Failed()) << c.name;
        EXPECT_TRUE(bench.session.NothingLeftOpen()) << c.name;
    }
}

// A write in the middle of the file that fails or falls short ends the
// transfer there.
TEST(DeviceFile, FaultInALaterBlockStopsTheTransfer) {
    for (const auto kind : {emulator::SpoolerCall::Write, emulator::SpoolerCall::ShortWrite}) {
        Bench bench;
        bench.data.Put("fupdate.fzp", PatternBytes(2500));
        bench.session.spooler.FailNthCall(kind, 2);
        EXPECT_EQ(bench.Send("fupdate.fzp"), 0);
        EXPECT_EQ(bench.session.Jobs()[0].bytes.size(), kind == emulator::SpoolerCall::Write ? 1000u : 1999u);
        const char* why = kind == emulator::SpoolerCall::Write ? "the unit or its spooler failed the call"
                                                               : "the spooler took fewer bytes than it was given";
        EXPECT_EQ(bench.Log(), bench.SendingLine("fupdate.fzp") + "Bad Write To Printer !! \r\n" +
                                   bench.NotSentLine("fupdate.fzp", why));
        EXPECT_TRUE(bench.session.NothingLeftOpen());
    }
}

}  // namespace
}  // namespace orlax::device
