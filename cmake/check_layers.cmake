# Checks that the code of each folder of src/ and of the program tools
# includes only headers of its own folder and of the folders it builds on:
# one library per folder, each linked only to the libraries below it. An
# include against that order would compile (every folder sees src/) and link
# silently wherever the higher library is on the link line, so it is caught
# here, from the #include lines, "..." and <...> alike.
#
#   cmake -DROOT=SOURCE-TREE -P check_layers.cmake
#
# Prints one line FILE:LINE: ... per include against the order and fails;
# a folder of src/ that is missing from the table fails too.
cmake_minimum_required(VERSION 3.25)

# Each folder with the folders (or single headers) of src/ its code may
# include, besides its own.
set(layered_folders src/platform src/diagnostics src/fileio src/textio src/ephemeris src/driver
    src/library)
set(below_src/platform)
set(below_src/diagnostics platform)
set(below_src/fileio diagnostics platform)
set(below_src/textio fileio diagnostics platform)
set(below_src/ephemeris fileio diagnostics platform)
set(below_src/driver textio ephemeris fileio diagnostics platform)
# The C library: the evaluation of a state and the platform layer, whose
# objects it is built from.
set(below_src/library ephemeris platform)
# The data tool needs the data layout only; the batch tool the scanner and
# the output editor (beside the C library's public header).
set(below_tools/vorkane-data platform ephemeris/file_layout.hpp)
set(below_tools/vorkane-batch textio fileio diagnostics platform)
set(checked_tools tools/vorkane-data tools/vorkane-batch)

if(NOT DEFINED ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=SOURCE-TREE -P check_layers.cmake")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

# The folder of src/ an include names, and the header's path below src/
# (empty when it names no header of src/). A "..." include is looked for
# next to the including file first, as the compiler does.
function(included_header out_folder out_path file include quoted)
  get_filename_component(dir "${file}" DIRECTORY)
  set(path "")
  if(quoted AND EXISTS "${dir}/${include}")
    get_filename_component(absolute "${dir}/${include}" ABSOLUTE)
    file(RELATIVE_PATH path "${ROOT}/src" "${absolute}")
    if(path MATCHES "^\\.\\./")
      set(path "")
    endif()
  elseif(include MATCHES "^([^/]+)/")
    if(IS_DIRECTORY "${ROOT}/src/${CMAKE_MATCH_1}")
      set(path "${include}")
    endif()
  endif()
  set(folder "")
  if(path MATCHES "^([^/]+)/")
    set(folder "${CMAKE_MATCH_1}")
  endif()
  set(${out_folder} "${folder}" PARENT_SCOPE)
  set(${out_path} "${path}" PARENT_SCOPE)
endfunction()

# The line of FILE on which TEXT first stands.
function(line_of out file text)
  file(READ "${file}" content)
  string(FIND "${content}" "${text}" at)
  string(SUBSTRING "${content}" 0 ${at} before)
  string(REGEX MATCHALL "\n" breaks "${before}")
  list(LENGTH breaks line)
  math(EXPR line "${line} + 1")
  set(${out} ${line} PARENT_SCOPE)
endfunction()

set(violations 0)

# Checks every #include line of the files of FOLDER (relative to ROOT).
function(check_folder folder)
  string(REGEX REPLACE "^src/" "" own "${folder}")
  set(allowed ${below_${folder}})
  string(REPLACE ";" ", " allowed_text "${allowed}")
  if(allowed_text STREQUAL "")
    set(allowed_text "only its own headers")
  else()
    set(allowed_text "only its own headers and those of ${allowed_text}")
  endif()
  file(GLOB_RECURSE files "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.hpp"
       "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.c")
  set(count ${violations})
  foreach(file ${files})
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${lines})
      if(NOT line MATCHES "include[ \t]*([\"<])([^\">]+)[\">]")
        continue()
      endif()
      set(include "${CMAKE_MATCH_2}")
      set(quoted OFF)
      set(written "<${include}>")
      if(CMAKE_MATCH_1 STREQUAL "\"")
        set(quoted ON)
        set(written "\"${include}\"")
      endif()
      included_header(target path "${file}" "${include}" ${quoted})
      if(target STREQUAL "" OR target STREQUAL own OR target IN_LIST allowed
         OR path IN_LIST allowed)
        continue()
      endif()
      file(RELATIVE_PATH shown "${ROOT}" "${file}")
      line_of(number "${file}" "${line}")
      message("${shown}:${number}: #include ${written} goes against the layers: "
              "${folder} may include ${allowed_text}")
      math(EXPR count "${count} + 1")
    endforeach()
  endforeach()
  set(violations ${count} PARENT_SCOPE)
endfunction()

set(unplaced 0)
file(GLOB folders LIST_DIRECTORIES true RELATIVE "${ROOT}" "${ROOT}/src/*")
foreach(folder ${folders})
  if(NOT IS_DIRECTORY "${ROOT}/${folder}")
    continue()
  endif()
  if(NOT folder IN_LIST layered_folders)
    message("${folder}: a folder in no layer: give it its place in cmake/check_layers.cmake")
    math(EXPR unplaced "${unplaced} + 1")
    continue()
  endif()
  check_folder(${folder})
endforeach()
foreach(folder ${checked_tools})
  if(IS_DIRECTORY "${ROOT}/${folder}")
    check_folder(${folder})
  endif()
endforeach()

math(EXPR failures "${violations} + ${unplaced}")
if(failures GREATER 0)
  message(FATAL_ERROR "includes against the layers: ${violations}, folders in no layer: ${unplaced}")
endif()
