# Cross-compiles the product: a 32-bit Windows DLL made with mingw-w64,
# whose tests run under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DORVAN_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
