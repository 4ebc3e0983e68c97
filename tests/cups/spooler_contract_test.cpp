// What every spooler of the tool must do, the same way and with the same
// error codes: the emulated spooler, the fault decorator around it with no
// fault planned, and the CUPS spooler through cupsd on the loopback address
// (a raw socket:// queue to orlax-emulator). The USB link runs the same
// cases: tests/links/usb/usb_end_to_end.sh runs them under orlax-emulator --usb on a
// usb:// queue of a cupsd of its own (ORLAX_CONTRACT_QUEUE), the status over
// USB and the jobs through cupsd's usb backend.
//
// The CUPS bed needs a running cupsd and CUPS administrator rights; outside
// CI (CI=true) it skips without them, in CI it fails.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/emulated_spooler.h"
#include "emulator/fault_spooler.h"
#include "protocol/status_record.h"
#include "protocol/wire.h"
#include "cups/cups_spooler.h"
#include "support/emulator_process.h"
#include "platform/spooler_errors.h"

namespace orlax::cups {
namespace {

using platform::PrinterHandle;

constexpr std::string_view kMissingQueue = "orlax-contract-missing";
const std::vector<std::uint8_t> kMove = {0x1B, 0x04, 0x09, 0, 0, 0, 0, 0x28};
const std::uint8_t kRequest[1] = {0};

// --- the beds: each gives a spooler and the name of a queue it has ---

class EmulatedBed {
public:
    static bool CanRun(std::string&) { return true; }
    platform::Spooler& Spooler() { return spooler_; }
    std::string Queue() const { return "Lumetra PRO"; }

private:
    emulator::EmulatedSpooler spooler_{emulator::DefaultScenario()};
};

class DecoratedBed {
public:
    static bool CanRun(std::string&) { return true; }
    platform::Spooler& Spooler() { return faults_; }
    std::string Queue() const { return "Lumetra PRO"; }

private:
    emulator::EmulatedSpooler emulated_{emulator::DefaultScenario()};
    emulator::FaultSpooler faults_{emulated_};
};

bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

class CupsBed {
public:
    static bool CanRun(std::string& why) {
        if (!Run("lpstat -r | grep -q 'scheduler is running'")) {
            why = "no cupsd is running";
            return false;
        }
        return true;
    }

    // A raw queue to an orlax-emulator of its own; or, when
    // ORLAX_CONTRACT_QUEUE names one, that queue as it stands (the USB test
    // runs the contract on a usb:// queue to the emulated USB unit).
    CupsBed() {
        if (const char* given = std::getenv("ORLAX_CONTRACT_QUEUE"); given && *given) {
            queue_ = given;
            ready_ = true;
        } else {
            queue_ = "orlax-contract-" + std::to_string(::getpid());
            unit_.emplace(std::vector<std::string>{"--listen", "127.0.0.1:0"},
                          ::testing::TempDir() + "contract_emulator.err");
            const std::uint16_t port = unit_->ListeningPort();
            if (port == 0) return;
            added_ = ready_ =
                Run("lpadmin -p '" + queue_ + "' -E -v socket://127.0.0.1:" + std::to_string(port) + " -m raw");
        }
        spooler_ = MakeCupsSpooler();
    }
    ~CupsBed() {
        if (added_) Run("lpadmin -x '" + queue_ + "'");
    }

    bool Ready() const { return ready_; }
    platform::Spooler& Spooler() { return *spooler_; }
    std::string Queue() const { return queue_; }

private:
    std::string queue_;
    std::optional<testing::EmulatorProcess> unit_;
    bool added_ = false;
    bool ready_ = false;
    std::unique_ptr<platform::Spooler> spooler_;
};

template <typename Bed>
class SpoolerContract : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!Bed::CanRun(why)) {
            if (const char* ci = std::getenv("CI"); ci && std::string(ci) == "true") FAIL() << why;
            GTEST_SKIP() << why;
        }
        bed_.emplace();
        if constexpr (std::is_same_v<Bed, CupsBed>) {
            ASSERT_TRUE(bed_->Ready()) << "no raw queue to orlax-emulator";
        }
    }

    platform::Spooler& S() { return bed_->Spooler(); }

    PrinterHandle Open() {
        PrinterHandle handle = 0;
        EXPECT_EQ(S().OpenPrinter(bed_->Queue(), &handle, nullptr), 1);
        EXPECT_NE(handle, 0u);
        return handle;
    }

    std::optional<Bed> bed_;
};

