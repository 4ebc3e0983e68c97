#include "linedb/line_database.h"

#include <unistd.h>

#include <array>

#include "util/version.h"

namespace orlax::linedb {

std::string StationName() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) return "unknown";
    return name.data();
}

LineDatabase::LineDatabase(std::string conninfo, std::function<std::string()> queue,
                           std::function<std::string(const std::string& queue)> deviceUri)
    : store_(std::move(conninfo)),
      record_(store_, [queue = std::move(queue), deviceUri = std::move(deviceUri), station = StationName()] {
          report::StationFacts facts{station, queue(), {}, util::kVersion};
          if (deviceUri) facts.deviceUri = deviceUri(facts.queue);
          return facts;
      }) {}

}  // namespace orlax::linedb
