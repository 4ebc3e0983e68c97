#include "cups/cups_spooler.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>

#include "cups/fake_queue_service.h"
#include "support/temp_dir.h"
#include "support/loopback_unit.h"
#include "platform/spooler_errors.h"

namespace orlax::cups {
namespace {

using platform::PrinterHandle;
using testing::ClosedPort;
using testing::FakeJob;
using testing::FakeQueueService;
using testing::LoopbackUnit;
using namespace std::chrono_literals;

constexpr platform::DocInfo kCommandDoc{"Lumetra Command", "RAW"};

class CupsSpoolerTest : public ::testing::Test {
protected:
    explicit CupsSpoolerTest(StatusTimes times = {100ms, 2000ms, 0ms}) {
        auto owned = std::make_unique<FakeQueueService>();
        service_ = owned.get();
        service_->queues = {{"unit", "socket://127.0.0.1:9"}, {"office", "ipp://printer.example/ipp/print"}};
        spooler_ = std::make_unique<CupsSpooler>(std::move(owned), times, JobTimes{}, Locks());
    }

    // The unit locks in a folder of this test's own, taken by "orlax-test".
    LockOptions Locks() const { return {locks_.Path().string(), 300ms, "orlax-test"}; }

    PrinterHandle Open(const char* name = "unit") {
        PrinterHandle handle = 0;
        EXPECT_EQ(spooler_->OpenPrinter(name, &handle, nullptr), 1) << name;
        return handle;
    }

    // Sends `bytes` as one job in writes of the given sizes, the steps in the
    // tool's order, ending what was started when a step fails; returns 1
    // when every step succeeded and every byte was taken.
    int SendJob(std::span<const std::uint8_t> bytes, std::vector<std::size_t> writes) {
        const PrinterHandle handle = Open();
        if (!spooler_->StartDocPrinter(handle, kCommandDoc)) {
            spooler_->ClosePrinter(handle);
            return 0;
        }
        if (!spooler_->StartPagePrinter(handle)) {
            spooler_->EndDocPrinter(handle);
            spooler_->ClosePrinter(handle);
            return 0;
        }
        std::size_t at = 0;
        bool wrote = true;
        for (const std::size_t size : writes) {
            std::uint32_t written = 99;
            wrote = spooler_->WritePrinter(handle, bytes.subspan(at, size), &written) && written == size;
            if (!wrote) break;
            at += size;
        }
        const int pageEnded = spooler_->EndPagePrinter(handle);
        const int docEnded = spooler_->EndDocPrinter(handle);
        spooler_->ClosePrinter(handle);
        return wrote && pageEnded && docEnded;
    }

    void ExpectError(std::uint32_t code, const std::string& context) {
        EXPECT_EQ(spooler_->GetLastError(), code) << context;
        EXPECT_FALSE(spooler_->LastErrorText().empty()) << context;
    }

