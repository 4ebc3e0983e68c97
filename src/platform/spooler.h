// The print spooler port: the handful of spooler calls through which the tool
// reaches a unit. Results follow the spooler's own conventions:
//  - OpenPrinter, StartPagePrinter, WritePrinter, EndPagePrinter,
//    EndDocPrinter, ClosePrinter: nonzero on success, 0 on failure;
//  - StartDocPrinter: the job id (nonzero) on success, 0 on failure;
//  - SetPrinterData, GetPrinterData: 0 on success, an error code otherwise;
//  - WaitForJob: nonzero once the unit has the job, 0 on failure;
//  - GetLastError: the code of the last failed call; LastErrorText its
//    words, which may say more than the code's text (the run that holds a
//    unit, CUPS's own reason).
//
// A job ended with EndDocPrinter is queued, not yet sent: a spooler delivers
// it to the unit when it can. WaitForJob waits until the spooler reports it
// delivered (completed); a job stopped, aborted or canceled by the spooler,
// or not delivered within JobDeliveryBoundMs of its size, is a failed send
// and is cancelled, so that it can never reach the unit later.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/spooler_errors.h"

namespace orlax::platform {

using PrinterHandle = std::uintptr_t;  // 0 is "no handle"

// Access rights asked for when a queue is opened for status exchange:
// the standard rights plus administer and use.
inline constexpr std::uint32_t kPrinterAllAccess = 0xF000C;
// The registry type of the status request.
inline constexpr std::uint32_t kRegBinary = 3;

// How long a spooler may take to deliver a job of `bytes` bytes: 5 s, and 2 s
// more for every MiB (a unit that takes less than half a MiB a second has
// stopped taking it).
inline constexpr std::uint32_t kJobDeliveryBaseMs = 5000;
inline constexpr std::uint32_t kJobDeliveryMsPerMiB = 2000;
constexpr std::uint64_t JobDeliveryBoundMs(std::uint64_t bytes) {
    return kJobDeliveryBaseMs + (bytes * kJobDeliveryMsPerMiB + (1u << 20) - 1) / (1u << 20);
}

struct PrinterDefaults {
    std::uint32_t desiredAccess = 0;
};

struct DocInfo {
    std::string_view docName;
    std::string_view dataType;  // "RAW" for every job of this tool
};

// One local queue as the spooler enumerates it; only the name is used.
struct PrinterInfo {
    std::string printerName;
};

class Spooler {
public:
    virtual ~Spooler() = default;

    virtual int OpenPrinter(std::string_view name, PrinterHandle* handle,
                            const PrinterDefaults* defaults) = 0;
    virtual int ClosePrinter(PrinterHandle handle) = 0;

    virtual std::uint32_t SetPrinterData(PrinterHandle handle, std::string_view valueName,
                                         std::uint32_t type,
                                         std::span<const std::uint8_t> data) = 0;
    // Fills `buffer` with the value's bytes and `*needed` with their count.
    virtual std::uint32_t GetPrinterData(PrinterHandle handle, std::string_view valueName,
                                         std::uint32_t* type, std::span<std::uint8_t> buffer,
                                         std::uint32_t* needed) = 0;

    virtual std::uint32_t StartDocPrinter(PrinterHandle handle, const DocInfo& doc) = 0;
    virtual int StartPagePrinter(PrinterHandle handle) = 0;
    virtual int WritePrinter(PrinterHandle handle, std::span<const std::uint8_t> data,
                             std::uint32_t* written) = 0;
    virtual int EndPagePrinter(PrinterHandle handle) = 0;
    virtual int EndDocPrinter(PrinterHandle handle) = 0;
    // Waits until job `jobId`, ended on `handle`, has reached the unit (see
    // above). A spooler that hands a job to the unit as its document ends has
    // nothing to wait for.
    virtual int WaitForJob(PrinterHandle handle, std::uint32_t jobId) {
        (void)handle;
        (void)jobId;
        return 1;
    }

    // Withdraws the handle's open document, or its ended job not yet
    // delivered: the unit never receives it. Returns 1 when there was one to
    // withdraw; 0 when there was none or the spooler cannot withdraw jobs.
    virtual int AbortPrinter(PrinterHandle handle) {
        (void)handle;
        return 0;
    }

    // The local queues in the spooler's own order. Returns 1 and fills
    // `printers` on success (possibly with none), 0 when the enumeration failed.
    virtual int EnumLocalPrinters(std::vector<PrinterInfo>* printers) = 0;

    virtual std::uint32_t GetLastError() const = 0;
    // The words of the last failure: the code's text in the table unless the
    // spooler knows more. Empty while GetLastError is 0.
    virtual std::string LastErrorText() const { return std::string(SpoolerErrorText(GetLastError())); }
};

}  // namespace orlax::platform
