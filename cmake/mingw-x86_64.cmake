# Cross build for 64-bit Windows with mingw-w64 (the programs that the tests run under Wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
