#include "emulator/fault_spooler.h"

#include "platform/spooler_errors.h"

namespace orlax::emulator {

FaultCodes UnitFailureCodes() {
    FaultCodes codes;
    codes.fill(platform::kErrorUnitFailed);
    return codes;
}

FaultSpooler::FaultSpooler(platform::Spooler& wrapped, FaultCodes codes) : wrapped_(wrapped), codes_(codes) {}

bool FaultSpooler::Planned(SpoolerCall kind) { return faults_.Planned(kind, faults_.Count(kind)); }

std::uint32_t FaultSpooler::Fail(SpoolerCall kind) {
    failed_ = codes_[static_cast<std::size_t>(kind)];
    return failed_;
}

std::uint32_t FaultSpooler::GetLastError() const { return failed_ ? failed_ : wrapped_.GetLastError(); }

std::string FaultSpooler::LastErrorText() const {
    return failed_ ? std::string(platform::SpoolerErrorText(failed_)) : wrapped_.LastErrorText();
}

int FaultSpooler::OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                              const platform::PrinterDefaults* defaults) {
    const bool fails = Planned(SpoolerCall::Open);
    const int opened = Passed(wrapped_.OpenPrinter(name, handle, defaults));
    if (!opened || !fails) return opened;
    wrapped_.ClosePrinter(*handle);
    *handle = 0;
    Fail(SpoolerCall::Open);
    return 0;
}

int FaultSpooler::ClosePrinter(platform::PrinterHandle handle) { return Passed(wrapped_.ClosePrinter(handle)); }

std::uint32_t FaultSpooler::SetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                           std::uint32_t type, std::span<const std::uint8_t> data) {
    if (Planned(SpoolerCall::SetData)) return Fail(SpoolerCall::SetData);
    return PassedCode(wrapped_.SetPrinterData(handle, valueName, type, data));
}

std::uint32_t FaultSpooler::GetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                           std::uint32_t* type, std::span<std::uint8_t> buffer,
                                           std::uint32_t* needed) {
    if (Planned(SpoolerCall::GetData)) return Fail(SpoolerCall::GetData);
    return PassedCode(wrapped_.GetPrinterData(handle, valueName, type, buffer, needed));
}

std::uint32_t FaultSpooler::StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo& doc) {
    const bool fails = Planned(SpoolerCall::StartDoc);
    const std::uint32_t jobId = PassedJob(wrapped_.StartDocPrinter(handle, doc));
    if (jobId == 0 || !fails) return jobId;
    wrapped_.AbortPrinter(handle);
    Fail(SpoolerCall::StartDoc);
    return 0;
}

int FaultSpooler::StartPagePrinter(platform::PrinterHandle handle) {
    if (Planned(SpoolerCall::StartPage)) return Fail(SpoolerCall::StartPage), 0;
    return Passed(wrapped_.StartPagePrinter(handle));
}

int FaultSpooler::WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                               std::uint32_t* written) {
    const std::size_t n = faults_.Count(SpoolerCall::Write);
    if (faults_.Planned(SpoolerCall::Write, n)) {
        if (written) *written = 0;
        return Fail(SpoolerCall::Write), 0;
    }
    if (faults_.Planned(SpoolerCall::ShortWrite, n) && !data.empty()) data = data.first(data.size() - 1);
    return Passed(wrapped_.WritePrinter(handle, data, written));
}

int FaultSpooler::EndPagePrinter(platform::PrinterHandle handle) {
    const bool fails = Planned(SpoolerCall::EndPage);
    if (!Passed(wrapped_.EndPagePrinter(handle))) return 0;
    if (!fails) return 1;
    return Fail(SpoolerCall::EndPage), 0;
}

int FaultSpooler::EndDocPrinter(platform::PrinterHandle handle) {
    if (!Planned(SpoolerCall::EndDoc)) return Passed(wrapped_.EndDocPrinter(handle));
    wrapped_.AbortPrinter(handle);
    return Fail(SpoolerCall::EndDoc), 0;
}

int FaultSpooler::WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) {
    if (!Planned(SpoolerCall::WaitJob)) return Passed(wrapped_.WaitForJob(handle, jobId));
    wrapped_.AbortPrinter(handle);
    return Fail(SpoolerCall::WaitJob), 0;
}

int FaultSpooler::AbortPrinter(platform::PrinterHandle handle) { return Passed(wrapped_.AbortPrinter(handle)); }

int FaultSpooler::EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) {
    return Passed(wrapped_.EnumLocalPrinters(printers));
}

void FailEveryScenarioFault(FaultSpooler& spooler, const Faults& faults) {
    const std::pair<bool, SpoolerCall> kinds[] = {
        {faults.open, SpoolerCall::Open},           {faults.startDoc, SpoolerCall::StartDoc},
        {faults.startPage, SpoolerCall::StartPage}, {faults.write, SpoolerCall::Write},
        {faults.shortWrite, SpoolerCall::ShortWrite}, {faults.endPage, SpoolerCall::EndPage},
        {faults.endDoc, SpoolerCall::EndDoc},
    };
    for (const auto& [fails, kind] : kinds)
        if (fails) spooler.FailEvery(kind);
}

}  // namespace orlax::emulator
