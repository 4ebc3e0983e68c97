// Device files streamed to the queue: block sizes, the bytes the unit gets,
// and every failure path ending what it started.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/burner_app.h"
#include "emulator/emulated_spooler.h"
#include "platform/headless_host.h"
#include "platform/virtual_clock.h"
#include "support/data_root.h"

namespace orlax::device {
namespace {

using emulator::EmulatedSpooler;
using testing::PatternBytes;
using testing::TempDataRoot;

// The emulated spooler, with the size of every write offered to it noted.
class WriteSizeRecorder final : public platform::Spooler {
public:
    explicit WriteSizeRecorder(platform::Spooler& inner) : inner_(inner) {}

    int OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults* defaults) override {
        return inner_.OpenPrinter(name, handle, defaults);
    }
    int ClosePrinter(platform::PrinterHandle handle) override { return inner_.ClosePrinter(handle); }
    std::uint32_t SetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t type, std::span<const std::uint8_t> data) override {
        return inner_.SetPrinterData(handle, valueName, type, data);
    }
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t* type, std::span<std::uint8_t> buffer,
                                 std::uint32_t* needed) override {
        return inner_.GetPrinterData(handle, valueName, type, buffer, needed);
    }
    std::uint32_t StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo& doc) override {
        return inner_.StartDocPrinter(handle, doc);
    }
    int StartPagePrinter(platform::PrinterHandle handle) override { return inner_.StartPagePrinter(handle); }
    int WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                     std::uint32_t* written) override {
        writes.push_back(data.size());
        return inner_.WritePrinter(handle, data, written);
    }
    int EndPagePrinter(platform::PrinterHandle handle) override { return inner_.EndPagePrinter(handle); }
    int EndDocPrinter(platform::PrinterHandle handle) override { return inner_.EndDocPrinter(handle); }
    int EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) override {
        return inner_.EnumLocalPrinters(printers);
    }
    std::uint32_t GetLastError() const override { return inner_.GetLastError(); }

    std::vector<std::size_t> writes;

private:
    platform::Spooler& inner_;
};

// The link of an application whose queue is the unit's, without a window.
struct Bench {
    explicit Bench(emulator::Scenario scenario = emulator::DefaultScenario())
        : spooler(scenario, &clock),
          recorder(spooler),
          host({}, listOut, boxes),
          app({recorder, clock, host}, app::AppConfig{data.Root()}) {
        app.PrinterName() = "Lumetra PRO";
    }

    int Send(std::string_view name) { return app.Link().SendDeviceFile(name); }
    std::string Log() { return std::string(app.Log().LogText()); }
    std::string SendingLine(std::string_view name) const {
        return data.PathOf(name) + " sending to printer !!\r\n";
    }
    bool NothingLeftOpen() const { return spooler.OpenHandles() == 0 && spooler.OpenJobs() == 0; }

    TempDataRoot data;
    platform::VirtualClock clock;
    EmulatedSpooler spooler;
    WriteSizeRecorder recorder;
    std::ostringstream listOut, boxes;
    platform::HeadlessHost host;
    app::CBurnerApp app;
};

TEST(DeviceFile, StreamsInBlocksOf1000EndingWithAnEmptyWrite) {
    struct Case {
        std::size_t size;
        std::vector<std::size_t> writes;
    };
    const Case cases[] = {
        {0, {0}},
        {1, {1, 0}},
        {999, {999, 0}},
        {1000, {1000, 0}},
        {1001, {1000, 1, 0}},
        {2500, {1000, 1000, 500, 0}},
    };
    for (const Case& c : cases) {
        Bench bench;
        const auto content = PatternBytes(c.size);
        bench.data.Put("firm.bin", content);
        EXPECT_EQ(bench.Send("firm.bin"), 1) << c.size;
        EXPECT_EQ(bench.recorder.writes, c.writes) << c.size;
        ASSERT_EQ(bench.spooler.Jobs().size(), 1u) << c.size;
        const auto& job = bench.spooler.Jobs()[0];
        EXPECT_EQ(job.bytes, content) << c.size;
        EXPECT_EQ(job.docName, "Lumetra Command");
        EXPECT_EQ(job.dataType, "RAW");
        EXPECT_EQ(bench.Log(), bench.SendingLine("firm.bin"));
        EXPECT_TRUE(bench.host.MessageBoxes().empty());
        EXPECT_FALSE(bench.app.Outcome().AnyFailed());
        EXPECT_TRUE(bench.NothingLeftOpen());
    }
}

