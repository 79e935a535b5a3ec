# Refuses an #include against cmake/layers.cmake: run as
#   cmake -DTAV_ROOT=<source tree> [-DTAV_STAMP=<file>] -P CheckLayers.cmake
# Every file under the mapped folders is read; a quoted include naming a
# folder of the map must be the file's own folder or one below it.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)

set(l_folders "")
foreach(l_entry IN LISTS TAV_LAYERS)
  string(REGEX MATCH "^([^:]+):(.*)$" l_match "${l_entry}")
  set(l_folder "${CMAKE_MATCH_1}")
  string(REGEX MATCHALL "[^ ]+" l_under "${CMAKE_MATCH_2}")
  # What is below a folder: the folders it names and all below them, which
  # the map has already gathered since it lists the ground first.
  set(l_below_${l_folder} "")
  foreach(l_base IN LISTS l_under)
    if(NOT l_base IN_LIST l_folders)
      message(FATAL_ERROR "layers.cmake: ${l_folder} stands on ${l_base}, which is not listed above it")
    endif()
    list(APPEND l_below_${l_folder} ${l_base} ${l_below_${l_base}})
  endforeach()
  list(REMOVE_DUPLICATES l_below_${l_folder})
  list(APPEND l_folders "${l_folder}")
endforeach()

set(l_refused "")
foreach(l_top common platform host wrapper)
  file(GLOB_RECURSE l_files RELATIVE ${TAV_ROOT} ${TAV_ROOT}/${l_top}/*.h ${TAV_ROOT}/${l_top}/*.cpp
       ${TAV_ROOT}/${l_top}/*.inc ${TAV_ROOT}/${l_top}/*.rc)
  foreach(l_file IN LISTS l_files)
    get_filename_component(l_own ${l_file} DIRECTORY)
    if(NOT l_own IN_LIST l_folders)
      string(APPEND l_refused "\n  ${l_file}: its folder ${l_own} has no place in cmake/layers.cmake")
      continue()
    endif()
    file(STRINGS ${TAV_ROOT}/${l_file} l_includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(l_line IN LISTS l_includes)
      string(REGEX MATCH "\"([^\"]+)\"" l_match "${l_line}")
      get_filename_component(l_target_folder "${CMAKE_MATCH_1}" DIRECTORY)
      if(NOT l_target_folder IN_LIST l_folders OR l_target_folder STREQUAL l_own
         OR l_target_folder IN_LIST l_below_${l_own})
        continue()
      endif()
      string(REPLACE ";" ", " l_allowed "${l_below_${l_own}}")
      string(APPEND l_refused "\n  ${l_file} includes ${CMAKE_MATCH_1}: ${l_own} stands on ${l_allowed} only")
    endforeach()
  endforeach()
endforeach()

if(l_refused)
  message(FATAL_ERROR "Includes against the folder layers:${l_refused}")
endif()
if(TAV_STAMP)
  file(TOUCH ${TAV_STAMP})
endif()
