# Cross-builds the 32-bit Windows module, the form the CAM hosts load, with
# Debian's mingw-w64 (posix threads):
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake
# No emulator: 32-bit Wine is not at hand, and wine64 "runs" a 32-bit program
# by failing with exit status 0. The module is checked by its export table
# and its code instead.
set(BARPOST_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Doubles in SSE2 registers, as on x86-64, not in the x87 unit's 80 bits:
# the same numbers, rounded the same way, in the programs of both modules.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
