// The scheme socket://HOST:PORT: the unit's status on a connection of its
// own to the unit's address (network_link.h).
#pragma once

#include <memory>

#include "links/schemes.h"

namespace orlax::links::socket {

std::unique_ptr<LinkMaker> StartSocketLinks();

inline constexpr Scheme kScheme{"socket", LinkResult::BadSocketUri, &StartSocketLinks};

}  // namespace orlax::links::socket
