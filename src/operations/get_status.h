// GET STATUS, and the status read that gates the adjustment dialogs.
#pragma once

namespace orlax::operations {

struct Context;

// One status query, then the dump and the report; "No status returned !!"
// after the query's own text when it fails.
void GetStatus(const Context& context);

// The gate of DISK POSITION and SET OFFSETS: empties the log and reads the
// status. A device that answers opens the dialog, even when it reports
// itself busy; on failure "Printer Not Online or is busy" follows the
// query's own text and false is returned.
[[nodiscard]] bool DeviceAnswers(const Context& context);

}  // namespace orlax::operations
