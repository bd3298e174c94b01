# Installs the build into a fresh prefix and builds a small C host against
# the installed header, the way a host's developer would, then runs it on
# the installed module.
set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
                RESULT_VARIABLE r OUTPUT_QUIET)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(f include/barpost/barpost.h lib/libbarpost.so bin/barpost)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
separate_arguments(host_flags UNIX_COMMAND "${HOST_FLAGS}")
execute_process(COMMAND ${CC} -std=c99 -Wall -Werror ${host_flags} -I${prefix}/include ${SOURCE}/host.c
                        -o ${WORK}/host -ldl RESULT_VARIABLE r)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "the C host does not build against the installed header")
endif()
execute_process(COMMAND ${WORK}/host ${prefix}/lib/libbarpost.so
                OUTPUT_VARIABLE out RESULT_VARIABLE r)
if(NOT r EQUAL 0 OR NOT out STREQUAL "66\n")
  message(FATAL_ERROR "the C host failed (${r}): ${out}")
endif()
# The installed command-line host finds the installed module by itself.
execute_process(COMMAND ${prefix}/bin/barpost identity A
                OUTPUT_VARIABLE out RESULT_VARIABLE r)
if(NOT r EQUAL 0 OR NOT out STREQUAL "65\n")
  message(FATAL_ERROR "the installed barpost failed (${r}): ${out}")
endif()
