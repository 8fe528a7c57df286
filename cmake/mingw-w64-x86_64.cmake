# Cross-compiles the Windows x86-64 console executable with Debian's
# mingw-w64 (package g++-mingw-w64-x86-64-posix); tests run it under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No DLL beyond those every Windows has: the C++ runtime and the thread
# library are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(INTSTATS_WINE NAMES wine64 wine)
find_program(INTSTATS_WINESERVER NAMES wineserver)
if(INTSTATS_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${INTSTATS_WINE})
endif()
