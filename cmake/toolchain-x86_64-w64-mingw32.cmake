# Cross-compiles the library for 64-bit setup programs: a PE32+ DLL made
# with mingw-w64, whose tests run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DORVAN_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
