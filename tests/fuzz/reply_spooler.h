// A spooler for the fuzz targets: every queue reaches one unit whose every
// status read answers the same bytes, whatever they are, and which takes
// every print job. It keeps count of what is open, so that a target can
// check that every handle was closed and every job ended.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string_view>
#include <vector>

#include "platform/spooler.h"
#include "clocks/virtual_clock.h"

namespace orlax::fuzz {

class ReplySpooler final : public platform::Spooler {
public:
    static constexpr std::uint32_t kErrorInvalidHandle = 6;
    static constexpr std::uint32_t kErrorMoreData = 234;
    static constexpr std::uint32_t kErrorOutOfOrder = 1906;

    // `clock` moves 1 ms at every call, so that every time-bounded loop ends.
    ReplySpooler(std::span<const std::uint8_t> reply, clocks::VirtualClock& clock)
        : reply_(reply.begin(), reply.end()), clock_(clock) {}

    int OpenPrinter(std::string_view, platform::PrinterHandle* handle,
                    const platform::PrinterDefaults*) override {
        clock_.Advance(1);
        *handle = next_++;
        open_[*handle] = {};
        return 1;
    }
    int ClosePrinter(platform::PrinterHandle handle) override {
        clock_.Advance(1);
        const auto it = open_.find(handle);
        if (it == open_.end()) return Fail(kErrorInvalidHandle);
        unended_ += it->second.doc + it->second.page;
        open_.erase(it);
        return 1;
    }
    std::uint32_t SetPrinterData(platform::PrinterHandle handle, std::string_view, std::uint32_t,
                                 std::span<const std::uint8_t>) override {
        clock_.Advance(1);
        return open_.contains(handle) ? 0 : Error(kErrorInvalidHandle);
    }
    // The whole reply when it fits, else as much as fits, the count needed
    // and "more data", as the spooler does.
    std::uint32_t GetPrinterData(platform::PrinterHandle handle, std::string_view, std::uint32_t* type,
                                 std::span<std::uint8_t> buffer, std::uint32_t* needed) override {
        clock_.Advance(1);
        if (!open_.contains(handle)) return Error(kErrorInvalidHandle);
        if (type) *type = platform::kRegBinary;
        *needed = static_cast<std::uint32_t>(reply_.size());
        std::copy_n(reply_.begin(), std::min(reply_.size(), buffer.size()), buffer.begin());
        return reply_.size() > buffer.size() ? Error(kErrorMoreData) : 0;
    }
    std::uint32_t StartDocPrinter(platform::PrinterHandle handle, const platform::DocInfo&) override {
        clock_.Advance(1);
        Handle* h = Find(handle);
        if (!h || h->doc) return Fail(kErrorOutOfOrder);
        h->doc = true;
        h->job.clear();
        return 1;
    }
    int StartPagePrinter(platform::PrinterHandle handle) override {
        clock_.Advance(1);
        Handle* h = Find(handle);
        if (!h || !h->doc || h->page) return Fail(kErrorOutOfOrder);
        h->page = true;
        return 1;
    }
    int WritePrinter(platform::PrinterHandle handle, std::span<const std::uint8_t> data,
                     std::uint32_t* written) override {
        clock_.Advance(1);
        Handle* h = Find(handle);
        if (!h || !h->page) return Fail(kErrorOutOfOrder);
        h->job.insert(h->job.end(), data.begin(), data.end());
        *written = static_cast<std::uint32_t>(data.size());
        return 1;
    }
    int EndPagePrinter(platform::PrinterHandle handle) override {
        clock_.Advance(1);
        Handle* h = Find(handle);
        if (!h || !h->page) return Fail(kErrorOutOfOrder);
        h->page = false;
        return 1;
    }
    int EndDocPrinter(platform::PrinterHandle handle) override {
        clock_.Advance(1);
        Handle* h = Find(handle);
        if (!h || !h->doc || h->page) return Fail(kErrorOutOfOrder);
        h->doc = false;
        jobs_.push_back(std::move(h->job));
        return 1;
    }
    int EnumLocalPrinters(std::vector<platform::PrinterInfo>* printers) override {
        printers->clear();
        return 1;
    }
    std::uint32_t GetLastError() const override { return lastError_; }

    // Handles not closed, and documents or pages never ended.
    std::size_t LeftOpen() const { return open_.size() + unended_; }
    // The jobs the unit received, in order.
    const std::vector<std::vector<std::uint8_t>>& Jobs() const { return jobs_; }

private:
    struct Handle {
        bool doc = false;
        bool page = false;
        std::vector<std::uint8_t> job;
    };

    Handle* Find(platform::PrinterHandle handle) {
        const auto it = open_.find(handle);
        return it == open_.end() ? nullptr : &it->second;
    }
    // A failed call: the code for the data calls, 0 for the others.
    std::uint32_t Error(std::uint32_t code) { return lastError_ = code; }
    int Fail(std::uint32_t code) {
        lastError_ = code;
        return 0;
    }

    std::vector<std::uint8_t> reply_;
    clocks::VirtualClock& clock_;
    std::map<platform::PrinterHandle, Handle> open_;
    platform::PrinterHandle next_ = 1;
    std::size_t unended_ = 0;
    std::vector<std::vector<std::uint8_t>> jobs_;
    std::uint32_t lastError_ = 0;
};

}  // namespace orlax::fuzz
