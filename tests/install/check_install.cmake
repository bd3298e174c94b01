# Installs the build into a fresh prefix and builds a small C host against
# the installed header, the way a host's developer would, then runs it on
# the installed module. For Windows the host is cross-built and run, as the
# installed barpost.exe, through EMULATOR (wine64).
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
  set(host ${WORK}/host.exe)
  set(cli ${prefix}/bin/barpost.exe)
  set(libraries "")
else()
  set(module ${prefix}/lib/libbarpost.so)
  set(files include/barpost/barpost.h lib/libbarpost.so bin/barpost)
  set(host ${WORK}/host)
  set(cli ${prefix}/bin/barpost)
  set(libraries -ldl)
endif()
foreach(f ${files})
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
separate_arguments(host_flags UNIX_COMMAND "${HOST_FLAGS}")
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
execute_process(COMMAND ${CC} -std=c99 -Wall -Werror ${host_flags} -I${prefix}/include ${SOURCE}/host.c
                        -o ${host} ${libraries} RESULT_VARIABLE r)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "the C host does not build against the installed header")
endif()
execute_process(COMMAND ${emulator} ${host} ${module}
                OUTPUT_VARIABLE out RESULT_VARIABLE r)
string(REPLACE "\r" "" out "${out}")
if(NOT r EQUAL 0 OR NOT out STREQUAL "66\n")
  message(FATAL_ERROR "the C host failed (${r}): ${out}")
endif()
# The installed command-line host finds the installed module by itself.
execute_process(COMMAND ${emulator} ${cli} identity A
                OUTPUT_VARIABLE out RESULT_VARIABLE r)
string(REPLACE "\r" "" out "${out}")
if(NOT r EQUAL 0 OR NOT out STREQUAL "65\n")
  message(FATAL_ERROR "the installed barpost failed (${r}): ${out}")
endif()
