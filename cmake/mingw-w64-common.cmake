# What both Windows toolchains share: the mingw-w64 cross tools named by
# DORVAN_MINGW_PREFIX, and Wine to run the tests. The x64 build's tests run
# under the 64-bit loader itself, so that they need no 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX threading flavour: its C++ library has std::mutex, which
# GoogleTest needs; everything is linked statically all the same.
set(CMAKE_C_COMPILER ${DORVAN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DORVAN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DORVAN_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${DORVAN_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${DORVAN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  find_program(DORVAN_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
else()
  find_program(DORVAN_WINE NAMES wine)
endif()
if(DORVAN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DORVAN_WINE})
endif()
