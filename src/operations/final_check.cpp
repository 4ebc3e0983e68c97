// FINAL CHECK: firmware, sensors, LEX version and offsets against the
// tolerances; a unit that passes gets its counters cleared, its factory set-up
// and its production record, and is told it passed.
#include "operations/final_check.h"

#include <array>
#include <cstdarg>
#include <cstdlib>
#include <span>
#include <string_view>

#include "device/device_link.h"
#include "operations/context.h"
#include "operations/downloads.h"
#include "operations/maintenance.h"
#include "operations/operator_log.h"
#include "operations/outcome.h"
#include "operations/repeated_failures.h"
#include "platform/clock.h"
#include "platform/progress.h"
#include "report/production_record.h"
#include "util/format.h"

namespace orlax::operations {
namespace {

using protocol::CommandCode;
using device::DeviceMirror;
using device::DeviceState;
namespace field = protocol::field;
using Limit = std::int32_t ToleranceLimits::*;
// Values are compared as 64-bit numbers so that no difference can overflow.
using Value = std::int64_t;

constexpr std::string_view kStarting = "Doing Final Check on ORLAX PRO !\r\n";
constexpr std::string_view kFirmwareOk = "Firmware Ok!\r\n";
constexpr std::string_view kFirmwareBad = "Firmware Version is BAD !!\r\n";
constexpr std::string_view kFirmwareShouldBe = "\tVersion should be:  ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kNotOnline = "Printer Not Online or is busy \r\n";
constexpr std::string_view kLexCorrect = "LEX firmware is correct!";
constexpr std::string_view kNotWithin =
    "Not within MANUFACTURING TOLERANCES !!   PLEASE CORRECT !!\r\n";
constexpr std::string_view kWithin =
    "All offsets and settings are within MANUFACTURING TOLERANCES !!\r\n";
constexpr std::string_view kClearingSpits = "Clearing Spit Counters !!\r\n";
constexpr std::string_view kNotFinished =
    "\r\nUNIT NOT FINISHED: a command or file did not reach it. No record written !!\r\n";
constexpr std::string_view kPassedNotSent =
    "RECORD LINE STANDS: the unit passed its tolerances. UNIT NOT FINISHED: it was not told it passed. "
    "Run FINAL CHECK again !!\r\n";

// A sensor pair: the low reading must not exceed its maximum, the high one
// must reach its minimum. The failure message shows the limits.
struct SensorTest {
    const char* name;        // in the readings line
    const char* loudName;    // in the out-of-tolerance line
    std::size_t low, high;
    Limit lowMax, highMin;
};

constexpr std::array kSensorTests{
    SensorTest{"Tray in", "TRAY IN", field::trayInSensorLow,
               field::trayInSensorHigh, &ToleranceLimits::trayInLowMax,
               &ToleranceLimits::trayInHighMin},
    SensorTest{"Disk in", "DISK IN", field::diskInSensorLow,
               field::diskInSensorHigh, &ToleranceLimits::diskInLowMax,
               &ToleranceLimits::diskInHighMin},
};

// An offset test: the value must lie within [min, max]; a test without a
// minimum only has a maximum.
struct OffsetTest {
    Value (*value)(const DeviceState&);
    Limit min;  // nullptr: no lower bound
    Limit max;
    std::string_view message;
};

template <std::int32_t DeviceMirror::*Field>
Value Mirror(const DeviceState& state) {
    return state.mirror.*Field;
}

template <std::size_t At>
Value RecordByte(const DeviceState& state) {
    return protocol::SignedByte(state.Record(), At);
}

Value BinDifference(const DeviceState& state) {
    return std::abs(Value{state.mirror.leftBin} - Value{state.mirror.rightBin});
}

using L = ToleranceLimits;
constexpr std::array kOffsetTests{
    OffsetTest{BinDifference, nullptr, &L::binDifferenceMax,
               "Right To Left Bin offset out range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::leftBin>, &L::positionMin, &L::positionMax,
               "Left Bin offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::recorder>, &L::positionMin, &L::positionMax,
               "Recorder offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::printer>, &L::positionMin, &L::positionMax,
               "Printer offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::rightBin>, &L::positionMin, &L::positionMax,
               "Right Bin offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::hook>, &L::positionMin, &L::positionMax,
               "Hook offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::armHome>, &L::armHomeMin, &L::armHomeMax,
               "Arm Home offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::trayOut>, &L::trayOutMin, &L::trayOutMax,
               "Tray Out offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::pickerSwitch>, &L::pickerSwitchMin, &L::pickerSwitchMax,
               "Pick switch offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::verticalOffset>, &L::verticalMin, &L::verticalMax,
               "Image Vertical offset out of range !!\r\n"},
    OffsetTest{Mirror<&DeviceMirror::horizontalOffset>, &L::horizontalMin, &L::horizontalMax,
               "Image Horizontal offset out of range !!\r\n"},
    OffsetTest{RecordByte<field::lastDiskLeft>, &L::lastDiskMin, &L::lastDiskMax,
               "Left Last Disk offset out of range !!\r\n"},
    OffsetTest{RecordByte<field::lastDiskRight>, &L::lastDiskMin, &L::lastDiskMax,
               "Right Last Disk offset out of range !!\r\n"},
};

// One log line of at most 119 characters.
[[gnu::format(printf, 2, 3)]] void AppendFormatted(OperatorLog& log, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    log.AppendLog(util::FormatCutV(120, format, args));
    va_end(args);
}

// One run of the check: the verdict starts as a pass and only ever falls.
class FinalCheckRun {
public:
    FinalCheckRun(const Context& context, const FinalCheckParts& parts)
        : context_(context),
          log_(context.log),
          link_(context.link),
          state_(context.link.State()),
          clock_(context.clock),
          outcome_(context.outcome),
          record_(parts.record),
          limits_(parts.limits) {}

