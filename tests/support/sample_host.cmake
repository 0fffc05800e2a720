# A synthetic host installation for the script tests: WORK/host/Geodict.dct
# with two records and opaque bytes between them, none naming the map file,
# and WORK/setup/GeoExt.gxt made of two whole records that name it; and the
# checks, commands and registry clean-up those tests share.

# Appends a dictionary record to the variable out: the tag, a length byte,
# three filler bytes, then the text.
function(dorvan_record text out)
  string(LENGTH "${text}" length)
  string(ASCII ${length} length_byte)
  set(${out} "${${out}}LBTG${length_byte}xyz${text}" PARENT_SCOPE)
endfunction()

function(dorvan_write_sample_host work)
  set(dictionary "")
  dorvan_record("Wlochy00.GST Italy" dictionary)
  string(APPEND dictionary "opaque bytes between records")
  dorvan_record("Niemcy00.GST Germany" dictionary)
  set(entry "")
  dorvan_record("Pols0000.GST Poland" entry)
  dorvan_record("Pols0000.GST regions" entry)
  file(WRITE "${work}/host/Geodict.dct" "${dictionary}")
  file(WRITE "${work}/setup/GeoExt.gxt" "${entry}")
endfunction()

# A newer version's entry: other bytes, naming the same map file.
function(dorvan_write_newer_entry path)
  set(entry "")
  dorvan_record("Pols0000.GST Poland 1.2" entry)
  dorvan_record("Pols0000.GST regions 1.2" entry)
  file(WRITE "${path}" "${entry}")
endfunction()

# Reports an error unless the dictionary `dictionary` holds exactly the
# host's bytes `host` (read as hexadecimal) with the entry `entry` (a file)
# after them; `after` names the step.
function(dorvan_expect_registered dictionary host entry after)
  file(READ "${entry}" bytes HEX)
  file(READ "${dictionary}" now HEX)
  if(NOT now STREQUAL "${host}${bytes}")
    message(SEND_ERROR "${after}: expected the host's bytes and ${entry} once, got ${now}")
  endif()
endfunction()

# Reports an error unless `path` exists exactly when `wanted` is true;
# `after` names the step that should have left it so.
function(dorvan_expect_exists path wanted after)
  if(EXISTS "${path}" AND NOT wanted)
    message(SEND_ERROR "${after}: expected no ${path}")
  elseif(NOT EXISTS "${path}" AND wanted)
    message(SEND_ERROR "${after}: expected ${path}")
  endif()
endfunction()

# Every installer run goes through run_within_limit.sh, which reports a run
# still going at its limit before it ends it. `${dorvan_within} LIMIT LOG`
# goes before the command (LOG "" for a run without one); CMake's own
# limit is only the last resort.
set(dorvan_within sh "${CMAKE_CURRENT_LIST_DIR}/run_within_limit.sh")
set(dorvan_within_report sh "${CMAKE_CURRENT_LIST_DIR}/run_within_limit.sh" report)

# An error naming the step `what` where its standard error `output` holds
# the report of a run that passed its limit.
function(dorvan_report_if_hung what output)
  string(FIND "${output}" "dorvan: still running after" at)
  if(NOT at EQUAL -1)
    string(SUBSTRING "${output}" ${at} -1 report)
    message(SEND_ERROR "${what}:\n${report}")
  endif()
endfunction()

# Runs a command within `DORVAN_LIMIT` seconds (600 where the caller sets
# none) and reports an error unless it ends with status `expected`; `what`
# names the step.
function(dorvan_run expected what)
  if(NOT DORVAN_LIMIT)
    set(DORVAN_LIMIT 600)
  endif()
  math(EXPR last_resort "${DORVAN_LIMIT} + 120")
  execute_process(COMMAND ${dorvan_within} ${DORVAN_LIMIT} "" ${ARGN} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT ${last_resort})
  dorvan_report_if_hung("${what}" "${err}")
  if(NOT status STREQUAL expected)
    message(FATAL_ERROR "${what}: expected status ${expected}, got ${status}\n${out}\n${err}")
  endif()
