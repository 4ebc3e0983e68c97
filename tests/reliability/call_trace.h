// A spooler in front of the emulated one that writes down every call it
// passes on, and what the calls of a fault-free run were for: each queue
// handle is one status query or one print job, a job is a command when it
// carries one 8-byte packet, else a device file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "emulator/call_faults.h"
#include "emulator/device_model.h"
#include "emulator/emulated_spooler.h"
#include "platform/forwarding_spooler.h"

namespace orlax::reliability {

using emulator::SpoolerCall;

struct TracedCall {
    SpoolerCall kind;  // ShortWrite is never written down: a write is a Write
    platform::PrinterHandle handle;
    std::size_t offset = 0;  // Write: the job's bytes offered before this write
    std::size_t size = 0;    // Write: the bytes offered
};

class TracingSpooler final : public platform::ForwardingSpooler {
public:
    explicit TracingSpooler(platform::Spooler& inner) : ForwardingSpooler(inner) {}

    int OpenPrinter(std::string_view name, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults* defaults) override {
        const int result = ForwardingSpooler::OpenPrinter(name, handle, defaults);
        Note(SpoolerCall::Open, handle ? *handle : 0);
        return result;
    }
    std::uint32_t SetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t type, std::span<const std::uint8_t> data) override {
        Note(SpoolerCall::SetData, handle);
        return ForwardingSpooler::SetPrinterData(handle, valueName, type, data);
    }
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view valueName,
                                 std::uint32_t* type, std::span<std::uint8_t> buffer,
                                 std::uint32_t* needed) override {
        Note(SpoolerCall::GetData, handle);
        return ForwardingSpooler::GetPrinterData(handle, valueName, type, buffer, needed);
    }
    std::uint32_t StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo& doc) override {
        Note(SpoolerCall::StartDoc, handle);
        jobBytes_ = 0;
        return ForwardingSpooler::StartDocPrinter(handle, doc);
    }
    int StartPagePrinter(platform::PrinterHandle handle) override {
        Note(SpoolerCall::StartPage, handle);
        return ForwardingSpooler::StartPagePrinter(handle);
    }
    int WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                     std::uint32_t* written) override {
        calls_.push_back({SpoolerCall::Write, handle, jobBytes_, data.size()});
        jobBytes_ += data.size();
        return ForwardingSpooler::WritePrinter(handle, data, written);
    }
    int EndPagePrinter(platform::PrinterHandle handle) override {
        Note(SpoolerCall::EndPage, handle);
        return ForwardingSpooler::EndPagePrinter(handle);
    }
    int EndDocPrinter(platform::PrinterHandle handle) override {
        Note(SpoolerCall::EndDoc, handle);
        return ForwardingSpooler::EndDocPrinter(handle);
    }
    int WaitForJob(platform::PrinterHandle handle, std::uint32_t jobId) override {
        Note(SpoolerCall::WaitJob, handle);
        return ForwardingSpooler::WaitForJob(handle, jobId);
    }

    const std::vector<TracedCall>& Calls() const { return calls_; }

private:
    void Note(SpoolerCall kind, platform::PrinterHandle handle) { calls_.push_back({kind, handle}); }

    std::vector<TracedCall> calls_;
    std::size_t jobBytes_ = 0;
};

// What one queue handle of a fault-free run was used for.
enum class UseKind { StatusQuery, CommandJob, FileJob };

struct HandleUse {
    platform::PrinterHandle handle;
    UseKind kind;
    // Jobs: the index of the job among the jobs the unit received.
    std::size_t jobIndex = 0;
    // Status queries: true when the next use is the command job that this
    // query cleared for sending; false for a read the operation itself made.
    bool guardsCommand = false;
};

// The uses in the order their queues were opened, given the calls of a
// fault-free run and the jobs the unit received in it.
inline std::vector<HandleUse> Uses(const std::vector<TracedCall>& calls,
                                   const std::vector<emulator::EmulatedSpooler::Job>& jobs) {
    std::vector<HandleUse> uses;
    std::size_t nextJob = 0;
    for (const TracedCall& call : calls) {
        if (call.kind == SpoolerCall::Open) {
            uses.push_back({call.handle, UseKind::StatusQuery});
        } else if (call.kind == SpoolerCall::StartDoc) {
            HandleUse& use = uses.back();
            use.jobIndex = nextJob;
            use.kind = nextJob < jobs.size() && emulator::IsCommandPacket(jobs[nextJob].bytes)
                           ? UseKind::CommandJob
                           : UseKind::FileJob;
            ++nextJob;
        }
    }
    for (std::size_t i = 0; i + 1 < uses.size(); ++i)
        uses[i].guardsCommand =
            uses[i].kind == UseKind::StatusQuery && uses[i + 1].kind == UseKind::CommandJob;
    return uses;
}

// The call that is number `n` (1-based) of `kind` in `calls`; a ShortWrite
// is the Nth write.
inline std::optional<TracedCall> NthCall(const std::vector<TracedCall>& calls, SpoolerCall kind,
                                         std::size_t n) {
    const SpoolerCall counted = kind == SpoolerCall::ShortWrite ? SpoolerCall::Write : kind;
    for (const TracedCall& call : calls)
        if (call.kind == counted && --n == 0) return call;
    return std::nullopt;
}

inline std::size_t CountOf(const std::vector<TracedCall>& calls, SpoolerCall kind) {
    const SpoolerCall counted = kind == SpoolerCall::ShortWrite ? SpoolerCall::Write : kind;
    std::size_t count = 0;
    for (const TracedCall& call : calls) count += call.kind == counted;
    return count;
}

}  // namespace orlax::reliability
