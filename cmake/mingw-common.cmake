# Shared part of the mingw-w64 toolchain files: the -posix compilers, which carry std::thread
# and std::mutex, and static runtimes so that the .exe needs no DLLs.
set(CMAKE_SYSTEM_NAME Windows)

set(KESTRO_MINGW_PREFIX ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRO_MINGW_PREFIX}-windres)

# A cross-built Qt (scripts/qt-mingw) comes in through CMAKE_PREFIX_PATH and must be searched as a root too.
set(CMAKE_FIND_ROOT_PATH /usr/${KESTRO_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
