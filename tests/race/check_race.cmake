# Eight racers at once on one dictionary under Wine, each a process of its
# own: x86 processes on Dorvan.dll beside x64 ones on DorvanSetup.dll where
# the x86 build is given (X86_RACER), x64 ones alone otherwise. First one
# wave in which every racer makes its calls to the end, and no call may
# answer failure; then waves in which each ends itself at a random moment.
# After each part, one quiet call and the check of every log against the
# dictionary and its numbered copies.
#
# cmake -DWINE=... -DRACER=... [-DX86_WINE=... -DX86_RACER=...] -P check_race.cmake
# WINEPREFIX names the prefix.

cmake_policy(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../support/sample_host.cmake)

set(race "$ENV{WINEPREFIX}/drive_c/race")
file(REMOVE_RECURSE "${race}")
set(dictionary "")
dorvan_record("Wlochy00.GST Italy" dictionary)
dorvan_record("Niemcy00.GST Germany" dictionary)
set(entry "")
dorvan_record("Pols0000.GST Poland" entry)
dorvan_record("Pols0000.GST regions" entry)
file(WRITE "${race}/data/Geodict.dct" "${dictionary}")
file(WRITE "${race}/source/GeoExt.gxt" "${entry}")

set(logs)
set(next 0)
# One wave of eight racers at once (a pipeline's commands all run at
# once), each making `calls` calls, or ending itself within `die_within` ms.
function(wave calls die_within)
  set(commands)
  foreach(racer RANGE 7)
    math(EXPR id "${next} + ${racer}")
    if(X86_RACER AND racer LESS 4)
      list(APPEND commands COMMAND ${X86_WINE} ${X86_RACER} Dorvan.dll)
    else()
      list(APPEND commands COMMAND ${WINE} ${RACER} DorvanSetup.dll)
    endif()
    list(APPEND commands "C:\\race\\data" "C:\\race\\source" ${id} ${calls} "C:\\race\\racer${id}.log"
         "C:\\race\\glue${id}.gxt" ${die_within})
    list(APPEND logs "C:\\race\\racer${id}.log")
  endforeach()
  execute_process(${commands} RESULTS_VARIABLE statuses OUTPUT_QUIET ERROR_VARIABLE err TIMEOUT 300)
  math(EXPR next "${next} + 8")
  set(next ${next} PARENT_SCOPE)
  set(logs ${logs} PARENT_SCOPE)
  if(NOT die_within AND NOT statuses MATCHES "^0(;0)*$")
    message(SEND_ERROR "racers: expected each to end with 0, got ${statuses}\n${err}")
  endif()
endfunction()

function(check what)
  execute_process(COMMAND ${WINE} ${RACER} check "C:\\race\\data" ${logs} RESULT_VARIABLE status
                  OUTPUT_VARIABLE found ERROR_VARIABLE err TIMEOUT 300)
  if(NOT status EQUAL 0 OR (what STREQUAL "to the end" AND NOT found MATCHES "^0 calls answered failure"))
    message(SEND_ERROR "racers ${what}: expected every answer kept and no failure, got ${status}:\n${found}${err}")
  endif()
  message(STATUS "racers ${what}: ${found}")
endfunction()

wave(150 "")
check("to the end")
foreach(round RANGE 4)
  wave(1000000 400)
endforeach()
check("killed at random moments")
file(REMOVE_RECURSE "${race}")
