# A real Inno Setup setup as the client: the guide's example on
# DorvanSetup.dll and the kit's DorvanSetup.iss, compiled by ISCC and run
# under 32-bit Wine, each run with a time limit. Unattended, a setup on a
# machine without the host ends by itself with a non-zero exit code and
# message 17 in its log; one whose "MapData" names a folder without the
# dictionary logs message 19 with that path and installs nothing; without
# /SUPPRESSMSGBOXES the setup's own box shows the message (read and closed
# from outside); and a silent install and uninstall leave the dictionary
# as it was, with two backups, and no file of the map set behind.
#
# cmake -DWINE=... -DISCC=... -DDLL=... -DWATCHER=... -DSOURCE_DIR=...
#       -DWORK=... -P check_inno.cmake
# WINEPREFIX names the prefix; its CommonFilesDir is the default one.

cmake_policy(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../support/sample_host.cmake)

set(drive "$ENV{WINEPREFIX}/drive_c")
set(data "${drive}/Program Files/Common Files/Microsoft Shared/DataMap/Data")
set(empty "${drive}/Mapy bez slownika")
set(app "${drive}/Program Files/Mapa Polski")
set(limit 120)

# Runs the setup `setup` unattended with its log in C:\LOG_NAME; `status`
# receives its exit status, `log` the log.
set(setup "${WORK}/map_set_setup.exe")
function(run_setup log_name status log)
  dorvan_run_logged("setup (${log_name})" ${limit} "${drive}/${log_name}" result text
                    ${WINE} "${setup}" /VERYSILENT ${ARGN} "/LOG=C:\\${log_name}")
  set(${status} "${result}" PARENT_SCOPE)
  set(${log} "${text}" PARENT_SCOPE)
endfunction()

# Runs the uninstaller silently. It hands over to a copy of itself and
# returns at once: the program folder's removal marks its end, within the
# same limit as a setup's.
function(uninstall what)
  set(DORVAN_LIMIT ${limit})
  dorvan_run(0 "${what}" ${WINE} "${app}/unins000.exe" /VERYSILENT /SUPPRESSMSGBOXES)
  string(TIMESTAMP began "%s")
  while(EXISTS "${app}")
    string(TIMESTAMP now "%s")
    math(EXPR waited "${now} - ${began}")
    if(waited GREATER limit)
      execute_process(COMMAND ${dorvan_within_report} "" ERROR_VARIABLE report TIMEOUT 60)
      dorvan_report_if_hung("${what}" "dorvan: still running after its limit of ${limit} s\n${report}")
      break()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 0.1)
  endwhile()
endfunction()

function(expect_failure what status log pattern)
  if(NOT status MATCHES "^[1-9][0-9]*$")
    message(SEND_ERROR "${what}: expected the setup to end by itself with a non-zero exit code, got ${status}")
  endif()
  if(NOT log MATCHES "${pattern}")
    message(SEND_ERROR "${what}: expected the log to hold ${pattern}; it holds:\n${log}")
  endif()
  dorvan_expect_exists("${app}" NO "${what}")
endfunction()

file(REMOVE_RECURSE "${WORK}" "${app}" "${data}" "${empty}")
dorvan_write_sample_host("${WORK}")
file(COPY "${SOURCE_DIR}/include/DorvanSetup.iss" "${SOURCE_DIR}/docs/examples/map_set_setup.iss" "${DLL}"
     "${WORK}/setup/GeoExt.gxt" DESTINATION "${WORK}")
file(WRITE "${WORK}/Pols0000.GST" "a synthetic map file")
string(TIMESTAMP began "%s")
dorvan_run(0 "ISCC" ${CMAKE_COMMAND} -E chdir "${WORK}" ${WINE} ${ISCC} /Q map_set_setup.iss)
# A newer version with a changed entry, and one that fails after its
# registration: a file of its own cannot be written.
file(READ "${WORK}/map_set_setup.iss" script)
string(REPLACE "AppVersion=1.0" "AppVersion=1.2" newer "${script}")
foreach(variant newer failing)
  file(COPY "${WORK}/DorvanSetup.iss" "${DLL}" "${WORK}/Pols0000.GST" DESTINATION "${WORK}/${variant}")
  dorvan_write_newer_entry("${WORK}/${variant}/GeoExt.gxt")
  set(text "${newer}")
  if(variant STREQUAL failing)
    string(APPEND text "\n[Files]\nSource: \"Pols0000.GST\"; DestDir: \"{app}\\blocked\"\n")
  endif()
  file(WRITE "${WORK}/${variant}/map_set_setup.iss" "${text}")
  dorvan_run(0 "ISCC (${variant})" ${CMAKE_COMMAND} -E chdir "${WORK}/${variant}" ${WINE} ${ISCC} /Q map_set_setup.iss)
