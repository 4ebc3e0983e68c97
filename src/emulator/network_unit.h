// The emulated unit behind the network server's connections: the device
// model and its journal. The server's one thread calls it, so a status
// request and a print job arriving at the same time see the unit one after
// the other.
#pragma once

#include "emulator/device_model.h"
#include "emulator/journal.h"
#include "emulator/streamed_job.h"

namespace orlax::emulator {

class NetworkUnit {
public:
    // `journal`, when given, must outlive the unit.
    NetworkUnit(const Scenario& scenario, Journal* journal);

    // One status exchange: the request, then the reply (journalled).
    StatusReply AnswerStatus();
    // A print job that arrived whole: journalled, then given to the device.
    // A network job has no document name; the journal shows it as "".
    void TakeJob(StreamedJob& job);

private:
    DeviceModel device_;
    Journal* journal_;
};

}  // namespace orlax::emulator