    void Run() {
        log_.ClearLog();
        log_.AppendLog(kStarting);
        context_.UpdateWindow();
        CheckFirmware();
        startSent_ = outcome_.Check(link_.SendCommand(CommandCode::FinalCheckStart));
        context_.UpdateWindow();
        clock_.Sleep(kFinalCheckStartWaitMs);
        if (!WaitForIdle() || !link_.GetDeviceStatus().Ok()) {
            log_.AppendLog(kNotOnline);
            outcome_.Failed("the unit did not report idle with a valid status during the final check");
            return;
        }
        CheckSensors();
        CheckLexVersion();
        CheckOffsets();
        log_.AppendLog(kLineEnd);
        log_.AppendLog(kLineEnd);
        if (passed_)
            FinishPassedUnit();
        else
            RejectUnit();
    }

private:
    void Fail() { passed_ = false; }

    // The unit's firmware text must occur within the expected one; an
    // unreadable unit fails without a message of its own.
    void CheckFirmware() {
        if (!link_.GetDeviceStatus().Ok()) {
            Fail();
            return;
        }
        const std::string_view firmware = protocol::FirmwareText(state_.Record());
        if (DeviceMirror::expectedFirmware.find(firmware) != std::string_view::npos) {
            log_.AppendLog(kFirmwareOk);
            log_.AppendLog(kLineEnd);
            return;
        }
        log_.AppendLog(kFirmwareBad);
        log_.AppendLog(kFirmwareShouldBe);
        log_.AppendLog(DeviceMirror::expectedFirmware);
        log_.AppendLog(kLineEnd);
        Fail();
    }

    // Reads until the status byte in the buffer says idle. A failed read
    // leaves the byte as it was, so the 'B' set here keeps the wait going.
    // False when the unit is still not idle after the poll that ends
    // kFinalCheckIdleWaitMs after the first began. Each pause is told as a
    // poll of a wait for the unit; a run of the same failed read shows only
    // its first few times and a count.
    bool WaitForIdle() {
        auto& status = state_.statusBuffer[field::systemStatus];
        status = protocol::kStatusBusy;
        platform::UnitWaitProgress wait(context_.progress);
        const std::uint32_t start = clock_.GetTickCount();
        RepeatedFailures failures(log_);
        for (;;) {
            // A failed read leaves the byte as it was: the wait goes on.
            failures.Poll([this] { link_.GetDeviceStatus().IgnoreFailure(); });
            wait.Poll();
            clock_.Sleep(kFinalCheckIdlePollMs);
            if (status == protocol::kStatusIdle) return true;
            if (static_cast<std::uint32_t>(clock_.GetTickCount() - start) >= kFinalCheckIdleWaitMs) return false;
        }
    }