endforeach()
string(TIMESTAMP compiled "%s")
dorvan_remove_host_keys(${WINE})

# No host, unattended: ends by itself, message 17 in the log.
run_setup(inno-nohost.log status log /SUPPRESSMSGBOXES)
expect_failure("no host" "${status}" "${log}"
               "Dorvan: message 17: Instalacja zostaje przerwana\\. Najpierw zainstaluj Microsoft Map")

# No host, without /SUPPRESSMSGBOXES: the setup's own box shows message 17.
execute_process(COMMAND ${dorvan_within} ${limit} "" ${WINE} "${WORK}/map_set_setup.exe" /VERYSILENT
                COMMAND ${WINE} ${WATCHER} 60 "*"
                RESULTS_VARIABLE statuses OUTPUT_VARIABLE box ERROR_VARIABLE err TIMEOUT 300)
dorvan_report_if_hung("no host, boxes shown" "${err}")
list(GET statuses 0 setup_status)
list(GET statuses 1 watched)
if(NOT watched EQUAL 0 OR NOT box MATCHES "Instalacja zostaje przerwana\\. Najpierw zainstaluj Microsoft Map")
  message(SEND_ERROR "no host, boxes shown: expected message 17 in the setup's box, got ${statuses}: ${box}\n${err}")
endif()
if(setup_status EQUAL 0)
  message(SEND_ERROR "no host, boxes shown: expected a non-zero exit code")
endif()

# "MapData" naming a folder without the dictionary: message 19 with its
# path, and nothing installed there.
file(MAKE_DIRECTORY "${empty}")
dorvan_run(0 "recording MapData" ${WINE} reg add "HKLM\\Software\\Microsoft\\Shared Tools\\Map\\Directories"
           /v MapData /d "C:\\Mapy bez slownika" /f)
run_setup(inno-missing.log status log /SUPPRESSMSGBOXES)
expect_failure("no dictionary" "${status}" "${log}"
               "Dorvan: message 19: Plik zestawu map: \"C:\\\\Mapy bez slownika\\\\Geodict\\.dct\" nie istnieje\\.")
dorvan_expect_exists("${empty}/Pols0000.GST" NO "no dictionary")
dorvan_remove_host_keys(${WINE})

# Install and uninstall, unattended, against the host under the common
# files: the entry appended after a backup, the map file copied; then the
# dictionary back to its first bytes with a second backup, and every file
# of the map set gone.
file(MAKE_DIRECTORY "${data}")
file(COPY "${WORK}/host/Geodict.dct" DESTINATION "${data}")
file(SHA256 "${data}/Geodict.dct" original)
file(READ "${WORK}/setup/GeoExt.gxt" entry HEX)
run_setup(inno-install.log status log /SUPPRESSMSGBOXES)
if(NOT status EQUAL 0)
  message(SEND_ERROR "install: expected exit code 0, got ${status}\n${log}")
endif()
file(READ "${data}/Geodict.dct" dictionary HEX)
string(FIND "${dictionary}" "${entry}" at)
if(at EQUAL -1)
  message(SEND_ERROR "install: expected the entry in the dictionary")
endif()
dorvan_expect_exists("${data}/Geodict.000" YES "install")
dorvan_expect_exists("${data}/Pols0000.GST" YES "install")
dorvan_expect_exists("${app}/DorvanSetup.dll" YES "install")

uninstall("uninstall")
dorvan_expect_first_bytes("${data}/Geodict.dct" "${original}" "uninstall")
dorvan_expect_exists("${data}/Geodict.001" YES "uninstall")
dorvan_expect_exists("${data}/Pols0000.GST" NO "uninstall")
dorvan_expect_exists("${app}" NO "uninstall")