using Beds = ::testing::Types<EmulatedBed, DecoratedBed, CupsBed>;
class BedNames {
public:
    template <typename Bed>
    static std::string GetName(int) {
        if constexpr (std::is_same_v<Bed, EmulatedBed>) return "Emulated";
        if constexpr (std::is_same_v<Bed, DecoratedBed>) return "FaultDecorator";
        return "CupsLoopback";
    }
};
TYPED_TEST_SUITE(SpoolerContract, Beds, BedNames);

TYPED_TEST(SpoolerContract, OpensAnExistingQueueOnlyAndClosesOnce) {
    platform::Spooler& s = this->S();
    PrinterHandle missing = 77;
    EXPECT_EQ(s.OpenPrinter(kMissingQueue, &missing, nullptr), 0);
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(s.GetLastError(), platform::kErrorNoSuchQueue);
    EXPECT_EQ(s.OpenPrinter(this->bed_->Queue(), nullptr, nullptr), 0);
    EXPECT_EQ(s.GetLastError(), platform::kErrorInvalidParameter);

    const PrinterHandle a = this->Open();
    const PrinterHandle b = this->Open();
    EXPECT_NE(a, b);
    EXPECT_EQ(s.ClosePrinter(a), 1);
    EXPECT_EQ(s.ClosePrinter(a), 0);
    EXPECT_EQ(s.GetLastError(), platform::kErrorInvalidHandle);
    EXPECT_EQ(s.ClosePrinter(b), 1);
}

TYPED_TEST(SpoolerContract, StatusDataOnlyUnderItsValueName) {
    platform::Spooler& s = this->S();
    const PrinterHandle handle = this->Open();
    std::array<std::uint8_t, 1000> buffer{};
    std::uint32_t type = 0, needed = 0;
    EXPECT_EQ(s.SetPrinterData(handle, protocol::kStatusValueName, platform::kRegBinary, kRequest), 0u);
    EXPECT_EQ(s.GetPrinterData(handle, protocol::kStatusValueName, &type, buffer, &needed), 0u);
    EXPECT_EQ(type, platform::kRegBinary);
    EXPECT_EQ(needed, protocol::kStatusRecordSize);

    std::array<std::uint8_t, 10> small{};
    EXPECT_EQ(s.SetPrinterData(handle, protocol::kStatusValueName, platform::kRegBinary, kRequest), 0u);
    EXPECT_EQ(s.GetPrinterData(handle, protocol::kStatusValueName, &type, small, &needed), platform::kErrorMoreData);
    EXPECT_EQ(needed, protocol::kStatusRecordSize);

    EXPECT_EQ(s.SetPrinterData(handle, "OTHER", platform::kRegBinary, kRequest), platform::kErrorUnknownValue);
    EXPECT_EQ(s.GetPrinterData(handle, "OTHER", &type, buffer, &needed), platform::kErrorUnknownValue);
    EXPECT_EQ(s.GetLastError(), platform::kErrorUnknownValue);
    EXPECT_EQ(s.GetPrinterData(handle, protocol::kStatusValueName, &type, buffer, nullptr), platform::kErrorInvalidParameter);
    EXPECT_EQ(s.ClosePrinter(handle), 1);
}

TYPED_TEST(SpoolerContract, RawJobStepsInOrderReachTheUnit) {
    platform::Spooler& s = this->S();
    const PrinterHandle handle = this->Open();
    const std::uint32_t job = s.StartDocPrinter(handle, {protocol::kJobDocumentName, protocol::kRawDataType});
    ASSERT_NE(job, 0u) << s.GetLastError();
    EXPECT_EQ(s.StartPagePrinter(handle), 1);
    std::uint32_t written = 0;
    EXPECT_EQ(s.WritePrinter(handle, kMove, &written), 1);
    EXPECT_EQ(written, kMove.size());
    EXPECT_EQ(s.EndPagePrinter(handle), 1);
    EXPECT_EQ(s.EndDocPrinter(handle), 1);
    EXPECT_EQ(s.WaitForJob(handle, job), 1) << s.GetLastError();
    EXPECT_EQ(s.ClosePrinter(handle), 1);
}

