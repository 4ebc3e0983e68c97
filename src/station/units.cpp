#include "station/units.h"

#include <algorithm>
#include <cctype>

#include "links/schemes.h"
#include "links/socket/unit_address.h"
#include "links/usb/usb_uri.h"
#include "platform/spooler_errors.h"
#include "cups/prompt_delivery.h"

namespace orlax::station {
namespace {

constexpr std::string_view kMake = "Korvane";
constexpr std::string_view kModel = "ORLAX PRO";

bool SameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool IsOrlaxPro(const links::usb::DeviceId& id) {
    const std::optional<std::string> make = id.Make();
    const std::optional<std::string> model = id.Model();
    return make && model && SameText(*make, kMake) && SameText(*model, kModel);
}

std::vector<links::usb::AttachedPrinter> OrlaxUnits(const std::vector<links::usb::AttachedPrinter>& printers) {
    std::vector<links::usb::AttachedPrinter> units;
    for (const links::usb::AttachedPrinter& printer : printers)
        if (printer.identity && IsOrlaxPro(printer.identity->id)) units.push_back(printer);
    return units;
}

const links::usb::AttachedPrinter* Named(const std::vector<links::usb::AttachedPrinter>& printers,
                                         std::string_view usbUri) {
    const std::optional<links::usb::UsbUri> wanted = links::usb::ParseUsbUri(usbUri);
    if (!wanted) return nullptr;
    for (const links::usb::AttachedPrinter& printer : printers)
        if (printer.identity && links::usb::Names(*wanted, printer.identity->uri)) return &printer;
    return nullptr;
}

Scheme SchemeOf(std::string_view uri) {
    if (links::HasScheme(uri, "socket")) return Scheme::Socket;
    if (links::HasScheme(uri, "usb")) return Scheme::Usb;
    return Scheme::Other;
}

UriVerdict Judge(std::string_view uri, const std::vector<links::usb::AttachedPrinter>& printers,
                 const std::string& quirksFolder) {
    UriVerdict verdict;
    switch (SchemeOf(uri)) {
        case Scheme::Socket:
            verdict.carriesStatus = links::socket::ParseSocketUri(uri).has_value();
            if (!verdict.carriesStatus) verdict.statusWhy = std::string(platform::SpoolerErrorText(platform::kErrorBadDeviceUri));
            verdict.prompt = cups::EndsJobsPromptly(uri);
            if (!*verdict.prompt) verdict.promptWhy = "no waiteof=false: CUPS's socket backend waits up to 90 s after each job";
            break;
        case Scheme::Usb: {
            verdict.carriesStatus = links::usb::ParseUsbUri(uri).has_value();
            if (!verdict.carriesStatus) verdict.statusWhy = std::string(platform::SpoolerErrorText(platform::kErrorBadUsbUri));
            const links::usb::AttachedPrinter* unit = Named(printers, uri);
            if (!unit) {
                verdict.promptWhy = "the unit is not attached (or its device ID cannot be read)";
                break;
            }
            verdict.prompt = cups::MarksUnidir(quirksFolder, unit->vendor, unit->product);
            if (!*verdict.prompt)
                verdict.promptWhy = "no unidir quirk for " + links::usb::VendorProduct(unit->vendor, unit->product) +
                                    " in " + quirksFolder + ": CUPS's usb backend waits 8 s after each job";
            break;
        }
        case Scheme::Other:
            verdict.statusWhy = uri.empty() ? std::string(platform::SpoolerErrorText(platform::kErrorDeviceUriUnknown))
                                            : std::string(platform::SpoolerErrorText(platform::kErrorNoStatusPath));
            verdict.prompt = false;
            verdict.promptWhy = "no status";
            break;
    }
    return verdict;
}

}  // namespace orlax::station
