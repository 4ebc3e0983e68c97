#include "res/string_table.h"

#include <array>
#include <utility>

namespace orlax::res {
namespace {

constexpr std::array<std::pair<int, std::string_view>, 3> kStrings{{
    {kIdsAboutBox, "&About ventrix..."},
    {kIdsEnumError, "Error enumerating Printers. Check if any are installed."},
    {kIdsEnumErrorCaption, "KIVOLAN"},
}};

}  // namespace

std::string_view LoadString(int id) {
    for (const auto& [key, text] : kStrings)
        if (key == id) return text;
    return {};
}

}  // namespace orlax::res
