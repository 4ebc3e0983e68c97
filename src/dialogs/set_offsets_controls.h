// Control ids of SET OFFSETS (template 137), from the resources' one table.
#pragma once

#include "res/control_ids.h"

namespace orlax::dialogs {
namespace set_offsets = res::set_offsets;
}  // namespace orlax::dialogs
