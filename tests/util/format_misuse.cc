// Compiled by the format_checked tests, not linked: with ORLAX_MISUSE set, a
// format and its argument disagree and -Wformat must stop the build.
#include <array>

#include "util/format.h"

std::string Use() {
    std::array<char, 8> buffer{};
#if ORLAX_MISUSE
    orlax::util::FormatInto(buffer, "%s", 1);
    return orlax::util::FormatCut(10, "%d", "text");
#else
    orlax::util::FormatInto(buffer, "%s", "1");
    return orlax::util::FormatCut(10, "%d", 1);
#endif
}
