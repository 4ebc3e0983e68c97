// The unit's spooler as the desktop program hands it to the device logic,
// watched for what the logic does with the unit, so that the clock can tell
// a wait for the unit from a fixed pause: a pause that comes right after a
// status query is a poll (the logic waits until the unit is no longer busy),
// one after a job is part of the operation's own sequence. The polls of one
// wait are counted; a job, or a status query that does not follow a pause,
// starts the count again.
#pragma once

#include "platform/spooler.h"

namespace orlax::gui {

class WatchedSpooler final : public platform::Spooler {
public:
    explicit WatchedSpooler(platform::Spooler& spooler) : spooler_(spooler) {}

    // The clock's side: a pause begins; the number of this poll of the
    // current wait for the unit (1 for the first), or 0 for a fixed pause.
    int BeginPause();
    void EndPause();

    int OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults* defaults) override;
    int ClosePrinter(platform::PrinterHandle handle) override { return spooler_.ClosePrinter(handle); }
    std::uint32_t SetPrinterData(platform::PrinterHandle handle, std::string_view valueName, std::uint32_t type,
                                 std::span<const std::uint8_t> data) override {
        return spooler_.SetPrinterData(handle, valueName, type, data);
    }
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view valueName, std::uint32_t* type,
                                 std::span<std::uint8_t> buffer, std::uint32_t* needed) override {
        return spooler_.GetPrinterData(handle, valueName, type, buffer, needed);
    }
    std::uint32_t StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo& doc) override {
        return spooler_.StartDocPrinter(handle, doc);
    }
    int StartPagePrinter(platform::PrinterHandle handle) override { return spooler_.StartPagePrinter(handle); }
    int WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                     std::uint32_t* written) override {
        return spooler_.WritePrinter(handle, data, written);
    }
    int EndPagePrinter(platform::PrinterHandle handle) override { return spooler_.EndPagePrinter(handle); }
    int EndDocPrinter(platform::PrinterHandle handle) override { return spooler_.EndDocPrinter(handle); }
    int EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) override {
        return spooler_.EnumLocalPrinters(printers);
    }
    std::uint32_t GetLastError() const override { return spooler_.GetLastError(); }

private:
    enum class Last { Nothing, StatusQuery, Job, Pause };

    platform::Spooler& spooler_;
    Last last_ = Last::Nothing;
    bool lastPauseWasPoll_ = false;
    int polls_ = 0;
};

}  // namespace orlax::gui