    testing::TempDir locks_{"orlax-locks"};
    FakeQueueService* service_;
    std::unique_ptr<CupsSpooler> spooler_;
};

TEST_F(CupsSpoolerTest, OpensOnlyAQueueThatExists) {
    PrinterHandle handle = 77;
    EXPECT_EQ(spooler_->OpenPrinter("nosuch", &handle, nullptr), 0);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(spooler_->GetLastError(), 1030u);
    EXPECT_EQ(spooler_->LastErrorText(), "The printer or class does not exist.");

    EXPECT_EQ(spooler_->OpenPrinter("unit", nullptr, nullptr), 0);
    ExpectError(platform::kErrorInvalidParameter, "no place for the handle");

    service_->findFailure = ServiceError{1282, "listing the queues: Connection refused"};
    EXPECT_EQ(spooler_->OpenPrinter("unit", &handle, nullptr), 0);
    EXPECT_EQ(spooler_->GetLastError(), 1282u);
    EXPECT_EQ(spooler_->LastErrorText(), "listing the queues: Connection refused");
    EXPECT_EQ(spooler_->OpenHandles(), 0u);
}

// The bytes reach the queue unchanged, in order, as one job per document,
// however they are split into writes; an empty write is taken as 0 bytes.
TEST_F(CupsSpoolerTest, RawJobCarriesEveryByteUnchanged) {
    std::vector<std::uint8_t> file(2500);
    for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::vector<std::uint8_t> packet{0x1B, 0x04, 0x02, 0x01, 0x00, 0x00, 0x00, 0x22};

    ASSERT_EQ(SendJob(file, {1000, 1000, 500, 0}), 1);
    ASSERT_EQ(SendJob(packet, {8}), 1);
    ASSERT_EQ(service_->jobs.size(), 2u);
    for (const auto& job : service_->jobs) {
        EXPECT_EQ(job.queue, "unit");
        EXPECT_EQ(job.docName, "Lumetra Command");
        EXPECT_TRUE(job.finished);
        EXPECT_FALSE(job.withdrawn);
    }
    EXPECT_EQ(service_->jobs[0].bytes, file);
    EXPECT_EQ(service_->jobs[1].bytes, packet);
    EXPECT_EQ(spooler_->OpenHandles(), 0u);
}

TEST_F(CupsSpoolerTest, CallsOutOfTurnFailWithTheirCode) {
    using Call = std::function<int(CupsSpooler&, PrinterHandle)>;
    const std::uint8_t byte[1] = {0};
    std::uint32_t written = 0;
    struct Case {
        const char* what;
        bool docOpen, pageOpen;
        Call call;
        std::uint32_t code;
    };
    const Case cases[] = {
        {"page without a document", false, false, [](auto& s, auto h) { return s.StartPagePrinter(h); },
         platform::kErrorOutOfOrder},
        {"write without a document", false, false,
         [&](auto& s, auto h) { return s.WritePrinter(h, byte, &written); }, platform::kErrorOutOfOrder},
        {"end of page without a page", true, false, [](auto& s, auto h) { return s.EndPagePrinter(h); },
         platform::kErrorOutOfOrder},
        {"end of document without one", false, false, [](auto& s, auto h) { return s.EndDocPrinter(h); },
         platform::kErrorOutOfOrder},
        {"end of document with its page open", true, true, [](auto& s, auto h) { return s.EndDocPrinter(h); },
         platform::kErrorOutOfOrder},
        {"second page", true, true, [](auto& s, auto h) { return s.StartPagePrinter(h); }, platform::kErrorOutOfOrder},
        {"second document", true, false,
         [](auto& s, auto h) { return static_cast<int>(s.StartDocPrinter(h, kCommandDoc)); }, platform::kErrorOutOfOrder},
        {"a data type other than RAW", false, false,
         [](auto& s, auto h) { return static_cast<int>(s.StartDocPrinter(h, {"Lumetra Command", "TEXT"})); },
         platform::kErrorInvalidDataType},
        {"write with no place for the count", true, true,
         [&](auto& s, auto h) { return s.WritePrinter(h, byte, nullptr); }, platform::kErrorInvalidParameter},
        {"unknown handle", false, false, [](auto& s, auto h) { return s.StartPagePrinter(h + 1000); },
         platform::kErrorInvalidHandle},
        {"closed handle", false, false,
         [](auto& s, auto h) {
             s.ClosePrinter(h);
             return s.ClosePrinter(h);
         },
         platform::kErrorInvalidHandle},
    };
    for (const Case& c : cases) {
        const PrinterHandle handle = Open();
        if (c.docOpen) {
            ASSERT_NE(spooler_->StartDocPrinter(handle, kCommandDoc), 0u) << c.what;
        }
        if (c.pageOpen) {
            ASSERT_EQ(spooler_->StartPagePrinter(handle), 1) << c.what;
        }
        EXPECT_EQ(c.call(*spooler_, handle), 0) << c.what;
        ExpectError(c.code, c.what);
        spooler_->ClosePrinter(handle);
    }
    // Every job of these was left open and so withdrawn, none queued.
    for (const auto& job : service_->jobs) EXPECT_TRUE(job.withdrawn && !job.finished);
}

TEST_F(CupsSpoolerTest, AJobNotEndedIsWithdrawn) {
    const PrinterHandle handle = Open();
    ASSERT_NE(spooler_->StartDocPrinter(handle, kCommandDoc), 0u);
    ASSERT_EQ(spooler_->StartPagePrinter(handle), 1);
    std::uint32_t written = 0;
    const std::uint8_t bytes[3] = {1, 2, 3};
    ASSERT_EQ(spooler_->WritePrinter(handle, bytes, &written), 1);
    ASSERT_EQ(spooler_->ClosePrinter(handle), 1);
    ASSERT_EQ(service_->jobs.size(), 1u);
    EXPECT_TRUE(service_->jobs[0].withdrawn);
    EXPECT_FALSE(service_->jobs[0].finished);
}

// A step that CUPS refuses fails with CUPS's code and text; a job it did not
// take in full is withdrawn, never queued in part.
TEST_F(CupsSpoolerTest, RefusedStepsKeepTheServicesCodeAndText) {
    const ServiceError refusal{1024, "ending the job: No file in print request."};
    struct Case {
        const char* what;
        std::optional<ServiceError> FakeQueueService::*failure;
        std::size_t jobsStarted;
    };
    const Case cases[] = {{"creating the job", &FakeQueueService::startFailure, 0},
                          {"writing", &FakeQueueService::writeFailure, 1},
                          {"ending the document", &FakeQueueService::finishFailure, 1}};
    for (const Case& c : cases) {
        service_->jobs.clear();
        service_->*c.failure = refusal;
        const std::vector<std::uint8_t> packet(8, 0x1B);
        EXPECT_EQ(SendJob(packet, {8}), 0) << c.what;
        EXPECT_EQ(spooler_->GetLastError(), refusal.code) << c.what;
        EXPECT_EQ(spooler_->LastErrorText(), refusal.text) << c.what;
        ASSERT_EQ(service_->jobs.size(), c.jobsStarted) << c.what;
        if (c.jobsStarted) {
            EXPECT_TRUE(service_->jobs[0].withdrawn && !service_->jobs[0].finished) << c.what;
        }
        EXPECT_EQ(spooler_->OpenHandles(), 0u) << c.what;
        service_->*c.failure = std::nullopt;
    }
}

TEST_F(CupsSpoolerTest, ListsTheLocalQueuesInTheServicesOrder) {
    service_->queues = {{"zeta", ""}, {"alpha", ""}, {"mid", ""}};
    std::vector<platform::PrinterInfo> printers{{"stale"}};
    ASSERT_EQ(spooler_->EnumLocalPrinters(&printers), 1);
    ASSERT_EQ(printers.size(), 3u);
    EXPECT_EQ(printers[0].printerName, "zeta");
    EXPECT_EQ(printers[1].printerName, "alpha");
    EXPECT_EQ(printers[2].printerName, "mid");

    service_->queues.clear();
    ASSERT_EQ(spooler_->EnumLocalPrinters(&printers), 1);
    EXPECT_TRUE(printers.empty());

    service_->listFailure = ServiceError{1282, "listing the queues: Connection refused"};
    EXPECT_EQ(spooler_->EnumLocalPrinters(&printers), 0);
    EXPECT_EQ(spooler_->GetLastError(), 1282u);
    EXPECT_EQ(spooler_->EnumLocalPrinters(nullptr), 0);
}

// The status exchange reaches the unit behind the queue's socket URI; the
// reply lands in the caller's buffer with its length.
TEST_F(CupsSpoolerTest, StatusReadBringsTheUnitsReply) {
    std::vector<std::uint8_t> record(100);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(0xA0 + i);
    LoopbackUnit unit(LoopbackUnit::Reply(record));
    service_->queues = {{"unit", "socket://127.0.0.1:" + std::to_string(unit.Port())}};

    const PrinterHandle handle = Open();
    const std::uint8_t request[1] = {0x05};
    ASSERT_EQ(spooler_->SetPrinterData(handle, "KORVANE", platform::kRegBinary, request), 0u);
    std::vector<std::uint8_t> buffer(1000, 0xEE);
    std::uint32_t type = 0, needed = 0;
    ASSERT_EQ(spooler_->GetPrinterData(handle, "KORVANE", &type, buffer, &needed), 0u) << spooler_->LastErrorText();
    EXPECT_EQ(type, platform::kRegBinary);
    ASSERT_EQ(needed, 100u);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), buffer.begin()));
    EXPECT_EQ(buffer[100], 0xEE);

    // A buffer too small for the reply: its length is told, nothing beyond written.
    std::vector<std::uint8_t> small(50);
    EXPECT_EQ(spooler_->GetPrinterData(handle, "KORVANE", &type, small, &needed), platform::kErrorMoreData);
    EXPECT_EQ(needed, 100u);
    spooler_->ClosePrinter(handle);

    const auto requests = unit.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], (std::vector<std::uint8_t>{0x1B, 0x04, 0x00, 0x05, 0x00, 0x00, 0x00, 0x24}));
}

