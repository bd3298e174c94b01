# Installs the build into a fresh prefix and builds a small C host against
# the installed package (find_package, and pkg-config on POSIX), the way a
# host's developer would, then runs it on the installed module. For Windows
# the host is cross-built and run, as the installed barpost.exe, through
# EMULATOR (wine64).
set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
                RESULT_VARIABLE r OUTPUT_QUIET)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
if(WINDOWS)
  set(module ${prefix}/bin/barpost.dll)
  set(files include/barpost/barpost.h lib/barpost.def bin/barpost.dll bin/barpost.exe)
  set(cli ${prefix}/bin/barpost.exe)
else()
  set(module ${prefix}/lib/libbarpost.so)
  set(files include/barpost/barpost.h lib/libbarpost.so bin/barpost)
  set(cli ${prefix}/bin/barpost)
endif()
foreach(f ${files})
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
# The host's project finds the package through its config file.
set(consumer ${WORK}/consumer)
set(toolchain "")
if(TOOLCHAIN)
  set(toolchain -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/consumer -B ${consumer} ${toolchain}
                        -DCMAKE_C_COMPILER=${CC} "-DCMAKE_C_FLAGS=${HOST_FLAGS}"
                        -Dbarpost_DIR=${prefix}/lib/cmake/barpost
                RESULT_VARIABLE r OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(r EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${consumer}
                  RESULT_VARIABLE r OUTPUT_VARIABLE log ERROR_VARIABLE log)
endif()
if(NOT r EQUAL 0)
  message(FATAL_ERROR "the C host does not build with find_package(barpost):\n${log}")
endif()
set(host ${consumer}/host)
if(WINDOWS)
  set(host ${consumer}/host.exe)
  file(COPY ${module} DESTINATION ${consumer})  # beside the host that links it
else()
  set(ENV{LD_LIBRARY_PATH} ${prefix}/lib)
  # The pkg-config file gives the same.
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  execute_process(COMMAND pkg-config --cflags --libs barpost OUTPUT_VARIABLE pc
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE r)
  if(NOT r EQUAL 0 OR NOT pc MATCHES "-I${prefix}/lib/pkgconfig/../../include")
    message(FATAL_ERROR "pkg-config barpost: ${pc}")
  endif()
endif()
foreach(f share/barpost/examples/machine.ini share/barpost/examples/MACRO_MK/A.MAC)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND ${emulator} ${host} ${module}
                OUTPUT_VARIABLE out RESULT_VARIABLE r)
string(REPLACE "\r" "" out "${out}")
if(NOT r EQUAL 0 OR NOT out STREQUAL "65 66\n")
  message(FATAL_ERROR "the C host failed (${r}): ${out}")
endif()
# The installed command-line host finds the installed module by itself.
execute_process(COMMAND ${emulator} ${cli} identity A
                OUTPUT_VARIABLE out RESULT_VARIABLE r)
string(REPLACE "\r" "" out "${out}")
if(NOT r EQUAL 0 OR NOT out STREQUAL "65\n")
  message(FATAL_ERROR "the installed barpost failed (${r}): ${out}")
endif()