TEST(DeviceFile, MissingFileShowsTheSameBoxEachTimeAndEndsTheEmptyJob) {
    Bench bench;
    const std::string path = bench.data.PathOf("firm.bin");
    EXPECT_EQ(bench.Send("firm.bin"), 0);
    EXPECT_EQ(bench.Send("firm.bin"), 0);
    const std::pair<std::string, std::string> box{"Error", "Error opening file" + path};  // caption, text
    EXPECT_EQ(bench.host.MessageBoxes(), (std::vector{box, box}));
    EXPECT_EQ(bench.Log(), bench.SendingLine("firm.bin") + bench.SendingLine("firm.bin"));
    // Each empty job was ended, not abandoned.
    ASSERT_EQ(bench.spooler.Jobs().size(), 2u);
    EXPECT_TRUE(bench.spooler.Jobs()[0].bytes.empty());
    EXPECT_TRUE(bench.recorder.writes.empty());
    EXPECT_TRUE(bench.app.Outcome().AnyFailed());
    EXPECT_TRUE(bench.NothingLeftOpen());
}

TEST(DeviceFile, UnreadableFileIsNotReportedAsSent) {
    // A directory opens read-only but every read of it fails.
    Bench bench;
    std::filesystem::create_directory(bench.data.PathOf("orlax.prn"));
    EXPECT_EQ(bench.Send("orlax.prn"), 0);
    const std::string path = bench.data.PathOf("orlax.prn");
    EXPECT_EQ(bench.Log(), bench.SendingLine("orlax.prn") + path + " Error in read !\r\n");
    EXPECT_TRUE(bench.recorder.writes.empty());
    EXPECT_TRUE(bench.host.MessageBoxes().empty());
    EXPECT_TRUE(bench.app.Outcome().AnyFailed());
    EXPECT_TRUE(bench.NothingLeftOpen());
}

// Every spooler step that can fail: the path line always stands first, a
// failed or short write adds its line, and nothing stays open.
TEST(DeviceFile, EverySpoolerFaultFailsAndEndsWhatItStarted) {
    struct Case {
        const char* name;
        emulator::Faults faults;
        const char* extraLog;
        std::size_t jobsDelivered;
    };
    const Case cases[] = {
        {"open", {.open = true}, "", 0},
        {"startDoc", {.startDoc = true}, "", 0},
        {"startPage", {.startPage = true}, "", 1},
        {"write", {.write = true}, "Bad Write To Printer !! \r\n", 1},
        {"shortWrite", {.shortWrite = true}, "Bad Write To Printer !! \r\n", 1},
        {"endPage", {.endPage = true}, "", 1},
        {"endDoc", {.endDoc = true}, "", 0},
    };
    for (const Case& c : cases) {
        emulator::Scenario scenario = emulator::DefaultScenario();
        scenario.faults = c.faults;
        Bench bench(scenario);
        bench.data.Put("MarlithPro.Lod", PatternBytes(2500));
        EXPECT_EQ(bench.Send("MarlithPro.Lod"), 0) << c.name;
        EXPECT_EQ(bench.Log(), bench.SendingLine("MarlithPro.Lod") + c.extraLog) << c.name;
        EXPECT_EQ(bench.spooler.Jobs().size(), c.jobsDelivered) << c.name;
        EXPECT_TRUE(bench.host.MessageBoxes().empty()) << c.name;
        EXPECT_TRUE(bench.app.Outcome().AnyFailed()) << c.name;
        EXPECT_TRUE(bench.NothingLeftOpen()) << c.name;
    }
}

// A write in the middle of the file that fails or falls short ends the
// transfer there.
TEST(DeviceFile, FaultInALaterBlockStopsTheTransfer) {
    for (const auto kind : {emulator::SpoolerCall::Write, emulator::SpoolerCall::ShortWrite}) {
        Bench bench;
        bench.data.Put("fupdate.fzp", PatternBytes(2500));
        bench.spooler.FailNthCall(kind, 2);
        EXPECT_EQ(bench.Send("fupdate.fzp"), 0);
        EXPECT_EQ(bench.recorder.writes, (std::vector<std::size_t>{1000, 1000}));
        EXPECT_EQ(bench.Log(), bench.SendingLine("fupdate.fzp") + "Bad Write To Printer !! \r\n");
        EXPECT_TRUE(bench.NothingLeftOpen());
    }
}

}  // namespace
}  // namespace orlax::device
