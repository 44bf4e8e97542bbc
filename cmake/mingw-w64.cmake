# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model,
# which C++ threads and the SDL libraries need). Used by scripts/build-windows for the SDL
# libraries and the game alike.
#   ZS_MINGW_PREFIX   where the cross-built SDL libraries are installed; searched as a second root
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZS_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZS_MINGW_TRIPLE}-windres)

# Headers, libraries and CMake packages come only from the Windows side: the cross compiler's
# own root and our SDL prefix. Programs (pkg-config aside) are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${ZS_MINGW_TRIPLE})
if(ZS_MINGW_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ZS_MINGW_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine, through a wrapper that keeps Wine's state out of the user's
# own prefix and finds the DLLs the programs need.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
