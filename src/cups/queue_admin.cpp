#include "cups/queue_admin.h"

#include <cups/cups.h>

#include <array>

namespace orlax::cups {
namespace {

// No password is ever asked for: a request that needs one is refused.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

}  // namespace

CupsQueueAdmin::CupsQueueAdmin(CupsTimes times) : times_(times) { cupsSetPasswordCB2(NoPassword, nullptr); }

bool CupsQueueAdmin::Reachable(ServiceError& error) { return CupsConnection::Open(times_, error) != nullptr; }

bool CupsQueueAdmin::SetRawQueue(const std::string& name, const std::string& deviceUri, ServiceError& error) {
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()), "ipp", nullptr, "localhost",
                     ippPort(), "/printers/%s", name.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.data());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "ppd-name", nullptr, "raw");
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, deviceUri.c_str());
    ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddInteger(request, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    const std::unique_ptr<CupsConnection> connection = CupsConnection::Open(times_, error);
    if (!connection) {
        ippDelete(request);
        return false;
    }
    return connection->Do(request, "/admin/", "setting up queue '" + name + "'", error) != nullptr;
}

bool NeedsAdministrator(const ServiceError& error) {
    return error.code == IPP_STATUS_ERROR_FORBIDDEN || error.code == IPP_STATUS_ERROR_NOT_AUTHORIZED ||
           error.code == IPP_STATUS_ERROR_NOT_AUTHENTICATED || error.code == IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED;
}

}  // namespace orlax::cups
