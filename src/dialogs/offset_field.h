// How the adjustment dialogs read an offset edit field: only its first four
// characters count, they are converted as a decimal number, truncated
// toward zero and taken as a signed 16-bit value; the offset fields are then
// limited to -32..32 and written back as "%3.2d".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orlax::platform {
class Dialog;
}

namespace orlax::dialogs {

// Characters of an offset field that are read; the rest is ignored.
inline constexpr std::size_t kOffsetFieldChars = 4;
inline constexpr int kOffsetLimit = 32;

// The typed text as a number: leading blanks skipped, an optional sign,
// digits with an optional decimal point and fraction, an optional exponent,
// up to the first character that does not fit; text that does not begin
// with a number gives 0. The decimal point is always '.', whatever the
// locale. Only decimal numbers are taken: "0x1A" stops at the 'x' and gives
// 0, "inf" and "nan" are not numbers. The value is truncated toward zero and
// its low 16 bits are taken as a signed number; a value that does not fit a
// 64-bit integer gives 0.
std::int16_t ConvertOffsetText(std::string_view text);

// A value outside -32..32 becomes 0; the bounds stay.
int LimitOffset(int value);

// "%3.2d": at least two digits, right-aligned in three characters.
std::string FormatOffset(std::int32_t value);

// The first four characters of edit `id`, read through a five-character
// buffer.
std::string ReadFieldText(const platform::Dialog& dialog, int id);

// The offset field rule: read, convert, limit to -32..32, write the value
// back as "%3.2d" and return it.
int ReadOffsetField(platform::Dialog& dialog, int id);

// The disc-switch field: the same conversion without the limit, written back
// as "%3.2d".
int ReadUnlimitedOffsetField(platform::Dialog& dialog, int id);

}  // namespace orlax::dialogs
