#include "emulator_programs/usb_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <vector>

#include "emulator/network_unit.h"
#include "emulator/journal.h"
#include "emulator/scenario.h"
#include "emulator_programs/usb_options.h"
#include "emulator_programs/usb_testbed.h"
#include "emulator/usb_unit.h"
#include "util/exit_status.h"

extern char** environ;

namespace orlax::emulator::usb {
namespace {

using util::kExitFailed;
using util::kExitUsage;
constexpr int kExitCannotRun = 127;
constexpr int kSignalBase = 128;

int UsageError(const std::string& message) {
    std::cerr << "orlax-emulator: " << message << "\nTry 'orlax-emulator --usb --help'.\n";
    return kExitUsage;
}

// The environment for COMMAND: ours, with the preload library first in
// LD_PRELOAD (UMOCKDEV_DIR is already set by the test bed).
std::vector<std::string> CommandEnvironment(const std::string& root) {
    std::vector<std::string> env;
    std::string preload = kPreloadLibrary;
    for (char** entry = environ; *entry; ++entry) {
        const std::string item = *entry;
        if (item.rfind("LD_PRELOAD=", 0) == 0) {
            const std::string rest = item.substr(std::strlen("LD_PRELOAD="));
            if (!rest.empty()) preload += " " + rest;
        } else if (item.rfind("UMOCKDEV_DIR=", 0) != 0) {
            env.push_back(item);
        }
    }
    env.push_back("LD_PRELOAD=" + preload);
    env.push_back("UMOCKDEV_DIR=" + root);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& items) {
    std::vector<char*> pointers;
    for (std::string& item : items) pointers.push_back(item.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts COMMAND and waits for it; SIGTERM, SIGINT and SIGHUP are passed on.
int RunCommand(std::vector<std::string> command, std::vector<std::string> env) {
    sigset_t watched, previous;
    sigemptyset(&watched);
    for (const int s : {SIGCHLD, SIGTERM, SIGINT, SIGHUP}) sigaddset(&watched, s);
    pthread_sigmask(SIG_BLOCK, &watched, &previous);

    std::vector<char*> argv = Pointers(command);
    std::vector<char*> envp = Pointers(env);
    const pid_t child = fork();
    if (child < 0) {
        std::cerr << "orlax-emulator: cannot start " << command.front() << ": " << std::strerror(errno) << "\n";
        return kExitCannotRun;
    }
    if (child == 0) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        execvpe(argv[0], argv.data(), envp.data());
        const char* reason = std::strerror(errno);
        (void)!write(STDERR_FILENO, "orlax-emulator: cannot run ", 27);
        (void)!write(STDERR_FILENO, argv[0], std::strlen(argv[0]));
        (void)!write(STDERR_FILENO, ": ", 2);
        (void)!write(STDERR_FILENO, reason, std::strlen(reason));
        (void)!write(STDERR_FILENO, "\n", 1);
        _exit(kExitCannotRun);
    }
    for (;;) {
        siginfo_t info{};
        const int s = sigwaitinfo(&watched, &info);
        if (s < 0) continue;
        if (s != SIGCHLD) {
            kill(child, s);
            continue;
        }
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done != child) continue;
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        if (WIFEXITED(status)) return WEXITSTATUS(status);
        return kSignalBase + WTERMSIG(status);
    }
}

}  // namespace

int RunUsbEmulator(std::span<const std::string> args) {
    std::string error;
    const std::optional<UsbOptions> options = ParseUsbOptions(args, error);
    if (!options) return UsageError(error);
    if (options->help) {
        std::cout << UsbUsageText();
        return 0;
    }
    Scenario scenario = DefaultScenario();
    if (!options->scenarioPath.empty() && !LoadScenarioFile(options->scenarioPath, scenario, error))
        return UsageError(error);
    std::unique_ptr<Journal> journal;
    if (!options->journalPath.empty()) {
        journal = std::make_unique<Journal>(options->journalPath);
        if (!journal->IsOpen()) return UsageError(journal->Error());
    }

    NetworkUnit shared(scenario, journal.get());
    UsbUnit unit(shared, options->serial, options->faults);
    UsbTestbed testbed(unit);
    if (!testbed.Ok()) {
        std::cerr << "orlax-emulator: cannot attach the USB unit: " << testbed.Error() << "\n";
        return kExitFailed;
    }
    return RunCommand(options->command, CommandEnvironment(testbed.RootDir()));
}

}  // namespace orlax::emulator::usb
