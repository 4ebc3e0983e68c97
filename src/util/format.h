// printf-style text, its format checked by the compiler against its
// arguments (-Wformat): every printf-style builder goes through these.
// At the bottom of the layers: includes nothing of ours.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <span>
#include <string>

namespace orlax::util {

// vsnprintf into `buffer`, always terminated (an empty buffer is left
// alone); returns what vsnprintf returns: the full length the text wanted,
// or a negative value on an encoding error.
[[gnu::format(printf, 2, 0)]] int FormatIntoV(std::span<char> buffer, const char* format, std::va_list args);
[[gnu::format(printf, 2, 3)]] int FormatInto(std::span<char> buffer, const char* format, ...);

// The text as a string, as a fixed buffer of `bufferSize` bytes holds it:
// at most bufferSize - 1 characters, up to the first NUL; empty on an
// encoding error.
[[gnu::format(printf, 2, 0)]] std::string FormatCutV(std::size_t bufferSize, const char* format, std::va_list args);
[[gnu::format(printf, 2, 3)]] std::string FormatCut(std::size_t bufferSize, const char* format, ...);

}  // namespace orlax::util
