// A spooler that hands every call to another one: the base of the
// decorators (watching, tracing, timing), which override only the calls they
// change. The whole port is forwarded in this one place, so a decorator can
// never drop a call the port has (a job's wait for delivery, its withdrawal)
// and fall back to the port's do-nothing default.
#pragma once

#include "platform/spooler.h"

namespace orlax::platform {

class ForwardingSpooler : public Spooler {
public:
    explicit ForwardingSpooler(Spooler& inner) : inner_(inner) {}

    int OpenPrinter(std::string_view name, PrinterHandle* handle, const PrinterDefaults* defaults) override {
        return inner_.OpenPrinter(name, handle, defaults);
    }
    int ClosePrinter(PrinterHandle handle) override { return inner_.ClosePrinter(handle); }
    std::uint32_t SetPrinterData(PrinterHandle handle, std::string_view valueName, std::uint32_t type,
                                 std::span<const std::uint8_t> data) override {
        return inner_.SetPrinterData(handle, valueName, type, data);
    }
    std::uint32_t GetPrinterData(PrinterHandle handle, std::string_view valueName, std::uint32_t* type,
                                 std::span<std::uint8_t> buffer, std::uint32_t* needed) override {
        return inner_.GetPrinterData(handle, valueName, type, buffer, needed);
    }
    std::uint32_t StartDocPrinter(PrinterHandle handle, const DocInfo& doc) override {
        return inner_.StartDocPrinter(handle, doc);
    }
    int StartPagePrinter(PrinterHandle handle) override { return inner_.StartPagePrinter(handle); }
    int WritePrinter(PrinterHandle handle, std::span<const std::uint8_t> data, std::uint32_t* written) override {
        return inner_.WritePrinter(handle, data, written);
    }
    int EndPagePrinter(PrinterHandle handle) override { return inner_.EndPagePrinter(handle); }
    int EndDocPrinter(PrinterHandle handle) override { return inner_.EndDocPrinter(handle); }
    int WaitForJob(PrinterHandle handle, std::uint32_t jobId) override { return inner_.WaitForJob(handle, jobId); }
    int AbortPrinter(PrinterHandle handle) override { return inner_.AbortPrinter(handle); }
    int EnumLocalPrinters(std::vector<PrinterInfo>* printers) override { return inner_.EnumLocalPrinters(printers); }
    std::uint32_t GetLastError() const override { return inner_.GetLastError(); }
    std::string LastErrorText() const override { return inner_.LastErrorText(); }

private:
    Spooler& inner_;
};

}  // namespace orlax::platform