TEST_F(CupsSpoolerTest, StatusReadFailuresHaveCodesOfTheirOwn) {
    LoopbackUnit silent(LoopbackUnit::Silent());
    LoopbackUnit longWinded(LoopbackUnit::Reply(std::vector<std::uint8_t>(1001, 0x41)));
    const auto local = [](std::uint16_t port) { return "socket://127.0.0.1:" + std::to_string(port); };
    struct Case {
        std::string deviceUri;
        std::uint32_t code;
    };
    const Case cases[] = {
        {"", platform::kErrorDeviceUriUnknown},
        {"ipp://printer.example/ipp/print", platform::kErrorNoStatusPath},
        {"lpd://printer.example/queue", platform::kErrorNoStatusPath},
        {"socket://:9100", platform::kErrorBadDeviceUri},
        {"socket://no-such-unit.invalid:9100", platform::kErrorHostUnknown},
        {local(ClosedPort()), platform::kErrorRefused},
        {local(silent.Port()), platform::kErrorTimedOut},
        {local(longWinded.Port()), platform::kErrorReplyTooLong},
    };
    for (const Case& c : cases) {
        service_->queues = {{"unit", c.deviceUri}};
        const PrinterHandle handle = Open();
        const std::uint8_t request[1] = {0};
        spooler_->SetPrinterData(handle, "KORVANE", platform::kRegBinary, request);
        std::vector<std::uint8_t> buffer(1000);
        std::uint32_t needed = 12345;
        EXPECT_EQ(spooler_->GetPrinterData(handle, "KORVANE", nullptr, buffer, &needed), c.code) << c.deviceUri;
        ExpectError(c.code, c.deviceUri);
        EXPECT_EQ(needed, 12345u) << c.deviceUri << ": a failed read reports no length";
        spooler_->ClosePrinter(handle);
    }
}

