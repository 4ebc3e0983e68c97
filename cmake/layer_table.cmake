# Reads cmake/layers.cmake into a table that the build, the fuzz build and
# the scripts (cmake -P) query. Holds no build steps of its own.
include_guard(GLOBAL)

# One row of cmake/layers.cmake: see there.
function(orlax_layer folder about)
  cmake_parse_arguments(PARSE_ARGV 2 row "" "IF" "USES;NEEDS")
  if(row_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "cmake/layers.cmake: ${folder}: unexpected '${row_UNPARSED_ARGUMENTS}'")
  endif()
  get_property(rows GLOBAL PROPERTY ORLAX_LAYERS)
  if(folder IN_LIST rows)
    message(FATAL_ERROR "cmake/layers.cmake: ${folder} has two rows")
  endif()
  # What the folder reaches: the folders it uses and all they reach.
  set(below)
  foreach(used IN LISTS row_USES)
    if(NOT used IN_LIST rows)
      message(FATAL_ERROR "cmake/layers.cmake: ${folder} uses ${used}, which has no row above it")
    endif()
    get_property(reached GLOBAL PROPERTY ORLAX_LAYER_BELOW_${used})
    list(APPEND below ${used} ${reached})
  endforeach()
  list(REMOVE_DUPLICATES below)
  set_property(GLOBAL APPEND PROPERTY ORLAX_LAYERS ${folder})
  set_property(GLOBAL PROPERTY ORLAX_LAYER_ABOUT_${folder} "${about}")
  set_property(GLOBAL PROPERTY ORLAX_LAYER_USES_${folder} ${row_USES})
  set_property(GLOBAL PROPERTY ORLAX_LAYER_BELOW_${folder} ${below})
  set_property(GLOBAL PROPERTY ORLAX_LAYER_NEEDS_${folder} ${row_NEEDS})
  set_property(GLOBAL PROPERTY ORLAX_LAYER_IF_${folder} ${row_IF})
endfunction()

# ${out}: the value of `field` (ABOUT, USES, BELOW, NEEDS, IF) in the row of
# `folder`; the folders themselves, lowest first, for the field LAYERS.
function(orlax_layer_get out field)
  if(field STREQUAL "LAYERS")
    get_property(value GLOBAL PROPERTY ORLAX_LAYERS)
  else()
    get_property(value GLOBAL PROPERTY ORLAX_LAYER_${field}_${ARGV2})
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# orlax_<folder>: the library a folder is built into.
function(orlax_layer_library out folder)
  string(REPLACE "/" "_" name "orlax_${folder}")
  set(${out} ${name} PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)
