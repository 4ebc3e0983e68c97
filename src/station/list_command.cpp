// orlax-station list.
#include <string>
#include <vector>

#include "station/station.h"
#include "station/units.h"

namespace orlax::station {
namespace {

void ListUnits(Station& station, const std::vector<links::usb::AttachedPrinter>& printers) {
    station.out << "ORLAX PRO units attached by USB:\n";
    int shown = 0;
    for (const links::usb::AttachedPrinter& printer : printers) {
        const std::string where = links::usb::VendorProduct(printer.vendor, printer.product) + "  bus " +
                                  std::to_string(printer.bus) + " device " + std::to_string(printer.address);
        if (!printer.identity) {
            // A printer that could not be looked at may be a unit.
            station.out << "  ?  " << where << ": " << printer.problem << "\n";
            ++shown;
            continue;
        }
        if (!IsOrlaxPro(printer.identity->id)) continue;
        const std::string uri = links::usb::FormatUsbUri(printer.identity->uri);
        station.out << "  " << uri << "  " << where << "  serial " << printer.identity->uri.serial.value_or("(none)")
                    << "\n";
        ++shown;
    }
    if (shown == 0) station.out << "  (none)\n";
}

void ListQueues(Station& station, const std::vector<links::usb::AttachedPrinter>& printers) {
    std::vector<std::string> names;
    cups::ServiceError error;
    station.out << "Queues:\n";
    if (!station.queues.ListLocalQueues(names, error)) {
        station.out << "  (the print server cannot be asked: " << error.text << ")\n";
        return;
    }
    if (names.empty()) station.out << "  (none)\n";
    for (const std::string& name : names) {
        const std::optional<cups::QueueInfo> queue = station.queues.FindQueue(name, error);
        if (!queue) {
            station.out << "  " << name << ": " << error.text << "\n";
            continue;
        }
        const UriVerdict verdict = Judge(queue->deviceUri, printers, station.quirksFolder);
        station.out << "  " << name << "  " << (queue->deviceUri.empty() ? "(no device URI)" : queue->deviceUri)
                    << "  status: " << (verdict.carriesStatus ? "yes" : "no");
        if (verdict.carriesStatus) {
            station.out << "  prompt delivery: "
                        << (verdict.prompt ? (*verdict.prompt ? "yes" : "no (orlax-station add " + name + ")")
                                           : "unknown (" + verdict.promptWhy + ")");
        }
        station.out << "\n";
    }
}

}  // namespace

int List(Station& station) {
    std::vector<links::usb::AttachedPrinter> printers;
    std::string error;
    const bool scanned = station.attached(printers, error);
    if (!scanned) {
        station.out << "ORLAX PRO units attached by USB:\n  (USB cannot be looked at: " << error << ")\n";
    } else {
        ListUnits(station, printers);
    }
    ListQueues(station, printers);
    return kExitOk;
}

}  // namespace orlax::station
