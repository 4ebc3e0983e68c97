// The string table of the tool.
#pragma once

#include <string_view>

namespace orlax::res {

inline constexpr int kIdsAboutBox = 101;
inline constexpr int kIdsEnumError = 102;
inline constexpr int kIdsEnumErrorCaption = 103;

// The entry `id`, or an empty text when the table holds none.
std::string_view LoadString(int id);

}  // namespace orlax::res
