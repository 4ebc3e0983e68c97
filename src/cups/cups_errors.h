// CUPS's last error, as the spooler keeps it: CUPS's status code and text,
// or the spooler's own code when CUPS has no status to give.
#pragma once

#include <string_view>

#include "cups/queue_service.h"

namespace orlax::cups {

// CUPS's status and text of the last request of this thread; `what` says
// which request, for the text.
ServiceError LastCupsError(std::string_view what);

}  // namespace orlax::cups
