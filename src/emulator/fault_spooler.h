// A spooler that wraps any other and makes chosen calls fail: every call of
// a kind, or the Nth call of a kind (CallFaults), as a unit, a link or a
// print server can fail them. A failed call gives the code of the fault's
// table (by default platform::kErrorUnitFailed, 31, for every kind) and leaves the
// wrapped spooler as such a failure would:
//   - Open: the queue is opened, then closed again; no handle is given.
//   - SetData, GetData, StartPage, Write: the call never reaches the wrapped
//     spooler (no request taken, no status read, no page, no byte written).
//   - ShortWrite: the wrapped spooler is given all bytes but the last.
//   - StartDoc: the document is started, then withdrawn (AbortPrinter).
//   - EndPage: the page still ends.
//   - EndDoc: the document is withdrawn instead of ended: it ends, and the
//     unit never receives it (a spooler that cannot withdraw keeps it open
//     until the handle closes, which withdraws it).
//   - WaitJob: the wait fails at once and the job is withdrawn if it is not
//     yet delivered (one already delivered stays delivered).
// Calls are counted whether or not they fail; ShortWrite counts as Write.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "emulator/call_faults.h"
#include "emulator/scenario.h"
#include "platform/spooler.h"

namespace orlax::emulator {

// The code a failed call of each kind gives, indexed by SpoolerCall.
using FaultCodes = std::array<std::uint32_t, kSpoolerCallKinds>;
FaultCodes UnitFailureCodes();

class FaultSpooler final : public platform::Spooler {
public:
    // `wrapped` must outlive the decorator.
    explicit FaultSpooler(platform::Spooler& wrapped, FaultCodes codes = UnitFailureCodes());

    void FailNth(SpoolerCall kind, std::size_t n) { faults_.FailNth(kind, n); }
    void FailEvery(SpoolerCall kind) { faults_.FailEvery(kind); }
    // Calls of `kind` made so far, failed or not.
    std::size_t Calls(SpoolerCall kind) const { return faults_.Calls(kind); }

    int OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults* defaults) override;
    int ClosePrinter(platform::PrinterHandle handle) override;
    std::uint32_t SetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t type, std::span<const std::uint8_t> data) override;
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t* type, std::span<std::uint8_t> buffer,
                                 std::uint32_t* needed) override;
    std::uint32_t StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo& doc) override;
    int StartPagePrinter(platform::PrinterHandle handle) override;
    int WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                     std::uint32_t* written) override;
    int EndPagePrinter(platform::PrinterHandle handle) override;
    int EndDocPrinter(platform::PrinterHandle handle) override;
    int WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) override;
    int AbortPrinter(platform::PrinterHandle handle) override;
    int EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) override;
    std::uint32_t GetLastError() const override;
    std::string LastErrorText() const override;

private:
    // Counts a call of `kind`; true when it is to fail (its code then stands
    // as the last error).
    bool Planned(SpoolerCall kind);
    // A result of the wrapped spooler: when it is a failure, the wrapped
    // spooler's last error stands again.
    int Passed(int result) {
        if (result == 0) failed_ = 0;
        return result;
    }
    std::uint32_t PassedJob(std::uint32_t jobId) {
        if (jobId == 0) failed_ = 0;
        return jobId;
    }
    std::uint32_t PassedCode(std::uint32_t code) {
        if (code != 0) failed_ = 0;
        return code;
    }
    std::uint32_t Fail(SpoolerCall kind);

    platform::Spooler& wrapped_;
    FaultCodes codes_;
    CallFaults faults_;
    std::uint32_t failed_ = 0;  // the code of the last failure made here, 0 once the wrapped one failed since
};

// Makes the calls the scenario's `faults` name fail for every job.
void FailEveryScenarioFault(FaultSpooler& spooler, const Faults& faults);

}  // namespace orlax::emulator
