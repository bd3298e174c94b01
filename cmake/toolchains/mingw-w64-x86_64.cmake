# Cross-builds the 64-bit Windows module with Debian's mingw-w64 (posix
# threads):  cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
# The tests run under wine64.
set(BARPOST_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

find_program(BARPOST_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(BARPOST_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BARPOST_WINE64})
endif()
