#include "cups/link_schemes.h"

#include <array>

#include "links/socket/socket_scheme.h"
#include "links/usb/usb_scheme.h"

namespace orlax::cups {
namespace {

constexpr std::array kSchemes{
    links::socket::kScheme,  // socket://HOST:PORT
    links::usb::kScheme,     // usb://MAKE/MODEL?serial=S
};

}  // namespace

std::span<const links::Scheme> LinkSchemes() { return kSchemes; }

}  // namespace orlax::cups
