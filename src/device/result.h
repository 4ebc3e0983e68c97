// What a device step came to: done, or failed with a few words on why. The
// operations decide what a failure means for them; a step whose failure
// they deliberately pass over says so where it is called.
#pragma once

#include <cstdint>
#include <string_view>

namespace orlax::device {

class [[nodiscard]] Result {
public:
    static constexpr Result Done() { return Result(std::string_view()); }
    // `cause` is a text that lives as long as the program.
    static constexpr Result Failed(std::string_view cause) { return Result(cause.empty() ? "failed" : cause); }
    // A failure the spooler gave, with the code its GetLastError gave.
    static constexpr Result Failed(std::string_view cause, std::uint32_t spoolerError) {
        Result result = Failed(cause);
        result.spoolerError_ = spoolerError;
        return result;
    }
    // A failure whose particular reason (a text that lives as long as the
    // program) the operator log names.
    static constexpr Result Failed(std::string_view cause, std::string_view reason) {
        Result result = Failed(cause);
        result.reason_ = reason;
        return result;
    }

    constexpr bool Ok() const { return cause_.empty(); }
    constexpr explicit operator bool() const { return Ok(); }
    constexpr std::string_view Cause() const { return cause_; }
    // The spooler's error code when a spooler call failed, else 0.
    constexpr std::uint32_t SpoolerError() const { return spoolerError_; }
    // Why, in the log's few words: empty when the cause says it.
    constexpr std::string_view Reason() const { return reason_; }
    // For a step whose failure the operation passes over on purpose (a
    // status refresh between two moves, say).
    constexpr void IgnoreFailure() const {}

private:
    constexpr explicit Result(std::string_view cause) : cause_(cause) {}
    std::string_view cause_;
    std::uint32_t spoolerError_ = 0;
    std::string_view reason_;
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

// The reasons the operator log names for a send that did not reach the unit.
namespace reason {
inline constexpr std::string_view kNoStatus = "no valid status from the unit";
inline constexpr std::string_view kStayedBusy = "the unit stayed busy";
inline constexpr std::string_view kShortWrite = "the spooler took fewer bytes than it was given";
inline constexpr std::string_view kNotOpened = "the file could not be opened";
inline constexpr std::string_view kNotRead = "the file could not be read";
}  // namespace reason

}  // namespace orlax::device
