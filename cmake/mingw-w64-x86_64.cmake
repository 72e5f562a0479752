# Cross-builds the Windows (x86-64) tool with MinGW-w64 on Debian
# (package g++-mingw-w64-x86-64-posix). Everything is linked statically, so
# d88unpack.exe needs no DLL beyond those of Windows itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(D88UNPACK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER ${D88UNPACK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${D88UNPACK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${D88UNPACK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
