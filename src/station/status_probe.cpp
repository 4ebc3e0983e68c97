#include "station/status_probe.h"

#include <array>
#include <chrono>
#include <cstdint>

#include "protocol/status_exchange.h"
#include "protocol/status_record.h"
#include "protocol/wire.h"
#include "util/format.h"

namespace orlax::station {
namespace {

using Clock = std::chrono::steady_clock;

std::string Code(platform::Spooler& spooler, std::uint32_t code) {
    return "GetLastError returned " + std::to_string(code ? code : spooler.GetLastError());
}

// The unit's state in a few words, from a good record.
std::string StateOf(std::span<const std::uint8_t, protocol::kStatusRecordSize> record) {
    const auto character = [&](std::size_t at) {
        const char c = static_cast<char>(record[at]);
        return c >= ' ' && c <= '~' ? std::string(1, c) : util::FormatCut(8, "0x%02X", unsigned{record[at]});
    };
    return "a record of 100 bytes: system status '" + character(protocol::field::systemStatus) + "', tray '" +
           character(protocol::field::trayStatus) + "', firmware \"" + std::string(protocol::FirmwareText(record)) +
           "\"";
}

}  // namespace

StatusProbe ReadStatusThrough(platform::Spooler& spooler, const std::string& queue) {
    platform::PrinterHandle handle = 0;
    const platform::PrinterDefaults defaults{platform::kPrinterAllAccess};
    if (!spooler.OpenPrinter(queue, &handle, &defaults)) return {false, "the queue cannot be opened: " + Code(spooler, 0)};
    const std::array<std::uint8_t, 1> request{0};
    StatusProbe probe{false, {}};
    if (const std::uint32_t code =
            spooler.SetPrinterData(handle, protocol::kStatusValueName, platform::kRegBinary, request)) {
        probe.said = "the request was not taken: " + Code(spooler, code);
    } else {
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(protocol::kStatusQueryBudgetMs);
        std::array<std::uint8_t, protocol::kMaxStatusReply> reply{};
        do {
            std::uint32_t type = 0;
            std::uint32_t needed = 0;
            const std::uint32_t failed =
                spooler.GetPrinterData(handle, protocol::kStatusValueName, &type, reply, &needed);
            if (failed != 0) {
                probe.said = Code(spooler, failed);
                continue;
            }
            const auto record = std::span<const std::uint8_t, protocol::kStatusRecordSize>(reply.data(),
                                                                                        protocol::kStatusRecordSize);
            if (needed != protocol::kStatusRecordSize || protocol::StatusChecksum(record) != record[protocol::field::checksum]) {
                probe.said = "a reply of " + std::to_string(needed) + " bytes that is not a good record";
                continue;
            }
            probe = {true, StateOf(record)};
        } while (!probe.ok && Clock::now() < until);
    }
    spooler.ClosePrinter(handle);
    return probe;
}

}  // namespace orlax::station
