// What orlaxctl says of the line database: after each record, on stderr,
// what kept rows waiting; and the record-sync action.
#pragma once

#include <ostream>

#include "report/line_record.h"

namespace orlax::app {
class CBurnerApp;
}

namespace orlax::cli {

// After a record: nothing when every row went; else why not and how many
// wait, on `err`.
void ReportRecordSend(const report::SendReport& report, std::ostream& err);

// record-sync: sends what waits in the outbox within kSyncSendBound, writes
// "record-sync: N sent, M waiting" on `out`, and fails the step when rows
// still wait.
void RecordSync(app::CBurnerApp& application, report::LineRecord& lineRecord, std::ostream& out,
                std::ostream& err);

}  // namespace orlax::cli
