# What both mingw-w64 toolchains share. Expects BARPOST_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${BARPOST_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BARPOST_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BARPOST_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BARPOST_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes (libgcc, libstdc++, winpthread) go into each binary,
# so that the module needs nothing beside it but the system's own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
