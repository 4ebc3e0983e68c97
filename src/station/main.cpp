// orlax-station: sets up and checks the CUPS queue of an ORLAX PRO on this
// station (station.h).
#include <iostream>
#include <string>
#include <vector>

#include "cups/cups_queue_service.h"
#include "cups/cups_spooler.h"
#include "cups/queue_admin.h"
#include "cups/prompt_delivery.h"
#include "station/station.h"
#include "station/station_options.h"
#include "station/status_probe.h"
#include "util/version.h"

int main(int argc, char** argv) {
    using namespace orlax;
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = station::ParseStationOptions(args, error);
    if (!options) {
        std::cerr << "orlax-station: " << error << "\nTry 'orlax-station --help'.\n";
        return station::kExitUsage;
    }
    if (options->help) {
        std::cout << station::StationUsageText();
        return station::kExitOk;
    }
    if (options->version) {
        std::cout << "orlax-station " << util::kVersion << "\n";
        return station::kExitOk;
    }
    cups::CupsQueueService queues;
    cups::CupsQueueAdmin admin;
    station::Station world{
        queues,
        admin,
        links::usb::ListAttachedPrinters,
        [](const std::string& queue) {
            const std::unique_ptr<platform::Spooler> spooler = cups::MakeCupsSpooler();
            return station::ReadStatusThrough(*spooler, queue);
        },
        cups::QuirksFolder(),
        options->dataRoot,
        std::cout,
        std::cerr,
    };
    switch (options->command) {
        case station::Command::List: return station::List(world);
        case station::Command::Add: return station::Add(world, options->name, options->uri);
        case station::Command::Check: return station::Check(world, options->name);
    }
    return station::kExitUsage;
}
