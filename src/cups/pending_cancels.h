// Jobs of ours that a stalled print server kept from being cancelled: left
// alone, such a job could still reach the unit once the server goes on. Each
// is cancelled again, once, whenever the server has just answered another
// request of the same run, until CUPS confirms it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cups/cups_connection.h"

namespace orlax::cups {

class PendingCancels {
public:
    void Add(std::string queue, int id) { jobs_.emplace_back(std::move(queue), id); }
    // Cancels each job once, each request bounded by `times`; keeps those
    // CUPS did not confirm.
    void Retry(const CupsTimes& times);
    std::size_t Count() const { return jobs_.size(); }

private:
    std::vector<std::pair<std::string, int>> jobs_;
};

}  // namespace orlax::cups
