// What makes CUPS's own backends end a job as soon as its data is sent, so
// that the tool's wait for each job is CUPS's time and the unit's, nothing
// more:
//
// - usb: the backend reads back from a bidirectional printer during every
//   job and, after the data, waits 7 s for that read to end and 1 s more
//   after aborting it. A line "0xVVVV 0xPPPP unidir" in a quirks file in
//   CUPS's data folder's usb/ subfolder (CUPS_DATADIR, else /usr/share/cups),
//   which the backend reads at each job, makes it skip the read-back for that
//   vendor and product. The tool writes its lines to a file of its own.
// - socket: after the data the backend waits up to 90 s for the unit to
//   close the connection, unless the device URI says "waiteof=false".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orlax::cups {

inline constexpr std::string_view kQuirksFileName = "orlax-pro.usb-quirks";

// CUPS's usb quirks folder: $CUPS_DATADIR/usb, else /usr/share/cups/usb.
std::string QuirksFolder();

// "0x1209 0x0001 unidir".
std::string UnidirLine(std::uint16_t vendor, std::uint16_t product);

// Whether any regular file in `folder` has a line marking vendor:product
// unidirectional, read as the backend reads it (blank lines and '#' lines
// skipped, "VENDOR PRODUCT" in hex, the word " unidir" anywhere after).
bool MarksUnidir(const std::string& folder, std::uint16_t vendor, std::uint16_t product);

// Whether the tool could write its quirks file in `folder` (the file is
// writable, or the folder when the file is not there yet).
bool CanWriteQuirks(const std::string& folder);

// Adds the unidir line for vendor:product to the tool's file in `folder`
// (kept whole: written beside it and renamed over it). False (error set)
// when it cannot be written; nothing changes then.
bool AddUnidirLine(const std::string& folder, std::uint16_t vendor, std::uint16_t product, std::string& error);

// Whether a socket:// URI has waiteof=false among its options.
bool EndsJobsPromptly(std::string_view socketUri);

// The socket:// URI with waiteof=false in its options (an earlier waiteof
// replaced), the rest as it was; a URI without a path gets "/" before its
// options, as CUPS requires after a port.
std::string WithPromptEnd(std::string_view socketUri);

}  // namespace orlax::cups
