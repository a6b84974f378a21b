# Fails when a source file includes a header its layer may not see:
#   - only the shell and the program include shell/ headers;
#   - common/ and platform/ hold no Qt and see no subsystem;
#   - ui/ sees common/ and platform/ only;
#   - the command-line programs hold no Qt, but for vantor-cli's qt/ part;
#   - no window includes another window's header; only the main window knows them all.
# Usage: cmake -DSOURCE_DIR=<repo> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)

set(windows
  "shell/MainWindow.h" "shell/AboutDialog.h" "shell/SetLocationDialog.h"
  "documents/DocumentWindow.h" "validation/ResultsWindowWidget.h"
  "validation/RouteSelectorDialog.h" "documents/ReplaceStockDialog.h")
set(faults "")

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/app/*.h" "${SOURCE_DIR}/app/*.cpp" "${SOURCE_DIR}/cli/*.h" "${SOURCE_DIR}/cli/*.cpp")

foreach(source IN LISTS sources)
  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include [<\"]")
  set(forbidden "")
  if(source MATCHES "^(app/(documents|validation|view3d|printing|common|ui|platform)|cli)/")
    list(APPEND forbidden "\"shell/")
  endif()
  if(source MATCHES "^app/(common|platform)/")
    list(APPEND forbidden "<Q" "\"ui/" "\"documents/" "\"validation/" "\"view3d/" "\"printing/")
  endif()
  if(source MATCHES "^app/ui/")
    list(APPEND forbidden "\"documents/" "\"validation/" "\"view3d/" "\"printing/")
  endif()
  if(source MATCHES "^cli/" AND NOT source MATCHES "^cli/vantor-cli/qt/")
    list(APPEND forbidden "<Q" "\"ui/")
  endif()

  # A window is a file whose own header is one of the windows; the main window's
  # files may include every window.
  string(REGEX REPLACE "^app/" "" own "${source}")
  string(REGEX REPLACE "\\.cpp$" ".h" own "${own}")
  set(isWindow OFF)
  if(own IN_LIST windows)
    set(isWindow ON)
  endif()
  if(source MATCHES "^app/shell/(MainWindow|Main[A-Za-z]+)\\.(h|cpp)$" OR source STREQUAL "app/main.cpp")
    set(isWindow OFF)
  endif()

  foreach(line IN LISTS includes)
    foreach(prefix IN LISTS forbidden)
      string(FIND "${line}" "#include ${prefix}" at)
      if(at EQUAL 0)
        string(APPEND faults "${source}: ${line}\n")
      endif()
    endforeach()
    if(isWindow)
      foreach(window IN LISTS windows)
        if(NOT window STREQUAL own AND line STREQUAL "#include \"${window}\"")
          string(APPEND faults "${source} includes another window: ${line}\n")
        endif()
      endforeach()
    endif()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes across layers:\n${faults}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep to their layers")
