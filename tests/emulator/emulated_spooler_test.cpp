#include "emulator/emulated_unit_spooler.h"

#include <gtest/gtest.h>

#include "clocks/virtual_clock.h"
#include "platform/spooler_errors.h"

namespace orlax::emulator {
namespace {

namespace f = protocol::field;
using platform::PrinterHandle;

constexpr std::string_view kQueue = "Lumetra PRO";
constexpr std::string_view kStatus = "KORVANE";
const std::vector<std::uint8_t> kMove = {0x1B, 0x04, 0x09, 0, 0, 0, 0, 0x28};

PrinterHandle Open(platform::Spooler& spooler, std::string_view name = kQueue) {
    PrinterHandle handle = 0;
    spooler.OpenPrinter(name, &handle, nullptr);
    return handle;
}

// Each step's result of one RAW job, sent the way the tool sends one: what
// was started is ended in reverse order on every path.
struct JobSteps {
    int open = 0;
    std::uint32_t startDoc = 0;
    int startPage = 0, write = 0, endPage = 0, endDoc = 0, close = 0;
    std::uint32_t written = 0;
};

JobSteps SendJob(platform::Spooler& spooler, const std::vector<std::uint8_t>& bytes) {
    JobSteps r;
    PrinterHandle handle = 0;
    r.open = spooler.OpenPrinter(kQueue, &handle, nullptr);
    if (!r.open) return r;
    r.startDoc = spooler.StartDocPrinter(handle, {"Lumetra Command", "RAW"});
    if (r.startDoc) {
        r.startPage = spooler.StartPagePrinter(handle);
        if (r.startPage) {
            r.write = spooler.WritePrinter(handle, bytes, &r.written);
            r.endPage = spooler.EndPagePrinter(handle);
        }
        r.endDoc = spooler.EndDocPrinter(handle);
    }
    r.close = spooler.ClosePrinter(handle);
    return r;
}

struct Read {
    std::uint32_t result;
    std::uint32_t needed;
    std::vector<std::uint8_t> buffer;
};

Read ReadStatus(platform::Spooler& spooler, PrinterHandle handle, std::size_t size = 1000) {
    Read read{0, 0xDEAD, std::vector<std::uint8_t>(size + 1, 0xEE)};
    const std::uint8_t request[1] = {0};
    spooler.SetPrinterData(handle, kStatus, platform::kRegBinary, request);
    std::uint32_t type = 0;
    read.result = spooler.GetPrinterData(handle, kStatus, &type,
                                         std::span(read.buffer).first(size), &read.needed);
    return read;
}

TEST(EmulatedSpooler, ListsTheScenarioQueuesAndOpensOnlyThose) {
    Scenario s = DefaultScenario();
    s.queues = {"B", "A"};
    EmulatedUnitSpooler spooler(s);
    std::vector<platform::PrinterInfo> printers = {{"stale"}};
    ASSERT_EQ(spooler.EnumLocalPrinters(&printers), 1);
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_EQ(printers[0].printerName, "B");
    EXPECT_EQ(printers[1].printerName, "A");
    EXPECT_NE(Open(spooler, "A"), 0u);
    EXPECT_EQ(Open(spooler, "Lumetra PRO"), 0u);
    EXPECT_EQ(spooler.GetLastError(), platform::kErrorNoSuchQueue);
    EXPECT_EQ(Open(spooler, "a"), 0u);
    EXPECT_EQ(spooler.OpenPrinter("A", nullptr, nullptr), 0);
    EXPECT_EQ(spooler.OpenHandles(), 1u);

    s.queues.clear();
    EmulatedUnitSpooler none(s);
    EXPECT_EQ(none.EnumLocalPrinters(&printers), 1);
    EXPECT_TRUE(printers.empty());
    EXPECT_EQ(none.EnumLocalPrinters(nullptr), 0);
}

TEST(EmulatedSpooler, StatusExchangeGoesThroughKorvane) {
    Scenario s = DefaultScenario();
    s.replies = {{ReplyKind::Fail, 0}, {ReplyKind::Length, 300}, {ReplyKind::Ok, 0}};
    EmulatedUnitSpooler spooler(s);
    const PrinterHandle handle = Open(spooler);

    Read failed = ReadStatus(spooler, handle);
    EXPECT_EQ(failed.result, platform::kErrorUnitFailed);
    EXPECT_EQ(spooler.GetLastError(), platform::kErrorUnitFailed);
    EXPECT_EQ(failed.needed, 0xDEADu);
    EXPECT_TRUE(std::all_of(failed.buffer.begin(), failed.buffer.end(), [](auto b) { return b == 0xEE; }));

    // A reply longer than the buffer: only what fits, and the read fails.
    Read tooLong = ReadStatus(spooler, handle, 100);
    EXPECT_EQ(tooLong.result, platform::kErrorMoreData);
    EXPECT_EQ(tooLong.needed, 300u);
    EXPECT_EQ(tooLong.buffer[100], 0xEE);

    Read ok = ReadStatus(spooler, handle);
    EXPECT_EQ(ok.result, 0u);
    ASSERT_EQ(ok.needed, 100u);
    EXPECT_TRUE(std::equal(ok.buffer.begin(), ok.buffer.begin() + 100, s.record.begin()));
    EXPECT_EQ(ok.buffer[100], 0xEE);
    EXPECT_EQ(spooler.Device().StatusRequests(), 3u);

    std::uint32_t needed = 0;
    std::vector<std::uint8_t> buffer(1000);
    EXPECT_EQ(spooler.GetPrinterData(handle, "OTHER", nullptr, buffer, &needed), platform::kErrorUnknownValue);
    EXPECT_EQ(spooler.GetPrinterData(handle, kStatus, nullptr, buffer, nullptr), platform::kErrorInvalidParameter);
    EXPECT_EQ(spooler.Device().ScriptedRepliesLeft(), 0u);
    EXPECT_EQ(spooler.ClosePrinter(handle), 1);
    EXPECT_EQ(ReadStatus(spooler, handle).result, platform::kErrorInvalidHandle);
}

TEST(EmulatedSpooler, DeliversACommandJobToTheUnit) {
    EmulatedUnitSpooler spooler(DefaultScenario());
    const JobSteps steps = SendJob(spooler, kMove);
    EXPECT_NE(steps.startDoc, 0u);
    EXPECT_EQ(steps.written, 8u);
    EXPECT_TRUE(steps.write && steps.endPage && steps.endDoc && steps.close);
    ASSERT_EQ(spooler.Jobs().size(), 1u);
    EXPECT_EQ(spooler.Jobs()[0].docName, "Lumetra Command");
    EXPECT_EQ(spooler.Jobs()[0].dataType, "RAW");
    EXPECT_EQ(spooler.Jobs()[0].bytes, kMove);
    EXPECT_EQ(spooler.Device().State()[f::lastCommand], 0x09);
    EXPECT_EQ(spooler.OpenHandles(), 0u);
    EXPECT_EQ(spooler.OpenJobs(), 0u);

    // An empty job is delivered too.
    SendJob(spooler, {});
    ASSERT_EQ(spooler.Jobs().size(), 2u);
    EXPECT_TRUE(spooler.Jobs()[1].bytes.empty());
}

struct FaultCase {
    const char* what;
    Faults faults;
    JobSteps expected;
    bool delivered;
    std::size_t deliveredBytes;
};

TEST(EmulatedSpooler, EachFaultFailsItsStepForEveryJob) {
    const FaultCase cases[] = {
        {"open", {.open = true}, {}, false, 0},
        {"startDoc", {.startDoc = true}, {1, 0, 0, 0, 0, 0, 1, 0}, false, 0},
        {"startPage", {.startPage = true}, {1, 1, 0, 0, 0, 1, 1, 0}, true, 0},
        {"write", {.write = true}, {1, 1, 1, 0, 1, 1, 1, 0}, true, 0},
        {"shortWrite", {.shortWrite = true}, {1, 1, 1, 1, 1, 1, 1, 7}, true, 7},
        {"endPage", {.endPage = true}, {1, 1, 1, 1, 0, 1, 1, 8}, true, 8},
        {"endDoc", {.endDoc = true}, {1, 1, 1, 1, 1, 0, 1, 8}, false, 0},
    };
    for (const FaultCase& c : cases) {
        Scenario s = DefaultScenario();
        s.faults = c.faults;
        EmulatedUnitSpooler spooler(s);
        for (int job = 1; job <= 2; ++job) {
            const JobSteps got = SendJob(spooler, kMove);
            EXPECT_EQ(got.open, c.expected.open) << c.what;
            EXPECT_EQ(got.startDoc != 0, c.expected.startDoc != 0) << c.what;
            EXPECT_EQ(got.startPage, c.expected.startPage) << c.what;
            EXPECT_EQ(got.write, c.expected.write) << c.what;
            EXPECT_EQ(got.written, c.expected.written) << c.what;
            EXPECT_EQ(got.endPage, c.expected.endPage) << c.what;
            EXPECT_EQ(got.endDoc, c.expected.endDoc) << c.what;
            EXPECT_EQ(got.close, c.expected.close) << c.what;
            if (!got.open || !got.startDoc || !got.startPage || !got.write || !got.endPage ||
                !got.endDoc) {
                EXPECT_EQ(spooler.GetLastError(), platform::kErrorUnitFailed) << c.what;
            }
        }
        EXPECT_EQ(spooler.Jobs().size(), c.delivered ? 2u : 0u) << c.what;
        if (c.delivered) { EXPECT_EQ(spooler.Jobs()[1].bytes.size(), c.deliveredBytes) << c.what; }
        EXPECT_EQ(spooler.OpenHandles(), 0u) << c.what;
        EXPECT_EQ(spooler.OpenJobs(), 0u) << c.what;
    }
}

TEST(EmulatedSpooler, ShortWriteOfNothingTakesNothing) {
    Scenario s = DefaultScenario();
    s.faults.shortWrite = true;
    EmulatedUnitSpooler spooler(s);
    const JobSteps got = SendJob(spooler, {});
    EXPECT_EQ(got.write, 1);
    EXPECT_EQ(got.written, 0u);
}

TEST(EmulatedSpooler, InjectedFailureHitsOnlyTheNthCall) {
    struct Case {
        SpoolerCall kind;
        std::size_t n;
        std::size_t delivered;  // of three jobs
    };
    const Case cases[] = {
        {SpoolerCall::Open, 2, 2},    {SpoolerCall::StartDoc, 1, 2}, {SpoolerCall::StartPage, 3, 3},
        {SpoolerCall::Write, 3, 3},   {SpoolerCall::EndPage, 2, 3},  {SpoolerCall::EndDoc, 2, 2},
        {SpoolerCall::ShortWrite, 2, 3},
    };
    for (const Case& c : cases) {
        EmulatedUnitSpooler spooler(DefaultScenario());
        spooler.FailNthCall(c.kind, c.n);
        std::vector<JobSteps> steps;
        for (int job = 0; job < 3; ++job) steps.push_back(SendJob(spooler, kMove));
        EXPECT_EQ(spooler.Jobs().size(), c.delivered) << static_cast<int>(c.kind);
        EXPECT_EQ(spooler.OpenJobs(), 0u);
        EXPECT_EQ(spooler.OpenHandles(), 0u);
        if (c.kind == SpoolerCall::ShortWrite) {
            EXPECT_EQ(steps[1].written, 7u);
            EXPECT_EQ(steps[2].written, 8u);
        }
        if (c.kind == SpoolerCall::Write) { EXPECT_EQ(spooler.Jobs()[2].bytes.size(), 0u); }
    }

    EmulatedUnitSpooler status(DefaultScenario());
    status.FailNthCall(SpoolerCall::GetData, 2);
    const PrinterHandle handle = Open(status);
    EXPECT_EQ(ReadStatus(status, handle).result, 0u);
    EXPECT_EQ(ReadStatus(status, handle).result, platform::kErrorUnitFailed);
    EXPECT_EQ(ReadStatus(status, handle).result, 0u);
    EXPECT_EQ(status.Calls(SpoolerCall::GetData), 3u);
    status.ClosePrinter(handle);
}

TEST(EmulatedSpooler, HandlesKeepTheirOwnJobsAndCallsOutOfOrderFail) {
    EmulatedUnitSpooler spooler(DefaultScenario());
    const PrinterHandle a = Open(spooler);
    const PrinterHandle b = Open(spooler);
    ASSERT_NE(a, b);
    std::uint32_t written = 0;
    EXPECT_EQ(spooler.StartPagePrinter(a), 0);  // no document yet
    EXPECT_EQ(spooler.GetLastError(), platform::kErrorOutOfOrder);
    EXPECT_EQ(spooler.WritePrinter(a, kMove, &written), 0);
    EXPECT_EQ(spooler.EndDocPrinter(a), 0);
    EXPECT_EQ(spooler.StartDocPrinter(a, {"x", "TEXT"}), 0u);
    EXPECT_EQ(spooler.GetLastError(), platform::kErrorInvalidDataType);

    const std::uint32_t jobA = spooler.StartDocPrinter(a, {"A", "RAW"});
    const std::uint32_t jobB = spooler.StartDocPrinter(b, {"B", "RAW"});
    EXPECT_NE(jobA, jobB);
    EXPECT_EQ(spooler.StartDocPrinter(a, {"again", "RAW"}), 0u);
    EXPECT_EQ(spooler.StartPagePrinter(a), 1);
    EXPECT_EQ(spooler.StartPagePrinter(a), 0);
    EXPECT_EQ(spooler.WritePrinter(a, std::span(kMove).first(4), &written), 1);
    EXPECT_EQ(spooler.WritePrinter(b, std::span(kMove).last(4), &written), 1);
    EXPECT_EQ(spooler.WritePrinter(a, std::span(kMove).last(4), &written), 1);
    EXPECT_EQ(spooler.EndDocPrinter(a), 0);  // its page is still open
    EXPECT_EQ(spooler.OpenJobs(), 3u);
    EXPECT_EQ(spooler.EndPagePrinter(a), 1);
    EXPECT_EQ(spooler.EndPagePrinter(a), 0);
    EXPECT_EQ(spooler.EndDocPrinter(a), 1);
    ASSERT_EQ(spooler.Jobs().size(), 1u);
    EXPECT_EQ(spooler.Jobs()[0].docName, "A");
    EXPECT_EQ(spooler.Jobs()[0].bytes, kMove);

    // Closing a handle with its document still open abandons the job: it is
    // never delivered and stays counted.
    EXPECT_EQ(spooler.ClosePrinter(b), 1);
    EXPECT_EQ(spooler.ClosePrinter(b), 0);
    EXPECT_EQ(spooler.GetLastError(), platform::kErrorInvalidHandle);
    EXPECT_EQ(spooler.StartDocPrinter(b, {"B", "RAW"}), 0u);
    EXPECT_EQ(spooler.OpenJobs(), 1u);
    EXPECT_EQ(spooler.OpenHandles(), 1u);
    EXPECT_EQ(spooler.Jobs().size(), 1u);
    EXPECT_EQ(spooler.ClosePrinter(a), 1);
    EXPECT_EQ(spooler.OpenHandles(), 0u);
    EXPECT_EQ(spooler.ClosePrinter(0), 0);
}

TEST(EmulatedSpooler, ClockMovesOneMillisecondPerCall) {
    clocks::VirtualClock clock(1000);
    EmulatedUnitSpooler spooler(DefaultScenario(), &clock);
    SendJob(spooler, kMove);  // seven calls
    EXPECT_EQ(clock.GetTickCount(), 1007u);
    const PrinterHandle handle = Open(spooler);
    ReadStatus(spooler, handle);
    spooler.GetLastError();
    EXPECT_EQ(clock.GetTickCount(), 1010u);
    spooler.ClosePrinter(handle);
}

}  // namespace
}  // namespace orlax::emulator
