# Cross-compiling for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix).
# The posix-threads compiler is the one whose standard library has std::thread and a
# working std::filesystem.
#
#   cmake -S . -B build-windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DVONDREL_GUI=OFF -DVONDREL_BENCH=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VONDREL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VONDREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VONDREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VONDREL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VONDREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, the C++ runtime and winpthreads included, so the .exe files run
# on their own (and under Wine) without DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The test programs run through Wine when one is installed.
find_program(VONDREL_WINE wine)
if(VONDREL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VONDREL_WINE})
endif()
