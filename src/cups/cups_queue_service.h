// The print service of this machine: CUPS, asked over IPP as an ordinary
// local client (no administrator rights needed). The server is CUPS's
// default one (client.conf, or CUPS_SERVER in the environment). Every
// request goes on a connection of the tool's own whose waits all end
// (cups_connection.h).
#pragma once

#include <memory>

#include "cups/cups_connection.h"
#include "cups/pending_cancels.h"
#include "cups/queue_service.h"

namespace orlax::cups {

class CupsQueueService final : public QueueService {
public:
    explicit CupsQueueService(CupsTimes times = {})
        : times_(times), pending_(std::make_shared<PendingCancels>()) {}

    // Asks Get-Printer-Attributes for the queue's name, device URI and state.
    std::optional<QueueInfo> FindQueue(std::string_view name, ServiceError& error) override;
    // CUPS-Get-Printers, remote queues and implicit classes masked out.
    bool ListLocalQueues(std::vector<std::string>& names, ServiceError& error) override;
    // Create-Job, then Send-Document in raw format, streamed on a connection
    // of the job's own.
    std::unique_ptr<JobStream> StartJob(std::string_view queue, std::string_view docName,
                                        ServiceError& error) override;
    // Get-Jobs (this user's, not completed), then Cancel-Job for each of them
    // named `docName`.
    std::string WithdrawLeftovers(std::string_view queue, std::string_view docName) override;

    // Jobs whose cancel a stalled server did not confirm; each is cancelled
    // again after the next request the server answers.
    std::size_t PendingCancelCount() const { return pending_->Count(); }

private:
    // The server has just answered: the cancels it owes are tried again.
    void Answered() { pending_->Retry(times_); }

    CupsTimes times_;
    std::shared_ptr<PendingCancels> pending_;
};

// Whether CUPS could have a queue of this name: 1 to 127 printable
// characters without space, tab, '/', '\\' or '#'.
bool IsCupsQueueName(std::string_view name);

}  // namespace orlax::cups
