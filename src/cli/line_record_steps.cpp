#include "cli/line_record_steps.h"

#include "app/burner_app.h"

namespace orlax::cli {

void ReportRecordSend(const report::SendReport& report, std::ostream& err) {
    if (report.failure.empty() && report.waiting == 0) return;
    err << "orlaxctl: line database: ";
    if (!report.failure.empty()) err << report.failure << "; ";
    err << report::WaitingNotice(report.waiting) << "\n";
    err.flush();
}

void RecordSync(app::CBurnerApp& application, report::LineRecord& lineRecord, std::ostream& out,
                std::ostream& err) {
    const report::SendReport report =
        lineRecord.Send(application.Link().DeviceDataFolder(), report::kSyncSendBound);
    out << "record-sync: " << report.sent << " sent, " << report.waiting << " waiting\n";
    out.flush();
    if (!report.failure.empty()) err << "orlaxctl: line database: " << report.failure << "\n";
    if (report.waiting > 0) application.Outcome().Failed(report::WaitingNotice(report.waiting));
}

}  // namespace orlax::cli
