#include "links/usb/usb_scheme.h"

#include <optional>

#include "links/usb/usb_link.h"
#include "links/usb/usb_uri.h"

namespace orlax::links::usb {
namespace {

class UsbUnitLink final : public StatusLink {
public:
    UsbUnitLink(UsbLink& bus, UsbUri unit) : bus_(bus), unit_(std::move(unit)) {}
    Outcome Exchange(const protocol::StatusRequest& request, Deadline deadline, ReplyBuffer& reply) override {
        return bus_.ExchangeStatus(unit_, request, deadline, reply);
    }

private:
    UsbLink& bus_;
    UsbUri unit_;
};

class UsbLinks final : public LinkMaker {
public:
    std::unique_ptr<StatusLink> Open(std::string_view uri) override {
        std::optional<UsbUri> unit = ParseUsbUri(uri);
        if (!unit) return nullptr;
        return std::make_unique<UsbUnitLink>(bus_, std::move(*unit));
    }

private:
    UsbLink bus_;
};

}  // namespace

std::unique_ptr<LinkMaker> StartUsbLinks() { return std::make_unique<UsbLinks>(); }

}  // namespace orlax::links::usb
