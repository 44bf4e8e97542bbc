# Building for the browser with Debian's emscripten, over its own CMake platform file. Used by
# scripts/build-web for the SDL libraries and the game alike.
#   ZS_WEB_PREFIX   where the SDL libraries built for the browser are installed; searched as a root
#
# Programs built here run under Debian's node: its experimental fetch would otherwise take the
# place of the file reads the output falls back on there.
find_program(ZS_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZS_NODE};--no-experimental-fetch)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

if(ZS_WEB_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ZS_WEB_PREFIX})
endif()
