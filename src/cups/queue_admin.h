// Setting up a queue on the print server, as lpadmin does: a raw queue (no
// driver, every byte unchanged) with its device URI, enabled and accepting
// jobs, made or changed with one CUPS-Add-Modify-Printer request. It needs
// CUPS administrator rights (root, or a member of the lpadmin group who can
// authenticate); this tool never asks for a password, so without them the
// request is refused and nothing changes.
#pragma once

#include <string>

#include "cups/cups_connection.h"
#include "cups/queue_service.h"

namespace orlax::cups {

class QueueAdmin {
public:
    virtual ~QueueAdmin() = default;
    // Whether the print server answers; false (error set) when it does not.
    virtual bool Reachable(ServiceError& error) = 0;
    // Makes queue `name` a raw queue to `deviceUri`, enabled and accepting
    // jobs, whether or not it existed; false (error set) when refused.
    virtual bool SetRawQueue(const std::string& name, const std::string& deviceUri, ServiceError& error) = 0;
};

class CupsQueueAdmin final : public QueueAdmin {
public:
    explicit CupsQueueAdmin(CupsTimes times = {});
    bool Reachable(ServiceError& error) override;
    bool SetRawQueue(const std::string& name, const std::string& deviceUri, ServiceError& error) override;

private:
    CupsTimes times_;
};

// Whether the server refused a request for want of administrator rights.
bool NeedsAdministrator(const ServiceError& error);

}  // namespace orlax::cups
