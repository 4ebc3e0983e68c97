// orlax-station add NAME [URI].
#include <string>
#include <vector>

#include "cups/cups_queue_service.h"
#include "links/socket/unit_address.h"
#include "links/usb/usb_uri.h"
#include "cups/prompt_delivery.h"
#include "station/station.h"
#include "station/units.h"

namespace orlax::station {
namespace {

// A word as the shell takes it back whole: in single quotes.
std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// What the set-up is to do.
struct Plan {
    std::string name;
    std::string uri;
    // The USB unit to mark unidirectional, when it is not marked yet.
    std::optional<links::usb::AttachedPrinter> quirkFor;
    std::string note;  // why no quirk is written for a usb:// queue
};

int Usage(Station& station, const std::string& message) {
    station.err << "orlax-station: " << message << "\nTry 'orlax-station --help'.\n";
    return kExitUsage;
}

int Failed(Station& station, const std::string& message) {
    station.err << "orlax-station: " << message << "\n";
    return kExitFailed;
}

// The one ORLAX PRO attached by USB; nullopt (message given) when there is
// none or more than one.
std::optional<links::usb::AttachedPrinter> TheOneUnit(Station& station,
                                                      const std::vector<links::usb::AttachedPrinter>& printers) {
    const std::vector<links::usb::AttachedPrinter> units = OrlaxUnits(printers);
    if (units.size() == 1) return units.front();
    if (units.empty()) {
        station.err << "orlax-station: no ORLAX PRO is attached by USB";
        for (const links::usb::AttachedPrinter& printer : printers)
            if (!printer.identity)
                station.err << " (the printer at bus " << printer.bus << " device " << printer.address
                            << " could not be looked at: " << printer.problem << ")";
        station.err << "; for a network unit give its URI: orlax-station add NAME socket://HOST:9100\n";
    } else {
        station.err << "orlax-station: " << units.size() << " ORLAX PRO units are attached; name one by its URI:\n";
        for (const links::usb::AttachedPrinter& unit : units)
            station.err << "  orlax-station add NAME " << Quoted(links::usb::FormatUsbUri(unit.identity->uri)) << "\n";
    }
    return std::nullopt;
}

// nullopt when the set-up cannot be planned (message given, `status` set).
std::optional<Plan> MakePlan(Station& station, const std::string& name, const std::optional<std::string>& given,
                             int& status) {
    status = kExitFailed;
    Plan plan{name, given.value_or(""), std::nullopt, {}};
    std::vector<links::usb::AttachedPrinter> printers;
    std::string error;
    const bool scanned = station.attached(printers, error);
    if (!given) {
        if (!scanned) {
            Failed(station, "USB cannot be looked at: " + error);
            return std::nullopt;
        }
        const std::optional<links::usb::AttachedPrinter> unit = TheOneUnit(station, printers);
        if (!unit) return std::nullopt;
        plan.uri = links::usb::FormatUsbUri(unit->identity->uri);
    }
    switch (SchemeOf(plan.uri)) {
        case Scheme::Socket:
            if (!links::socket::ParseSocketUri(plan.uri)) {
                status = Usage(station, "'" + plan.uri + "' is not a socket://HOST:PORT URI");
                return std::nullopt;
            }
            plan.uri = cups::WithPromptEnd(plan.uri);
            return plan;
        case Scheme::Usb: {
            if (!links::usb::ParseUsbUri(plan.uri)) {
                status = Usage(station, "'" + plan.uri + "' is not a usb://MAKE/MODEL?serial=S URI");
                return std::nullopt;
            }
            const links::usb::AttachedPrinter* unit = Named(printers, plan.uri);
            if (!unit)
                plan.note = "the unit is not attached, so it cannot be marked for prompt delivery: attach it and run "
                            "this again";
            else if (!IsOrlaxPro(unit->identity->id))
                plan.note = "the USB printer is not an ORLAX PRO by its device ID: it is not marked for prompt delivery";
            else if (!cups::MarksUnidir(station.quirksFolder, unit->vendor, unit->product))
                plan.quirkFor = *unit;
            return plan;
        }
        case Scheme::Other: break;
    }
    status = Usage(station, "'" + plan.uri + "': a unit's status is read only through socket://HOST:PORT or "
                            "usb://MAKE/MODEL?serial=S");
    return std::nullopt;
}

// Without the rights: what an administrator would apply, nothing changed.
int AskAdministrator(Station& station, const Plan& plan, const std::string& why) {
    const std::string file = station.quirksFolder + "/" + std::string(cups::kQuirksFileName);
    station.err << "orlax-station: " << why << "; nothing was changed. An administrator would run:\n"
                << "  lpadmin -p " << plan.name << " -E -v " << Quoted(plan.uri) << " -m raw\n";
    if (plan.quirkFor)
        station.err << "  echo " << Quoted(cups::UnidirLine(plan.quirkFor->vendor, plan.quirkFor->product))
                    << " >> " << Quoted(file) << "\n";
    return kExitFailed;
}

}  // namespace

int Add(Station& station, const std::string& name, const std::optional<std::string>& uri) {
    if (!cups::IsCupsQueueName(name))
        return Usage(station, "'" + name + "' is not a queue name: 1 to 127 printable characters without spaces, "
                              "'/', '\\' or '#'");
    int status = kExitFailed;
    const std::optional<Plan> plan = MakePlan(station, name, uri, status);
    if (!plan) return status;

    if (plan->quirkFor && !cups::CanWriteQuirks(station.quirksFolder))
        return AskAdministrator(station, *plan, "not allowed to write in " + station.quirksFolder);
    cups::ServiceError error;
    if (!station.admin.SetRawQueue(plan->name, plan->uri, error)) {
        if (cups::NeedsAdministrator(error))
            return AskAdministrator(station, *plan, "the print server refused (" + error.text + ")");
        return Failed(station, error.text);
    }
    station.out << "queue '" << plan->name << "': raw, enabled, accepting jobs, device " << plan->uri << "\n";
    if (plan->quirkFor) {
        std::string why;
        const std::string vendorProduct = links::usb::VendorProduct(plan->quirkFor->vendor, plan->quirkFor->product);
        if (!cups::AddUnidirLine(station.quirksFolder, plan->quirkFor->vendor, plan->quirkFor->product, why))
            return Failed(station, "the queue is set up, but USB unit " + vendorProduct +
                                       " is not marked for prompt delivery: " + why);
        station.out << "USB unit " << vendorProduct << " marked for prompt delivery in " << station.quirksFolder << "/"
                    << cups::kQuirksFileName << "\n";
    } else if (SchemeOf(plan->uri) == Scheme::Usb && plan->note.empty()) {
        station.out << "USB unit already marked for prompt delivery in " << station.quirksFolder << "\n";
    }
    if (!plan->note.empty()) station.err << "orlax-station: " << plan->note << "\n";

    const StatusProbe probe = station.readStatus(plan->name);
    if (!probe.ok) return Failed(station, "the unit's status could not be read through the queue: " + probe.said);
    station.out << "status: " << probe.said << "\n";
    return plan->note.empty() ? kExitOk : kExitFailed;
}

}  // namespace orlax::station
