// orlax-emulator --usb: attaches the emulated unit as a USB printer in a
// umockdev test bed, runs COMMAND in it and returns COMMAND's exit status.
#pragma once

#include <span>
#include <string>

namespace orlax::emulator::usb {

// The umockdev preload library, found on the library path.
inline constexpr const char* kPreloadLibrary = "libumockdev-preload.so.0";

// The whole run for the arguments (without the program name); the exit status.
int RunUsbEmulator(std::span<const std::string> args);

}  // namespace orlax::emulator::usb
