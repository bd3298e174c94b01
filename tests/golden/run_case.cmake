# Runs one golden case: writes the machine into a fresh work directory (the
# keys of the case's machine.ini, then every key of base.ini that the case
# does not set), copies MACRO_MK there, has the command-line host write the program with
# nobody at the machine, and compares the program byte for byte with
# expected.nc. When the case has a file "nomfic", the program name recorded
# in the INI file must be its first line. LOCALE (default C) is the locale the
# command-line host runs under; it must be installed.
#
#   cmake -DCLI=... -DMODULE=... -DCASE_DIR=... -DWORK_DIR=... [-DLOCALE=...] -P run_case.cmake
foreach(var CLI MODULE CASE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_case.cmake: ${var} is not set")
  endif()
endforeach()

set(section LINE)
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(READ "${CASE_DIR}/machine.ini" machine)
get_filename_component(golden_dir "${CASE_DIR}" DIRECTORY)
file(STRINGS "${golden_dir}/base.ini" base_lines)
set(eol "\n")
if(machine MATCHES "\r\n")
  set(eol "\r\n")
endif()
foreach(line IN LISTS base_lines)
  if(line MATCHES "^([A-Za-z0-9_]+)=")
    if(NOT machine MATCHES "\n${CMAKE_MATCH_1}=")
      string(APPEND machine "${line}${eol}")
    endif()
  endif()
endforeach()
file(WRITE "${WORK_DIR}/machine.ini" "${machine}")
if(IS_DIRECTORY "${CASE_DIR}/MACRO_MK")
  file(COPY "${CASE_DIR}/MACRO_MK" DESTINATION "${WORK_DIR}")
endif()

file(STRINGS "${CASE_DIR}/args" nc_name LIMIT_COUNT 1)
string(STRIP "${nc_name}" nc_name)
set(program "${WORK_DIR}/${nc_name}")

set(ENV{BARPOST_UI} auto)
if(DEFINED LOCALE AND NOT LOCALE STREQUAL "C")
  # A locale that is not installed falls back to C and would prove nothing.
  execute_process(COMMAND locale -a OUTPUT_VARIABLE locales)
  string(REPLACE "UTF-8" "utf8" installed_name "${LOCALE}")
  if(NOT locales MATCHES "${installed_name}")
    message(FATAL_ERROR "the locale ${LOCALE} is not installed (scripts/install-deps.sh)")
  endif()
  set(ENV{LC_ALL} "${LOCALE}")
else()
  set(ENV{LC_ALL} C)
endif()
# A cross-built host runs through its emulator (wine64 for Windows).
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
execute_process(
  COMMAND ${emulator} "${CLI}" --module "${MODULE}" process "${WORK_DIR}/machine.ini" ${section}
          "${CASE_DIR}/job.cam" "${program}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "barpost process ended with ${result}\n${out}${err}")
endif()
if(NOT EXISTS "${program}")
  message(FATAL_ERROR "no program written: ${program}\n${out}${err}")
endif()

set(expected "${CASE_DIR}/expected.nc")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${expected}" "${program}"
                RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  # Show the difference without the CRs, which make diff output unreadable;
  # when only the line ends differ, say so.
  file(READ "${expected}" want)
  file(READ "${program}" got)
  string(REPLACE "\r" "" want_lf "${want}")
  string(REPLACE "\r" "" got_lf "${got}")
  file(WRITE "${WORK_DIR}/expected.lf" "${want_lf}")
  file(WRITE "${WORK_DIR}/written.lf" "${got_lf}")
  if(want_lf STREQUAL got_lf)
    set(detail "the texts are equal but the line ends differ (expected CR LF)")
  else()
    # diff writes straight to the test's output, unformatted.
    execute_process(COMMAND diff -u "${WORK_DIR}/expected.lf" "${WORK_DIR}/written.lf"
                    RESULT_VARIABLE diff_result)
    if(diff_result EQUAL 1)
      set(detail "see the diff above (expected.lf: expected, written.lf: written)")
    else()
      set(detail "compare the files yourself (diff: ${diff_result})")
    endif()
  endif()
  message(FATAL_ERROR "${program} differs from ${expected}: ${detail}")
endif()

if(EXISTS "${CASE_DIR}/nomfic")
  file(STRINGS "${CASE_DIR}/nomfic" want_name LIMIT_COUNT 1)
  string(STRIP "${want_name}" want_name)
  # The key of the machine's section (the INI file may hold other sections).
  file(STRINGS "${WORK_DIR}/machine.ini" lines)
  set(in_section FALSE)
  set(got_name "<none>")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^\\[(.*)\\]$")
      string(TOUPPER "${CMAKE_MATCH_1}" name)
      if(name STREQUAL section)
        set(in_section TRUE)
      else()
        set(in_section FALSE)
      endif()
    elseif(in_section AND line MATCHES "^[Nn][Oo][Mm][Ff][Ii][Cc][ \t]*=[ \t]*(.*)$")
      set(got_name "${CMAKE_MATCH_1}")
      break()
    endif()
  endforeach()
  if(NOT got_name STREQUAL want_name)
    message(FATAL_ERROR "Nomfic is '${got_name}', expected '${want_name}'")
  endif()
endif()
