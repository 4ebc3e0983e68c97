#include "dialogs/offset_field.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/dialog.h"

namespace orlax::dialogs {
namespace {

// The blanks of the "C" locale.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

// The longest prefix of `text` (blanks and sign already taken off) that is
// a decimal number: digits, an optional point and fraction, an optional
// exponent with at least one digit. Empty when there is no digit before the
// exponent.
std::string_view DecimalPrefix(std::string_view text) {
    std::size_t end = SkipDigits(text, 0);
    std::size_t digits = end;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, end + 1);
        digits += fractionEnd - end - 1;
        end = fractionEnd;
    }
    if (digits == 0) return {};
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t at = end + 1;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        const std::size_t exponentEnd = SkipDigits(text, at);
        if (exponentEnd > at) end = exponentEnd;
    }
    return text.substr(0, end);
}

// Truncation toward zero into a 64-bit integer; 0 when it does not fit.
std::int64_t TruncateToInt64(double value) {
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (!std::isfinite(value) || value >= kTwoTo63 || value < -kTwoTo63) return 0;
    return static_cast<std::int64_t>(value);
}

}  // namespace

std::int16_t ConvertOffsetText(std::string_view text) {
    text = text.substr(0, text.find('\0'));  // the text ends at its first zero, as in a C string
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    const std::string_view number = DecimalPrefix(text.substr(at));
    if (number.empty()) return 0;

    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), magnitude);
    if (error == std::errc::result_out_of_range) magnitude = HUGE_VAL;  // too large: gives 0 below
    else if (error != std::errc() || end != number.data() + number.size()) return 0;

    const std::int64_t whole = TruncateToInt64(negative ? -magnitude : magnitude);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(whole) & 0xFFFFu));
}

int LimitOffset(int value) { return value > kOffsetLimit || value < -kOffsetLimit ? 0 : value; }

std::string FormatOffset(std::int32_t value) {
    std::array<char, 16> text{};
    const int length = std::snprintf(text.data(), text.size(), "%3.2d", value);
    return std::string(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string ReadFieldText(const platform::Dialog& dialog, int id) {
    std::array<char, kOffsetFieldChars + 1> buffer{};
    const std::size_t count = dialog.GetDlgItemText(id, buffer);
    return std::string(buffer.data(), count);
}

int ReadOffsetField(platform::Dialog& dialog, int id) {
    const int value = LimitOffset(ConvertOffsetText(ReadFieldText(dialog, id)));
    dialog.SetDlgItemText(id, FormatOffset(value));
    return value;
}

int ReadUnlimitedOffsetField(platform::Dialog& dialog, int id) {
    const int value = ConvertOffsetText(ReadFieldText(dialog, id));
    dialog.SetDlgItemText(id, FormatOffset(value));
    return value;
}

}  // namespace orlax::dialogs
