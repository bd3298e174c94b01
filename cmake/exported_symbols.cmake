# exported_symbols(BINARY OUT): the names a shared binary's dynamic symbol
# table defines, sorted. Fails the calling script when nm does.
function(exported_symbols binary out)
  execute_process(COMMAND nm -D --defined-only ${binary}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "nm failed on ${binary}")
  endif()
  string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
  set(names "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-fA-F]* *[A-Za-z] +([^ ]+)$")
      list(APPEND names "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(SORT names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()
