#include "unit_platform/unit_platform.h"

#include "emulator/emulated_unit_spooler.h"
#include "clocks/real_clock.h"
#include "clocks/virtual_clock.h"
#include "emulator/emulated_unit.h"
#ifdef ORLAX_HAVE_CUPS
#include "cups/cups_queue_service.h"
#include "cups/cups_spooler.h"
#endif

namespace orlax::unit_platform {
namespace {

class EmulatedPlatform final : public UnitPlatform {
public:
    // Jobs are streamed through, not kept: a device file of any size costs
    // no memory.
    EmulatedPlatform(emulator::EmulatedUnit unit, bool fast)
        : unit_(std::move(unit)),
          fast_(fast),
          spooler_(unit_.scenario, fast ? &virtualClock_ : nullptr, unit_.journal.get(),
                   emulator::JobBytes::Streamed) {}

    platform::Spooler& Spooler() override { return spooler_; }
    platform::Clock& Clock() override {
        return fast_ ? static_cast<platform::Clock&>(virtualClock_) : static_cast<platform::Clock&>(realClock_);
    }

private:
    emulator::EmulatedUnit unit_;
    bool fast_;
    clocks::VirtualClock virtualClock_;
    clocks::RealClock realClock_;
    emulator::EmulatedUnitSpooler spooler_;
};

#ifdef ORLAX_HAVE_CUPS
class SystemPlatform final : public UnitPlatform {
public:
    SystemPlatform() : spooler_(std::make_unique<cups::CupsQueueService>()) {}

    platform::Spooler& Spooler() override { return spooler_; }
    platform::Clock& Clock() override { return clock_; }
    std::string SpoolerFailure() const override {
        if (spooler_.GetLastError() == 0 || spooler_.LastErrorText().empty()) return {};
        return "error " + std::to_string(spooler_.GetLastError()) + ": " + spooler_.LastErrorText();
    }
    std::string DeviceUri(const std::string& queue) override {
        cups::ServiceError error;
        const auto found = cups::CupsQueueService().FindQueue(queue, error);
        return found ? found->deviceUri : std::string();
    }
    void SetSpoolerNotice(std::function<void(std::string_view)> notice) override {
        spooler_.SetNotice(std::move(notice));
    }

private:
    cups::CupsSpooler spooler_;
    clocks::RealClock clock_;
};
#endif

}  // namespace

bool HaveSystemSpooler() {
#ifdef ORLAX_HAVE_CUPS
    return true;
#else
    return false;
#endif
}

std::unique_ptr<UnitPlatform> MakeUnitPlatform(const UnitChoice& choice, std::string& error) {
    error = CombinationError(choice);
    if (!error.empty()) return nullptr;
    if (choice.emulate) {
        auto unit = emulator::LoadEmulatedUnit(choice.scenarioPath, choice.journalPath, error);
        if (!unit) return nullptr;
        return std::make_unique<EmulatedPlatform>(std::move(*unit), choice.fast);
    }
#ifdef ORLAX_HAVE_CUPS
    return std::make_unique<SystemPlatform>();
#else
    error = "this build has no system print spooler";
    return nullptr;
#endif
}

}  // namespace orlax::unit_platform