TEST_F(CupsSpoolerTest, PrinterDataCallsCheckTheirArguments) {
    const PrinterHandle handle = Open();
    const std::uint8_t one[1] = {0};
    const std::uint8_t two[2] = {0, 0};
    std::vector<std::uint8_t> buffer(1000);
    std::uint32_t needed = 0;
    EXPECT_EQ(spooler_->GetPrinterData(handle, "KORVANE", nullptr, buffer, &needed), platform::kErrorNoRequest);
    EXPECT_EQ(spooler_->SetPrinterData(handle, "Status", platform::kRegBinary, one), platform::kErrorUnknownValue);
    EXPECT_EQ(spooler_->SetPrinterData(handle, "KORVANE", platform::kRegBinary, two), platform::kErrorInvalidParameter);
    EXPECT_EQ(spooler_->SetPrinterData(handle, "KORVANE", 1, one), platform::kErrorInvalidParameter);
    EXPECT_EQ(spooler_->SetPrinterData(handle + 50, "KORVANE", platform::kRegBinary, one), platform::kErrorInvalidHandle);
    ASSERT_EQ(spooler_->SetPrinterData(handle, "KORVANE", platform::kRegBinary, one), 0u);
    EXPECT_EQ(spooler_->GetPrinterData(handle, "Status", nullptr, buffer, &needed), platform::kErrorUnknownValue);
    EXPECT_EQ(spooler_->GetPrinterData(handle, "KORVANE", nullptr, buffer, nullptr), platform::kErrorInvalidParameter);
    EXPECT_EQ(spooler_->GetPrinterData(handle + 50, "KORVANE", nullptr, buffer, &needed), platform::kErrorInvalidHandle);
    spooler_->ClosePrinter(handle);
}

