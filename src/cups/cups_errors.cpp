#include "cups/cups_errors.h"

#include <cups/cups.h>

#include "platform/spooler_errors.h"

namespace orlax::cups {

ServiceError LastCupsError(std::string_view what) {
    const ipp_status_t status = cupsLastError();
    const char* text = cupsLastErrorString();
    ServiceError error;
    error.code = status == IPP_STATUS_OK ? platform::kErrorCupsFailed : static_cast<std::uint32_t>(status);
    error.text = std::string(what) + ": " + (text && *text ? text : ippErrorString(status));
    // CUPS's text for a server it cannot reach is often only the last
    // system error; the server's name says more.
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        error.text += std::string(" (CUPS at ") + cupsServer() + " unavailable)";
    return error;
}

}  // namespace orlax::cups
