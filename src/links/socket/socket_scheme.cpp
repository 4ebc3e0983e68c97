#include "links/socket/socket_scheme.h"

#include <optional>

#include "links/socket/network_link.h"
#include "links/socket/unit_address.h"

namespace orlax::links::socket {
namespace {

class SocketLink final : public StatusLink {
public:
    explicit SocketLink(UnitAddress unit) : unit_(std::move(unit)) {}
    Outcome Exchange(const protocol::StatusRequest& request, Deadline deadline, ReplyBuffer& reply) override {
        return ExchangeStatus(unit_, request, deadline, reply);
    }

private:
    UnitAddress unit_;
};

class SocketLinks final : public LinkMaker {
public:
    std::unique_ptr<StatusLink> Open(std::string_view uri) override {
        std::optional<UnitAddress> unit = ParseSocketUri(uri);
        if (!unit) return nullptr;
        return std::make_unique<SocketLink>(std::move(*unit));
    }
};

}  // namespace

std::unique_ptr<LinkMaker> StartSocketLinks() { return std::make_unique<SocketLinks>(); }

}  // namespace orlax::links::socket
