# Fails unless the Qt plugin exports only its factory and defines none of the
# module's state or rules: one g_options, in the module.
include(${CMAKE_CURRENT_LIST_DIR}/../../../cmake/exported_symbols.cmake)
exported_symbols(${PLUGIN} names)
if(NOT names STREQUAL "barpost_make_qt_front_end")
  message(FATAL_ERROR "the plugin exports: ${names}\nexpected only: barpost_make_qt_front_end")
endif()

execute_process(COMMAND nm -C --defined-only ${PLUGIN}
                OUTPUT_VARIABLE defined RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${PLUGIN}")
endif()
foreach(name g_options g_sIniDir "CSetup::Refresh" "CSetup::Initialise" "CSetup::SetSizeText"
             "ToolFromSizes(" "CheckOptionField(" "OptionFieldUnit(" "LoadOptions("
             "SaveOptions(" "CCam::TextToVal" "cam::ReadLength(")
  string(FIND "${defined}" "${name}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "the plugin defines ${name}: it must use the module's")
  endif()
endforeach()
message(STATUS "plugin exports: ${names}")