TYPED_TEST(SpoolerContract, StepsOutOfOrderAndOtherDataTypesFail) {
    platform::Spooler& s = this->S();
    const PrinterHandle handle = this->Open();
    const platform::DocInfo raw{protocol::kJobDocumentName, protocol::kRawDataType};
    std::uint32_t written = 0;
    struct Step {
        const char* what;
        std::function<bool()> fails;  // the step, taken where it is out of order
        std::uint32_t code;
    };
    // In turn: nothing open; a document open; a document and its page open.
    const std::vector<Step> steps = {
        {"a page without a document", [&] { return s.StartPagePrinter(handle) == 0; }, platform::kErrorOutOfOrder},
        {"a write without a document", [&] { return s.WritePrinter(handle, kMove, &written) == 0; }, platform::kErrorOutOfOrder},
        {"a page ended without one", [&] { return s.EndPagePrinter(handle) == 0; }, platform::kErrorOutOfOrder},
        {"a document ended without one", [&] { return s.EndDocPrinter(handle) == 0; }, platform::kErrorOutOfOrder},
        {"a TEXT document", [&] { return s.StartDocPrinter(handle, {"x", "TEXT"}) == 0; }, platform::kErrorInvalidDataType},
        {"the RAW document", [&] { return s.StartDocPrinter(handle, raw) != 0; }, 0},
        {"a second document", [&] { return s.StartDocPrinter(handle, raw) == 0; }, platform::kErrorOutOfOrder},
        {"a page ended before it began", [&] { return s.EndPagePrinter(handle) == 0; }, platform::kErrorOutOfOrder},
        {"the page", [&] { return s.StartPagePrinter(handle) == 1; }, 0},
        {"a second page", [&] { return s.StartPagePrinter(handle) == 0; }, platform::kErrorOutOfOrder},
        {"the document ended while its page is open", [&] { return s.EndDocPrinter(handle) == 0; }, platform::kErrorOutOfOrder},
    };
    for (const Step& step : steps) {
        EXPECT_TRUE(step.fails()) << step.what;
        if (step.code) {
            EXPECT_EQ(s.GetLastError(), step.code) << step.what;
        }
    }
    EXPECT_EQ(s.ClosePrinter(handle), 1);  // withdraws the document left open
}

TYPED_TEST(SpoolerContract, HandlesNeverOpenedOrClosedAreRefused) {
    platform::Spooler& s = this->S();
    const PrinterHandle closed = this->Open();
    ASSERT_EQ(s.ClosePrinter(closed), 1);
    std::array<std::uint8_t, 1000> buffer{};
    std::uint32_t needed = 0, written = 0;
    const std::pair<const char*, std::function<bool(PrinterHandle)>> calls[] = {
        {"close", [&](PrinterHandle h) { return s.ClosePrinter(h) == 0; }},
        {"set data", [&](PrinterHandle h) {
             return s.SetPrinterData(h, protocol::kStatusValueName, platform::kRegBinary, kRequest) == platform::kErrorInvalidHandle;
         }},
        {"get data", [&](PrinterHandle h) {
             return s.GetPrinterData(h, protocol::kStatusValueName, nullptr, buffer, &needed) == platform::kErrorInvalidHandle;
         }},
        {"start document",
         [&](PrinterHandle h) { return s.StartDocPrinter(h, {protocol::kJobDocumentName, protocol::kRawDataType}) == 0; }},
        {"start page", [&](PrinterHandle h) { return s.StartPagePrinter(h) == 0; }},
        {"write", [&](PrinterHandle h) { return s.WritePrinter(h, kMove, &written) == 0; }},
        {"end page", [&](PrinterHandle h) { return s.EndPagePrinter(h) == 0; }},
        {"end document", [&](PrinterHandle h) { return s.EndDocPrinter(h) == 0; }},
        {"wait for a job", [&](PrinterHandle h) { return s.WaitForJob(h, 1) == 0; }},
    };
    for (const PrinterHandle handle : {closed, closed + 1000}) {
        for (const auto& [what, fails] : calls) {
            EXPECT_TRUE(fails(handle)) << what;
            EXPECT_EQ(s.GetLastError(), platform::kErrorInvalidHandle) << what;
        }
    }
}

TYPED_TEST(SpoolerContract, ListsItsQueues) {
    platform::Spooler& s = this->S();
    EXPECT_EQ(s.EnumLocalPrinters(nullptr), 0);
    EXPECT_EQ(s.GetLastError(), platform::kErrorInvalidParameter);
    std::vector<platform::PrinterInfo> printers{{"stale"}};
    ASSERT_EQ(s.EnumLocalPrinters(&printers), 1);
    const auto named = [&](std::string_view name) {
        return std::count_if(printers.begin(), printers.end(),
                             [&](const platform::PrinterInfo& p) { return p.printerName == name; });
    };
    EXPECT_EQ(named(this->bed_->Queue()), 1);
    EXPECT_EQ(named("stale"), 0);
    EXPECT_EQ(named(kMissingQueue), 0);
}

}  // namespace
}  // namespace orlax::cups
