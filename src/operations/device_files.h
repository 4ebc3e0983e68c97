// The device files the operations send, each from the device data folder as
// one RAW job: the start-up and firmware files, the factory set-up and the
// test print.
#pragma once

#include <array>
#include <string_view>

namespace orlax::operations {

inline constexpr std::string_view kStartupBinFile = "firm.bin";
inline constexpr std::string_view kLexFirmwareFile = "MarlithPro.Lod";
inline constexpr std::string_view kStartupFzpFile = "fupdate.fzp";
inline constexpr std::string_view kFactorySetupFile = "fdefault.fzp";
inline constexpr std::string_view kTestFile = "orlax.prn";

inline constexpr std::array kDeviceFiles{kStartupBinFile, kLexFirmwareFile, kStartupFzpFile, kFactorySetupFile,
                                         kTestFile};

}  // namespace orlax::operations
