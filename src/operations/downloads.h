// The downloads of the main window: STARTUP, FIRMWARE UPDATE, SEND TEST
// FILE and SET FACTORY DEFAULTS, each a device file or three sent to the
// unit from DeviceDataFolder.
#pragma once

namespace orlax::operations {

struct Context;

// firm.bin, MarlithPro.Lod and fupdate.fzp, each after its message and
// followed by the pause the unit needs, then the reset instruction.
void Startup(const Context& context);
// MarlithPro.Lod and fupdate.fzp, as STARTUP sends them.
void FirmwareUpdate(const Context& context);
// orlax.prn; "sent ok" only for a whole file.
void SendTestFile(const Context& context);
// The factory set-up on an emptied log.
void SetFactoryDefaults(const Context& context);

// "Sending Factory setup ..." shown at once, fdefault.fzp sent, then the
// note on the reset that follows. True when the file reached the unit; a
// failure is noted in the outcome.
[[nodiscard]] bool SendFactorySetup(const Context& context);

}  // namespace orlax::operations
