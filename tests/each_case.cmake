# Runs a GoogleTest program one case a process, each under a time limit: the
# way the 32-bit Windows build's tests run under user-mode emulation, where
# one emulated process that lives long or ends a case abnormally can take the
# cases after it down with it. Every case is listed with its outcome, and a
# program that lists no case fails.
#
# cmake -DPROGRAM=... [-DLAUNCHER=...] [-DCASE_SECONDS=120] -P each_case.cmake

cmake_policy(VERSION 3.20)
if(NOT CASE_SECONDS)
  set(CASE_SECONDS 120)
endif()
get_filename_component(name "${PROGRAM}" NAME)

execute_process(COMMAND ${LAUNCHER} "${PROGRAM}" --gtest_list_tests
                RESULT_VARIABLE status OUTPUT_VARIABLE listing ERROR_VARIABLE errors TIMEOUT ${CASE_SECONDS})
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${name} --gtest_list_tests: expected status 0, got ${status}\n${listing}${errors}")
endif()

# The listing names each suite at the start of a line and its cases below it,
# indented; a parameter comment may follow a name.
string(REPLACE "\r" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(cases "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([A-Za-z0-9_/]+\\.)")
    set(suite "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^  ([A-Za-z0-9_/]+)")
    list(APPEND cases "${suite}${CMAKE_MATCH_1}")
  endif()
endforeach()
list(LENGTH cases total)
if(total EQUAL 0)
  message(FATAL_ERROR "${name} lists no test case")
endif()

set(failed "")
foreach(case IN LISTS cases)
  execute_process(COMMAND ${LAUNCHER} "${PROGRAM}" --gtest_filter=${case}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT ${CASE_SECONDS})
  # A case that ran and passed says so; an exit status of 0 alone could
  # come from a filter that selected nothing.
  if(status EQUAL 0 AND out MATCHES "\\[  PASSED  \\] 1 test")
    message(STATUS "passed  ${case}")
  else()
    string(REPLACE "\r" "" out "${out}")
    message(STATUS "FAILED  ${case} (status ${status})\n${out}${err}")
    list(APPEND failed "${case}")
  endif()
endforeach()

list(LENGTH failed failures)
math(EXPR passes "${total} - ${failures}")
message(STATUS "${name}: ${passes} passed, ${failures} failed, one process a case")
if(failures)
  list(JOIN failed "\n  " failed)
  message(FATAL_ERROR "failed in ${name}:\n  ${failed}")
endif()