    void CheckSensors() {
        const auto record = state_.Record();
        const ToleranceLimits& limits = limits_;
        for (const SensorTest& test : kSensorTests) {
            const int low = record[test.low];
            const int high = record[test.high];
            AppendFormatted(log_, "%s Sensor Low: %d ,  High: %d \r\n", test.name, low, high);
            if (low > limits.*test.lowMax || high < limits.*test.highMin) {
                AppendFormatted(log_, "%s SENSOR OUT OF TOLERANCE !!  %d  %d \r\n", test.loudName,
                                limits.*test.lowMax, limits.*test.highMin);
                Fail();
            }
        }
    }

    void CheckLexVersion() {
        const auto& mirror = state_.mirror;
        if (mirror.lexVersion == DeviceMirror::expectedLexVersion) {
            log_.AppendLog(kLexCorrect);
            return;
        }
        AppendFormatted(log_, "LEX FIRMWARE NOT CORRECT !! IS: %d   SHOULD BE: %d \r\n", mirror.lexVersion,
                        DeviceMirror::expectedLexVersion);
        Fail();
    }

    void CheckOffsets() {
        const ToleranceLimits& limits = limits_;
        for (const OffsetTest& test : kOffsetTests) {
            const Value value = test.value(state_);
            const bool belowMin = test.min && value < limits.*test.min;
            if (belowMin || value > limits.*test.max) {
                log_.AppendLog(test.message);
                Fail();
            }
        }
    }

    void RejectUnit() {
        log_.AppendLog(kNotWithin);
        log_.AppendLog(kLineEnd);
        outcome_.Failed("the unit is not within its tolerances");
        outcome_.GoOn(link_.SendCommand(CommandCode::FinalCheckFailed));
    }

    // The record is made from the status read of the last ClearSpits command.
    // A unit that did not get the check's own commands and factory set-up
    // is not finished: no record, and it is not told that it passed.
    void FinishPassedUnit() {
        log_.AppendLog(kWithin);
        log_.AppendLog(kLineEnd);
        log_.AppendLog(kClearingSpits);
        const bool cleared = ClearSpitCounters(context_);
        log_.AppendLog(kLineEnd);
        const bool setUp = SendFactorySetup(context_);
        if (!startSent_ || !cleared || !setUp) {
            log_.AppendLog(kNotFinished);
            outcome_.Failed("the final check's commands or factory set-up did not reach the unit");
            context_.UpdateWindow();
            return;
        }
        const bool recorded = record_.WriteProductionRecord(link_.DeviceDataFolder(), state_, log_);
        if (!recorded) outcome_.Failed("the production record was not written");
        context_.UpdateWindow();
        clock_.Sleep(kFinalCheckPassedWaitMs);
        if (outcome_.Check(link_.SendCommand(CommandCode::FinalCheckPassed)) || !recorded) return;
        // The unit passed and is recorded, but does not know it.
        log_.AppendLog(kPassedNotSent);
        context_.UpdateWindow();
    }

    const Context& context_;
    OperatorLog& log_;
    device::DeviceLink& link_;
    DeviceState& state_;
    platform::Clock& clock_;
    Outcome& outcome_;
    report::ProductionRecord& record_;
    const ToleranceLimits& limits_;
    bool passed_ = true;
    bool startSent_ = false;
};

}  // namespace

void FinalCheck(const Context& context, const FinalCheckParts& parts) { FinalCheckRun(context, parts).Run(); }

}  // namespace orlax::operations
