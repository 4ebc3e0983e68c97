// What a device step came to: done, or failed with a few words on why. The
// operations decide what a failure means for them; a step whose failure
// they deliberately pass over says so where it is called.
#pragma once

#include <string_view>

namespace orlax::device {

class [[nodiscard]] Result {
public:
    static constexpr Result Done() { return Result(std::string_view()); }
    // `cause` is a text that lives as long as the program.
    static constexpr Result Failed(std::string_view cause) { return Result(cause.empty() ? "failed" : cause); }

    constexpr bool Ok() const { return cause_.empty(); }
    constexpr explicit operator bool() const { return Ok(); }
    constexpr std::string_view Cause() const { return cause_; }
    // For a step whose failure the operation passes over on purpose (a
    // status refresh between two moves, say).
    constexpr void IgnoreFailure() const {}

private:
    constexpr explicit Result(std::string_view cause) : cause_(cause) {}
    std::string_view cause_;
};

// The causes the device layer gives.
namespace cause {
inline constexpr std::string_view kNoStatus = "no valid status came back from the unit";
inline constexpr std::string_view kNoStatusForCommand =
    "no valid status came back from the unit, so a command was not sent";
inline constexpr std::string_view kCommandNotSent = "a command could not be sent to the unit";
inline constexpr std::string_view kStayedBusy = "the unit stayed busy, so a command was not sent";
inline constexpr std::string_view kFileNotOpened = "a device file could not be opened";
inline constexpr std::string_view kFileNotSent = "a device file could not be sent to the unit";
inline constexpr std::string_view kNoSuchOffset = "no position offset has that index";
}  // namespace cause

}  // namespace orlax::device
