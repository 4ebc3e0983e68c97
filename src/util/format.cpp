#include "util/format.h"

#include <cstdio>
#include <vector>

namespace orlax::util {

int FormatIntoV(std::span<char> buffer, const char* format, std::va_list args) {
    return std::vsnprintf(buffer.data(), buffer.size(), format, args);
}

int FormatInto(std::span<char> buffer, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const int n = FormatIntoV(buffer, format, args);
    va_end(args);
    return n;
}

std::string FormatCutV(std::size_t bufferSize, const char* format, std::va_list args) {
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize);
    if (FormatIntoV(buffer, format, args) < 0) return {};
    return buffer.data();
}

std::string FormatCut(std::size_t bufferSize, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = FormatCutV(bufferSize, format, args);
    va_end(args);
    return text;
}

}  // namespace orlax::util
