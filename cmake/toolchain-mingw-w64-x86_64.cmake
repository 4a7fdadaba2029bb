# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64),
# the tests run under Wine (wine64):
#   cmake -S . -B build-windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64-x86_64.cmake \
#         -DKELMORA_WINDOWS_GEOGRAPHICLIB="$(tools/windows-geographiclib)" \
#         -DKELMORA_WINDOWS_QT="$(tools/windows-qt)"
# KELMORA_WINDOWS_GEOGRAPHICLIB is GeographicLib built for MinGW-w64, as
# tools/windows-geographiclib makes it; the core needs it. Without
# KELMORA_WINDOWS_QT (a Qt built for MinGW-w64, as tools/windows-qt makes it)
# only the toolkit-free core and its tests are built.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix variant: its libstdc++ has std::thread and std::mutex on
# winpthreads, which the win32 variant of GCC 12 lacks.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(KELMORA_WINDOWS_GEOGRAPHICLIB)
    # GeographicLib's static library and headers.
    list(APPEND CMAKE_FIND_ROOT_PATH ${KELMORA_WINDOWS_GEOGRAPHICLIB})
endif()

if(KELMORA_WINDOWS_QT)
    # Qt's libraries for Windows; moc, rcc and uic come from the host's Qt of
    # the same version. Qt's DLLs use MinGW's runtime DLLs, which lie beside
    # them, and so do the programs: one C++ runtime in each process.
    list(APPEND CMAKE_FIND_ROOT_PATH ${KELMORA_WINDOWS_QT})
    set(QT_HOST_PATH /usr)
    set(Qt6HostInfo_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo)
else()
    # libgcc, libstdc++ and winpthread go into each program, so that it starts
    # with nothing beside it but the system's own DLLs.
    set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
endif()

# ctest starts the test programs through Wine. Debian installs wine64 outside
# the search path unless the wine package is there too.
find_program(KELMORA_WINE64 wine64 HINTS /usr/lib/wine)
if(KELMORA_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KELMORA_WINE64})
endif()
