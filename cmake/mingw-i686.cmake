# Cross build for 32-bit Windows with mingw-w64, the Windows that the tool has always run on.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
