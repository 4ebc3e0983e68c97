// orlax-emulator: the emulated ORLAX PRO as a network unit, for CUPS queues
// with the device URI socket://HOST:PORT, or with --usb attached as a USB
// printer while a command runs (usb_run.h).
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "emulator_programs/listen_options.h"
#include "emulator/network_unit.h"
#include "emulator_programs/unit_server.h"
#include "emulator_programs/usb_options.h"
#include "emulator_programs/usb_run.h"
#include "emulator/emulated_unit.h"
#include "util/exit_status.h"
#include "util/unique_fd.h"
#include "util/version.h"

namespace {

using orlax::util::kExitFailed;
using orlax::util::kExitOk;
using orlax::util::kExitUsage;

int UsageError(const std::string& message) {
    std::cerr << "orlax-emulator: " << message << "\nTry 'orlax-emulator --help'.\n";
    return kExitUsage;
}

// SIGTERM and SIGINT are blocked in every thread and arrive through the
// returned descriptor, which stays readable once one has come: the server
// and its connections all watch it. SIGPIPE is ignored.
int StopSignals() {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    if (pthread_sigmask(SIG_BLOCK, &stop, nullptr) != 0) return -1;
    signal(SIGPIPE, SIG_IGN);
    return signalfd(-1, &stop, SFD_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace orlax::emulator;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (usb::IsUsbCommandLine(args)) return usb::RunUsbEmulator(args);
    std::string error;
    const auto options = ParseListenOptions(args, error);
    if (!options) return UsageError(error);
    if (options->help) {
        std::cout << ListenUsageText();
        return kExitOk;
    }
    if (options->version) {
        std::cout << "orlax-emulator " << orlax::util::kVersion << "\n";
        return kExitOk;
    }

    const auto emulated = orlax::emulator::LoadEmulatedUnit(options->scenarioPath, options->journalPath, error);
    if (!emulated) return UsageError(error);

    const orlax::util::UniqueFd stopFd(StopSignals());
    if (!stopFd) {
        std::cerr << "orlax-emulator: cannot take SIGTERM and SIGINT\n";
        return kExitFailed;
    }
    NetworkUnit unit(emulated->scenario, emulated->journal.get());
    UnitServer server(unit, {options->idleLimit, options->keepOpen});
    if (!server.Listen(options->host, options->port, error)) {
        std::cerr << "orlax-emulator: cannot listen on " << error << "\n";
        return kExitFailed;
    }
    std::cout << "orlax-emulator: listening on " << server.BoundAddress() << std::endl;
    server.Run(stopFd.Get());
    std::cout << "orlax-emulator: stopped" << std::endl;
    return kExitOk;
}