endfunction()

# The host's records of its directory in the Wine prefix, which an earlier
# test may have left and the installer tests make, removed; further
# arguments go to reg (/reg:32 for the 32-bit view of a win64 prefix).
function(dorvan_remove_host_keys wine)
  foreach(key "HKLM\\Software\\Microsoft\\Shared Tools\\Map" "HKLM\\Software\\Microsoft\\DataMap")
    execute_process(COMMAND ${wine} reg delete "${key}" /f ${ARGN} OUTPUT_QUIET ERROR_QUIET TIMEOUT 120)
  endforeach()
endfunction()

# Runs an installer within `limit` seconds, its log in `log_file`:
# `status` receives its exit status, `log` the log (empty when it wrote
# none); `what` names the step.
function(dorvan_run_logged what limit log_file status log)
  file(REMOVE "${log_file}")
  math(EXPR last_resort "${limit} + 120")
  execute_process(COMMAND ${dorvan_within} ${limit} "${log_file}" ${ARGN} RESULT_VARIABLE result
                  OUTPUT_QUIET ERROR_VARIABLE err TIMEOUT ${last_resort})
  dorvan_report_if_hung("${what}" "${err}")
  set(text "")
  if(EXISTS "${log_file}")
    file(READ "${log_file}" text)
  endif()
  set(${status} "${result}" PARENT_SCOPE)
  set(${log} "${text}" PARENT_SCOPE)
endfunction()

# Puts the prefix's user temporary folder (TMP and TEMP) at C:\NAME, made
# if missing, for the programs started from now on; an empty NAME puts the
# prefix's own back.
function(dorvan_set_temp wine name)
  get_property(own GLOBAL PROPERTY dorvan_own_temp)
  if(NOT own)
    execute_process(COMMAND ${wine} reg query "HKCU\\Environment" /v TEMP OUTPUT_VARIABLE listing TIMEOUT 120)
    string(REGEX MATCH "REG_SZ[ \t]+([^\r\n]+)" found "${listing}")
    set(own "${CMAKE_MATCH_1}")
    set_property(GLOBAL PROPERTY dorvan_own_temp "${own}")
  endif()
  set(folder "${own}")
  if(name)
    file(MAKE_DIRECTORY "$ENV{WINEPREFIX}/drive_c/${name}")
    set(folder "C:\\${name}")
  endif()
  foreach(variable TMP TEMP)
    execute_process(COMMAND ${wine} reg add "HKCU\\Environment" /v ${variable} /d "${folder}" /f
                    OUTPUT_QUIET ERROR_QUIET TIMEOUT 120)
  endforeach()
endfunction()

# Records the host's map data directory as "MapData", a Windows path.
function(dorvan_record_map_data wine directory)
  dorvan_run(0 "recording MapData" ${wine} reg add "HKLM\\Software\\Microsoft\\Shared Tools\\Map\\Directories"
             /v MapData /d "${directory}" /f ${ARGN})
endfunction()

# Reports an error unless `dictionary` holds the bytes whose SHA-256 is
# `original`, as an uninstall leaves them; `after` names the step.
function(dorvan_expect_first_bytes dictionary original after)
  file(SHA256 "${dictionary}" now)
  if(NOT now STREQUAL original)
    message(SEND_ERROR "${after}: expected the dictionary back to its first bytes")
  endif()
endfunction()

# The host for the runs under another code page: "MapData" names
# C:\Mapy Śląska\Data, which holds the sample dictionary; `folder`
# receives its path. Further arguments go to reg.
function(dorvan_place_polish_host wine work folder)
  set(polish "$ENV{WINEPREFIX}/drive_c/Mapy Śląska/Data")
  dorvan_record_map_data(${wine} "C:\\Mapy Śląska\\Data" ${ARGN})
  file(REMOVE_RECURSE "${polish}")
  file(MAKE_DIRECTORY "${polish}")
  file(COPY "${work}/host/Geodict.dct" DESTINATION "${polish}")
  set(${folder} "${polish}" PARENT_SCOPE)
endfunction()
