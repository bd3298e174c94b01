# Fails unless the module's dynamic symbol table defines exactly the six
# entry points.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/exported_symbols.cmake)
exported_symbols(${MODULE} names)
set(expected Config_Export Config_Transmission Exportation Identity Traitement Transmission)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "the module exports: ${names}\nexpected only: ${expected}")
endif()
message(STATUS "exports: ${names}")
