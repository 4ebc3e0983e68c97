#include "emulator/network_unit.h"

namespace orlax::emulator {
namespace {

constexpr std::string_view kNoDocumentName = "";

}  // namespace

NetworkUnit::NetworkUnit(const Scenario& scenario, Journal* journal) : device_(scenario), journal_(journal) {}

StatusReply NetworkUnit::AnswerStatus() {
    device_.RequestStatus();
    StatusReply reply = device_.ReadStatus();
    if (journal_) {
        if (reply.failed)
            journal_->StatusFailed();
        else
            journal_->Status(reply.bytes.size());
    }
    return reply;
}

// The device needs a job's bytes only when it is a command packet (8 bytes);
// the 64-byte head of a longer job is, like the whole job, a device file to it.
void NetworkUnit::TakeJob(StreamedJob& job) {
    if (journal_) job.WriteTo(*journal_, kNoDocumentName);
    device_.ReceiveJob(job.Head());
}

}  // namespace orlax::emulator
