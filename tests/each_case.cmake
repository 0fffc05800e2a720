# Runs a GoogleTest program one case a process, each under a time limit: the
# way the 32-bit Windows build's tests run under user-mode emulation, where
# one emulated process that lives long or ends a case abnormally can take the
# cases after it down with it. Every case is listed with its outcome, and a
# program that lists no case fails.
#
# An emulated Wine process now and then finishes its work, writes its
# report and then crashes or never ends on its way out (under qemu-user).
# Each run therefore writes its report to a file: a run that outlives its
# time limit is killed, and a run that wrote its whole report is judged by
# that report, and named if it then crashed or hung; without a whole
# report it failed. Nothing is run twice.
#
# cmake -DPROGRAM=... [-DLAUNCHER=...] [-DCASE_SECONDS=120] -P each_case.cmake

cmake_policy(VERSION 3.20)
if(NOT CASE_SECONDS)
  set(CASE_SECONDS 120)
endif()
get_filename_component(name "${PROGRAM}" NAME)
# In the working directory, named to the program by a relative name that a
# Windows program under Wine reads alike.
set(report "${name}.each_case.json")
set(report_path "${CMAKE_CURRENT_BINARY_DIR}/${report}")
set(hung_runs "")

# Runs the program with `arguments` and its JSON report; `outcome` receives
# "ended" (with `status`), "hung" (killed, its report whole) or "failed"
# (killed or ended without a whole report), `text` the report.
function(run_with_report outcome status text output)
  file(REMOVE "${report_path}")
  execute_process(COMMAND ${LAUNCHER} "${PROGRAM}" ${ARGN} --gtest_output=json:${report}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT ${CASE_SECONDS})
  set(json "")
  if(EXISTS "${report_path}")
    file(READ "${report_path}" json)
    string(JSON ignored ERROR_VARIABLE broken GET "${json}" testsuites)
    if(broken)
      set(json "")
    endif()
  endif()
  if(result MATCHES "^[0-9]+$")
    set(${outcome} "ended" PARENT_SCOPE)
  elseif(json)
    set(${outcome} "hung" PARENT_SCOPE)
  else()
    set(${outcome} "failed" PARENT_SCOPE)
  endif()
  string(REPLACE "\r" "" out "${out}")
  set(${status} "${result}" PARENT_SCOPE)
  set(${text} "${json}" PARENT_SCOPE)
  set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

run_with_report(outcome status listing output --gtest_list_tests)
if(NOT listing)
  message(FATAL_ERROR "${name} --gtest_list_tests: expected status 0 and a listing, got ${status}\n${output}")
elseif(outcome STREQUAL "hung")
  list(APPEND hung_runs "--gtest_list_tests")
elseif(NOT status EQUAL 0)
  list(APPEND hung_runs "--gtest_list_tests (ended with status ${status})")
endif()

set(cases "")
string(JSON suites LENGTH "${listing}" testsuites)
if(suites GREATER 0)
  math(EXPR last_suite "${suites} - 1")
  foreach(s RANGE ${last_suite})
    string(JSON suite GET "${listing}" testsuites ${s} name)
    string(JSON count LENGTH "${listing}" testsuites ${s} testsuite)
    math(EXPR last_case "${count} - 1")
    foreach(c RANGE ${last_case})
      string(JSON case GET "${listing}" testsuites ${s} testsuite ${c} name)
      list(APPEND cases "${suite}.${case}")
    endforeach()
  endforeach()
endif()
list(LENGTH cases total)
if(total EQUAL 0)
  message(FATAL_ERROR "${name} lists no test case")
endif()

set(failed "")
foreach(case IN LISTS cases)
  run_with_report(outcome status result output --gtest_filter=${case})
  # A case that ran and passed says so in its report: an exit status of 0
  # alone could come from a filter that selected nothing.
  set(passed NO)
  if(result)
    string(JSON tests GET "${result}" tests)
    string(JSON failures GET "${result}" failures)
    if(tests EQUAL 1 AND failures EQUAL 0)
      set(passed YES)
    endif()
  endif()
  if(passed AND outcome STREQUAL "hung")
    message(STATUS "passed  ${case}, then did not end within ${CASE_SECONDS} s: killed")
    list(APPEND hung_runs "${case}")
  elseif(passed AND NOT status EQUAL 0)
    message(STATUS "passed  ${case}, then ended with status ${status} on its way out")
    list(APPEND hung_runs "${case} (ended with status ${status})")
  elseif(passed)
    message(STATUS "passed  ${case}")
  else()
    message(STATUS "FAILED  ${case} (status ${status})\n${output}")
    list(APPEND failed "${case}")
  endif()
endforeach()
file(REMOVE "${report_path}")

list(LENGTH failed failures)
math(EXPR passes "${total} - ${failures}")
message(STATUS "${name}: ${passes} passed, ${failures} failed, one process a case")
if(hung_runs)
  list(JOIN hung_runs "\n  " hung_runs)
  message(STATUS "${name}: these runs wrote their whole report and then crashed, or hung and were killed "
                 "after ${CASE_SECONDS} s, on their way out:\n  ${hung_runs}")
endif()
if(failures)
  list(JOIN failed "\n  " failed)
  message(FATAL_ERROR "failed in ${name}:\n  ${failed}")
endif()
