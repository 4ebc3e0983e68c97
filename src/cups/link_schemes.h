// The device URI schemes through which the CUPS spooler reads a unit's
// status: one row per scheme, each scheme a folder of src/links.
#pragma once

#include <span>

#include "links/schemes.h"

namespace orlax::cups {

std::span<const links::Scheme> LinkSchemes();

}  // namespace orlax::cups