# An upgrade over the installed older version. The one that fails after its
# registration leaves the older version registered as it was; the newer
# one leaves its own entry once, and its uninstaller the first bytes.
file(READ "${data}/Geodict.dct" host HEX)
run_setup(inno-older.log status log /SUPPRESSMSGBOXES)
file(SHA256 "${data}/Geodict.dct" older)
file(MAKE_DIRECTORY "${app}/blocked/Pols0000.GST")
set(setup "${WORK}/failing/map_set_setup.exe")
run_setup(inno-failing.log status log /SUPPRESSMSGBOXES)
file(SHA256 "${data}/Geodict.dct" now)
if(status EQUAL 0 OR NOT now STREQUAL older OR NOT log MATCHES "Rolling back changes")
  message(SEND_ERROR "upgrade failing after its registration: expected a non-zero exit code (got ${status}) and the "
                     "older version's dictionary\n${log}")
endif()
file(REMOVE_RECURSE "${app}/blocked")
set(setup "${WORK}/newer/map_set_setup.exe")
run_setup(inno-newer.log status log /SUPPRESSMSGBOXES)
if(NOT status EQUAL 0)
  message(SEND_ERROR "upgrade: expected exit code 0, got ${status}\n${log}")
endif()
dorvan_expect_registered("${data}/Geodict.dct" "${host}" "${WORK}/newer/GeoExt.gxt" "upgrade")
uninstall("uninstall (upgraded)")
dorvan_expect_first_bytes("${data}/Geodict.dct" "${original}" "uninstall (upgraded)")

# Under the English code page 1252, which spells neither Polish nor
# Cyrillic letters: a user's temporary folder, and so {tmp}, named with
# each, and a host whose map data directory holds Polish letters. Each
# setup installs, the failing one puts the older dictionary back, and the
# uninstaller leaves the first bytes; with "MapData" naming a folder
# without the dictionary, the log names it exactly in message 19.
set(ENV{LC_ALL} C.UTF-8)
foreach(temp "Temp Łukasz" "Temp Жук")
  set(what "under code page 1252, ${temp}")
  dorvan_set_temp(${WINE} "${temp}")
  dorvan_place_polish_host(${WINE} "${WORK}" polish)
  set(setup "${WORK}/map_set_setup.exe")
  run_setup(inno-1252.log status log /SUPPRESSMSGBOXES)
  dorvan_expect_registered("${polish}/Geodict.dct" "${host}" "${WORK}/setup/GeoExt.gxt" "install (${what})")
  file(MAKE_DIRECTORY "${app}/blocked/Pols0000.GST")
  set(setup "${WORK}/failing/map_set_setup.exe")
  run_setup(inno-1252.log status log /SUPPRESSMSGBOXES)
  dorvan_expect_registered("${polish}/Geodict.dct" "${host}" "${WORK}/setup/GeoExt.gxt" "restore (${what})")
  file(REMOVE_RECURSE "${app}/blocked")
  uninstall("uninstall (${what})")
  dorvan_expect_first_bytes("${polish}/Geodict.dct" "${original}" "uninstall (${what})")
  dorvan_expect_exists("${polish}/Pols0000.GST" NO "uninstall (${what})")
endforeach()
file(MAKE_DIRECTORY "${drive}/Mapy Жук")
dorvan_record_map_data(${WINE} "C:\\Mapy Жук")
set(setup "${WORK}/map_set_setup.exe")
run_setup(inno-1252.log status log /SUPPRESSMSGBOXES)
expect_failure("no dictionary (code page 1252)" "${status}" "${log}"
               "Dorvan: message 19: Plik zestawu map: \"C:\\\\Mapy Жук\\\\Geodict\\.dct\" nie istnieje\\.")
dorvan_set_temp(${WINE} "")
set(ENV{LC_ALL} pl_PL.UTF-8)
file(REMOVE_RECURSE "${drive}/Mapy Śląska" "${drive}/Mapy Жук" "${drive}/Temp Łukasz" "${drive}/Temp Жук")

string(TIMESTAMP ended "%s")
math(EXPR compiling "${compiled} - ${began}")
math(EXPR running "${ended} - ${compiled}")
message(STATUS "Inno Setup: compiled in ${compiling} s, thirteen setups and four uninstallers run in ${running} s")

dorvan_remove_host_keys(${WINE})
file(REMOVE_RECURSE "${WORK}" "${app}" "${data}" "${empty}")