// The exchanges of one handle end with its budget, whatever time one
// exchange may take: against a unit that never answers, reads on a handle
// with a 50 ms budget fail as time-outs instead of waiting a minute each.
class CupsSpoolerBudgetTest : public CupsSpoolerTest {
protected:
    CupsSpoolerBudgetTest() : CupsSpoolerTest({60000ms, 50ms, 0ms}) {}
};

TEST_F(CupsSpoolerBudgetTest, ExchangesEndWithTheHandlesBudget) {
    LoopbackUnit silent(LoopbackUnit::Silent());
    service_->queues = {{"unit", "socket://127.0.0.1:" + std::to_string(silent.Port())}};
    const PrinterHandle handle = Open();
    const std::uint8_t request[1] = {0};
    spooler_->SetPrinterData(handle, "KORVANE", platform::kRegBinary, request);
    auto reads = std::async(std::launch::async, [&] {
        std::vector<std::uint8_t> buffer(1000);
        std::uint32_t needed = 0;
        std::vector<std::uint32_t> results;
        for (int read = 0; read < 3; ++read)
            results.push_back(spooler_->GetPrinterData(handle, "KORVANE", nullptr, buffer, &needed));
        return results;
    });
    // Far beyond the budget, far below one exchange's own limit: not a
    // measure of speed, only of whether the budget ends the wait at all.
    ASSERT_EQ(reads.wait_for(20s), std::future_status::ready) << "the reads outlived the handle's budget";
    EXPECT_EQ(reads.get(), (std::vector<std::uint32_t>{platform::kErrorTimedOut, platform::kErrorTimedOut, platform::kErrorTimedOut}));
    spooler_->ClosePrinter(handle);
}

// A job counts as sent once the service reports it delivered, within the
// bound for its size; a queue that would keep it takes no job at all.
TEST_F(CupsSpoolerTest, AJobIsSentOnlyWhenDelivered) {
    struct Case {
        const char* name;
        std::size_t bytes;
        bool paused, rejecting, lost;
        int waited;
        std::uint32_t error;  // after a failure
    };
    const Case cases[] = {
        {"a command", 8, false, false, false, 1, 0},
        {"a device file of 3 MiB", 3 << 20, false, false, false, 1, 0},
        {"not delivered", 8, false, false, true, 0, platform::kErrorJobNotCompleted},
        {"a paused queue", 8, true, false, false, 0, platform::kErrorQueuePaused},
        {"a queue rejecting jobs", 8, false, true, false, 0, platform::kErrorQueueRejecting},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service_->jobs.clear();
        service_->paused = c.paused ? std::set<std::string>{"unit"} : std::set<std::string>{};
        service_->rejecting = c.rejecting ? std::set<std::string>{"unit"} : std::set<std::string>{};
        if (c.lost) service_->deliveryFailure = ServiceError{platform::kErrorJobNotCompleted, "not completed in time"};
        const std::vector<std::uint8_t> bytes(c.bytes, 0x42);
        const PrinterHandle handle = Open();
        const std::uint32_t id = spooler_->StartDocPrinter(handle, kCommandDoc);
        if (c.paused || c.rejecting) {
            EXPECT_EQ(id, 0u);
            ExpectError(c.error, c.name);
            EXPECT_TRUE(service_->jobs.empty()) << "nothing may be submitted";
            EXPECT_EQ(spooler_->ClosePrinter(handle), 1);
            continue;
        }
        std::uint32_t written = 0;
        ASSERT_EQ(spooler_->StartPagePrinter(handle), 1);
        ASSERT_EQ(spooler_->WritePrinter(handle, bytes, &written), 1);
        ASSERT_EQ(spooler_->EndPagePrinter(handle), 1);
        ASSERT_EQ(spooler_->EndDocPrinter(handle), 1);
        EXPECT_EQ(spooler_->WaitForJob(handle, id + 1), 0) << "another job";
        EXPECT_EQ(spooler_->WaitForJob(handle, id), c.waited);
        if (!c.waited) ExpectError(c.error, c.name);
        EXPECT_EQ(spooler_->WaitForJob(handle, id), 0) << "a job is waited for once";
        EXPECT_EQ(spooler_->ClosePrinter(handle), 1);
        ASSERT_EQ(service_->jobs.size(), 1u);
        const FakeJob& job = service_->jobs[0];
        EXPECT_EQ(job.delivered, c.waited == 1);
        EXPECT_EQ(job.cancelled, c.waited == 0);
        EXPECT_EQ(job.bound, std::chrono::milliseconds(platform::JobDeliveryBoundMs(c.bytes)));
        service_->deliveryFailure = std::nullopt;
    }
}

