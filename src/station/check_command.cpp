// orlax-station check NAME: one line per item, "ok" or "FAIL" with what is
// wrong and its fix; exit 0 only when every item holds. Items that need an
// earlier one (the queue's URI needs the queue) are not tried without it.
#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/burner_app.h"
#include "report/production_record.h"
#include "cups/prompt_delivery.h"
#include "operations/device_files.h"
#include "station/station.h"
#include "station/units.h"

namespace orlax::station {
namespace {

namespace fs = std::filesystem;

using operations::kDeviceFiles;

constexpr std::string_view kUdevFix =
    "install the package's udev rule (/usr/lib/udev/rules.d/70-orlax-usb.rules), then 'sudo udevadm trigger' or "
    "re-plug the unit; or add this user to the group lp";

class Checklist {
public:
    explicit Checklist(std::ostream& out) : out_(out) {}

    bool Item(std::string_view what, bool holds, const std::string& detail, const std::string& fix = {}) {
        out_ << (holds ? "ok    " : "FAIL  ") << what;
        if (!detail.empty()) out_ << ": " << detail;
        if (!holds && !fix.empty()) out_ << " -- fix: " << fix;
        out_ << "\n";
        failed_ = failed_ || !holds;
        return holds;
    }
    bool Failed() const { return failed_; }

private:
    std::ostream& out_;
    bool failed_ = false;
};

void CheckUsb(Station& station, Checklist& list, const cups::QueueInfo& queue) {
    std::vector<links::usb::AttachedPrinter> printers;
    std::string error;
    if (!list.Item("USB devices listed", station.attached(printers, error), error)) return;
    const links::usb::AttachedPrinter* unit = Named(printers, queue.deviceUri);
    if (!unit) {
        std::string seen;
        for (const links::usb::AttachedPrinter& printer : printers)
            if (!printer.identity) seen = " (" + printer.deviceFile + ": " + printer.problem + ")";
        list.Item("USB unit attached", false, "no attached printer is " + queue.deviceUri + seen,
                  seen.empty() ? "plug the unit in and switch it on" : std::string(kUdevFix));
        return;
    }
    list.Item("USB unit attached", true, unit->deviceFile + ", " + links::usb::VendorProduct(unit->vendor, unit->product));
    list.Item("USB device access", ::access(unit->deviceFile.c_str(), R_OK | W_OK) == 0,
              "read and write " + unit->deviceFile, std::string(kUdevFix));
    const std::string vendorProduct = links::usb::VendorProduct(unit->vendor, unit->product);
    list.Item("USB prompt delivery", cups::MarksUnidir(station.quirksFolder, unit->vendor, unit->product),
              "unidir quirk for " + vendorProduct + " in " + station.quirksFolder,
              "orlax-station add " + queue.name + " (or, as root: echo '" + cups::UnidirLine(unit->vendor, unit->product) +
                  "' >> " + station.quirksFolder + "/" + std::string(cups::kQuirksFileName) + ")");
}

void CheckDataFolder(Station& station, Checklist& list) {
    const std::string folder = app::DeviceDataFolderFor(station.dataRoot);
    std::error_code error;
    if (!list.Item("data folder", fs::is_directory(folder, error), folder,
                   "create it and put the device files in it"))
        return;
    for (const std::string_view name : kDeviceFiles) {
        const std::string path = folder + std::string(name);
        const bool holds = fs::is_regular_file(path, error) && ::access(path.c_str(), R_OK) == 0;
        list.Item("device file", holds, path + (holds ? "" : " is not a readable file"),
                  "copy the unit's " + std::string(name) + " there, readable by this user");
    }
    const std::string record = folder + std::string(report::kProductionRecordFileName);
    const bool exists = fs::exists(record, error);
    list.Item("record file", ::access(exists ? record.c_str() : folder.c_str(), W_OK) == 0,
              record + (exists ? " writable" : " can be made"), "let this user write " + (exists ? record : folder));
}

}  // namespace

int Check(Station& station, const std::string& name) {
    Checklist list(station.out);
    cups::ServiceError error;
    if (list.Item("print server", station.admin.Reachable(error), error.text,
                  "start CUPS: sudo systemctl start cups")) {
        const std::optional<cups::QueueInfo> queue = station.queues.FindQueue(name, error);
        if (list.Item("queue", queue.has_value(), queue ? "'" + queue->name + "'" : error.text,
                      "orlax-station add " + name + " [URI]")) {
            list.Item("queue enabled", !queue->paused, queue->stateMessage, "cupsenable " + queue->name);
            list.Item("queue accepting jobs", queue->acceptingJobs, queue->stateMessage, "cupsaccept " + queue->name);
            const UriVerdict verdict = Judge(queue->deviceUri, {}, station.quirksFolder);
            if (list.Item("device URI carries the status", verdict.carriesStatus,
                          queue->deviceUri + (verdict.carriesStatus ? "" : ": " + verdict.statusWhy),
                          "orlax-station add " + queue->name + " socket://HOST:9100 (or the unit's usb:// URI)")) {
                const StatusProbe probe = station.readStatus(queue->name);
                list.Item("status read", probe.ok, probe.said, "see the line above, or the error code in README");
                if (SchemeOf(queue->deviceUri) == Scheme::Usb) CheckUsb(station, list, *queue);
                if (SchemeOf(queue->deviceUri) == Scheme::Socket)
                    list.Item("prompt delivery", cups::EndsJobsPromptly(queue->deviceUri), "waiteof=false in the URI",
                              "orlax-station add " + queue->name + " " + cups::WithPromptEnd(queue->deviceUri));
            }
        }
    }
    CheckDataFolder(station, list);
    return list.Failed() ? kExitFailed : kExitOk;
}

}  // namespace orlax::station
