# Cross-compiles the platform build: a 32-bit Windows DLL made with
# mingw-w64, whose tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(DORVAN_MINGW_PREFIX i686-w64-mingw32)
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

find_program(DORVAN_WINE NAMES wine)
if(DORVAN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DORVAN_WINE})
endif()