// One run drives a unit at a time: a second spooler (another run) cannot
// open a queue, nor another queue of the same unit, while the first holds
// them; it gives up after its wait, naming the holder, before any job, and
// stays refused. Other queues and units are free; the lock files are open to
// every user.
TEST_F(CupsSpoolerTest, ASecondRunCannotOpenAUnitInUse) {
    const std::vector<std::pair<std::string, std::string>> queues{
        {"unit", "socket://127.0.0.1:9"},
        {"unit again", "socket://127.0.0.1:9"},
        {"other unit", "socket://127.0.0.1:10"},
        {"usb a/1", "usb://Korvane/ORLAX%20PRO?serial=S1&interface=0"},
        {"usb a/2", "usb://Korvane/ORLAX%20PRO?serial=S1"},
        {"usb b", "usb://Korvane/ORLAX%20PRO?serial=S2"},
    };
    const auto run = [&](const LockOptions& locks) {
        auto service = std::make_unique<FakeQueueService>();
        service->queues = queues;
        return std::make_unique<CupsSpooler>(std::move(service), StatusTimes{}, JobTimes{}, locks);
    };
    const struct {
        const char *first, *second;
        bool blocked;
    } cases[] = {
        {"unit", "unit", true},          {"unit", "unit again", true}, {"unit", "other unit", false},
        {"usb a/1", "usb a/2", true},    {"usb a/1", "usb b", false},  {"usb a/1", "unit", false},
    };
    for (const auto& c : cases) {
        testing::TempDir folder("orlax-locks");
        const LockOptions locks{folder.Path().string(), 300ms, "orlax-test"};
        auto first = run(locks), second = run(locks);
        const std::string what = std::string(c.first) + " then " + c.second;
        PrinterHandle handle = 0;
        ASSERT_EQ(first->OpenPrinter(c.first, &handle, nullptr), 1) << what;
        first->ClosePrinter(handle);  // the lock outlives the handle
        EXPECT_EQ(second->OpenPrinter(c.second, &handle, nullptr), c.blocked ? 0 : 1) << what;
        if (c.blocked) {
            EXPECT_EQ(second->GetLastError(), platform::kErrorUnitInUse) << what;
            EXPECT_EQ(second->LastErrorText(), "unit in use by PID " + std::to_string(::getpid()) + " (orlax-test)");
            first.reset();  // free again, but the refused run never sends the rest of its operation
            EXPECT_EQ(second->OpenPrinter(c.second, &handle, nullptr), 0) << what;
            EXPECT_EQ(run(locks)->OpenPrinter(c.second, &handle, nullptr), 1) << what;  // a later run can
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            EXPECT_EQ(entry.status().permissions() & std::filesystem::perms::all, std::filesystem::perms(0666));
    }
    EXPECT_EQ(SafeFileName("../Line 1#"), "..%2FLine%201%23");
    EXPECT_NE(SafeFileName(std::string(400, 'q')), SafeFileName(std::string(400, 'q') + "r"));
    EXPECT_LE(SafeFileName(std::string(400, 'q')).size(), 200u);
}

}  // namespace
}  // namespace orlax::cups
