// A connection of the tool's own to the print server (the server of
// CUPS_SERVER or client.conf, else the local cupsd) on which every wait has
// an end: the server's name is looked up and connected to within `connect`,
// and a request, its answer or a job's data that makes no progress for
// `progress` is given up. A failure says in words what happened.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "cups/queue_service.h"

typedef struct _http_s http_t;
typedef struct _ipp_s ipp_t;

namespace orlax::cups {

struct CupsTimes {
    std::chrono::milliseconds connect{5000};
    std::chrono::milliseconds progress{5000};
};

struct IppResponseDeleter {
    void operator()(ipp_t* response) const;
};
using IppResponse = std::unique_ptr<ipp_t, IppResponseDeleter>;

class CupsConnection {
public:
    // nullptr (error set) when the server cannot be reached in time.
    static std::unique_ptr<CupsConnection> Open(const CupsTimes& times, ServiceError& error);
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    http_t* Http() const { return http_; }

    // Sends `request` (taken) to `resource` and reads the answer. The answer,
    // or nullptr (error set) when the server gave none or refused the
    // request; `what` names the request in the text.
    IppResponse Do(ipp_t* request, const char* resource, std::string_view what, ServiceError& error);

    // Why the last exchange on this connection failed: CUPS's status and
    // words when the server answered, else in words of our own: the server
    // did not respond in time, or closed the connection.
    ServiceError Failure(std::string_view what) const;

private:
    using Clock = std::chrono::steady_clock;

    CupsConnection(http_t* http, const CupsTimes& times) : http_(http), times_(times) {}
    // CUPS calls it at every kSilencePoll of a wait with nothing to read or
    // write: true to keep waiting, until the server has been silent for
    // `progress`.
    static int GiveUp(http_t* http, void* self);
    bool KeepWaiting();
    ServiceError Failure(std::string_view what, bool answered) const;

    http_t* http_;
    CupsTimes times_;
    bool timedOut_ = false;
    // Since when the server has said nothing: the start of a request, or of
    // a wait that follows progress; the last time CUPS asked.
    Clock::time_point silentSince_{};
    Clock::time_point lastAsked_{};
};

// The print server as it is named in texts.
std::string ServerName();

}  // namespace orlax::cups
