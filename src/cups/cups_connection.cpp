#include "cups/cups_connection.h"

#include <cups/cups.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "cups/cups_errors.h"
#include "links/socket/name_lookup.h"
#include "platform/spooler_errors.h"

namespace orlax::cups {
namespace {

using Clock = std::chrono::steady_clock;

// How often CUPS asks whether to go on waiting. A request's bound counts
// from its start, so waits CUPS makes on its own (a second for the server's
// go-ahead before a request's body) count too, and a bound is held to within
// one of these.
constexpr std::chrono::milliseconds kSilencePoll{100};

std::string Seconds(std::chrono::milliseconds time) {
    const auto tenths = (time.count() + 50) / 100;
    return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "") + " s";
}

// The addresses found, in the list form CUPS connects to (which it copies).
class CupsAddresses {
public:
    explicit CupsAddresses(const addrinfo* found) {
        http_addrlist_t** tail = &head_;
        for (const addrinfo* address = found; address; address = address->ai_next) {
            if (address->ai_addrlen > sizeof(http_addr_t)) continue;
            auto* entry = static_cast<http_addrlist_t*>(std::calloc(1, sizeof(http_addrlist_t)));
            if (!entry) break;
            std::memcpy(&entry->addr, address->ai_addr, address->ai_addrlen);
            *tail = entry;
            tail = &entry->next;
        }
    }
    ~CupsAddresses() {
        while (head_) std::free(std::exchange(head_, head_->next));
    }
    CupsAddresses(const CupsAddresses&) = delete;
    CupsAddresses& operator=(const CupsAddresses&) = delete;
    http_addrlist_t* List() const { return head_; }

private:
    http_addrlist_t* head_ = nullptr;
};

// CUPS's own failures on its side of the connection, given when no answer
// came: their texts are whatever the last system call left in errno.
bool IsClientSideStatus(ipp_status_t status) {
    return status == IPP_STATUS_ERROR_INTERNAL || status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

}  // namespace

void IppResponseDeleter::operator()(ipp_t* response) const { ippDelete(response); }

std::string ServerName() {
    const std::string server = cupsServer();
    if (!server.empty() && server.front() == '/') return server;
    return server + ":" + std::to_string(ippPort());
}

std::unique_ptr<CupsConnection> CupsConnection::Open(const CupsTimes& times, ServiceError& error) {
    const std::string server = cupsServer();
    const int port = ippPort();
    const Clock::time_point deadline = Clock::now() + times.connect;
    // A local socket's path needs no lookup; a name is looked up by the
    // deadline, and CUPS connects to the addresses found.
    links::socket::Lookup lookup;
    if (server.empty() || server.front() != '/') {
        lookup = links::socket::LookUpBy(server, static_cast<std::uint16_t>(port), deadline);
        if (lookup.result == links::socket::LookupResult::TimedOut) {
            error = {platform::kErrorServerSilent, "the print server's name " + server + " was not looked up within " +
                                             Seconds(times.connect)};
            return nullptr;
        }
        if (lookup.result != links::socket::LookupResult::Ok) {
            error = {platform::kErrorServerGone, "the print server " + server + " cannot be found (" + lookup.detail + ")"};
            return nullptr;
        }
    }
    const CupsAddresses addresses(lookup.addresses.get());
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    http_t* http = httpConnect2(server.c_str(), port, addresses.List(), AF_UNSPEC, cupsEncryption(), 1,
                                static_cast<int>(std::max<std::int64_t>(left.count(), 1)), nullptr);
    // CUPS keeps no cause of a failed connect that can be trusted (errno is
    // whatever its last clean-up left), so only what is known is said.
    if (!http) {
        error = {platform::kErrorServerGone, "the print server at " + ServerName() + " cannot be reached" +
                                       (Clock::now() >= deadline ? " within " + Seconds(times.connect)
                                                                 : std::string(" (nothing accepts the connection)"))};
        return nullptr;
    }
    std::unique_ptr<CupsConnection> connection(new CupsConnection(http, times));
    httpSetTimeout(http, std::chrono::duration<double>(std::min(kSilencePoll, times.progress)).count(), GiveUp,
                   connection.get());
    return connection;
}

CupsConnection::~CupsConnection() { httpClose(http_); }

int CupsConnection::GiveUp(http_t*, void* self) { return static_cast<CupsConnection*>(self)->KeepWaiting() ? 1 : 0; }

// A call that comes more than a poll and a half after the last one follows
// progress (data went through in between): the silence starts anew, a poll
// ago.
bool CupsConnection::KeepWaiting() {
    const Clock::time_point now = Clock::now();
    if (now - lastAsked_ > kSilencePoll * 3 / 2 && silentSince_ < lastAsked_) silentSince_ = now - kSilencePoll;
    lastAsked_ = now;
    if (now - silentSince_ < times_.progress) return true;
    timedOut_ = true;
    return false;
}

IppResponse CupsConnection::Do(ipp_t* request, const char* resource, std::string_view what, ServiceError& error) {
    timedOut_ = false;
    silentSince_ = lastAsked_ = Clock::now();
    IppResponse response(cupsDoRequest(http_, request, resource));
    const ipp_status_t status = cupsLastError();
    if (response && status < IPP_STATUS_REDIRECTION_OTHER_SITE) return response;
    error = Failure(what, response || (!timedOut_ && !IsClientSideStatus(status)));
    return nullptr;
}

// A status of the server's own says it answered; none, or one that CUPS
// sets on its side when no answer came, says it did not.
ServiceError CupsConnection::Failure(std::string_view what) const {
    const ipp_status_t status = cupsLastError();
    return Failure(what, status != IPP_STATUS_OK && !IsClientSideStatus(status));
}

ServiceError CupsConnection::Failure(std::string_view what, bool answered) const {
    const std::string prefix = std::string(what) + ": ";
    if (timedOut_)
        return {platform::kErrorServerSilent,
                prefix + "the print server at " + ServerName() + " did not respond for " + Seconds(times_.progress)};
    if (!answered) return {platform::kErrorServerGone, prefix + "the print server at " + ServerName() + " closed the connection"};
    return LastCupsError(what);
}

}  // namespace orlax::cups
