# A real setup program as the client: the guide's NSIS example, built by
# makensis with the kit's Dorvan.nsh as a Unicode and as an ANSI installer,
# installs and uninstalls the map set silently under 32-bit Wine against a
# synthetic host; with no host, the
# library's message 17 is read and closed from outside the installer's
# process, and the installer ends with nothing written.
#
# cmake -DWINE=... -DMAKENSIS=... -DDLL=... -DTOOL=... -DWATCHER=...
#       -DSOURCE_DIR=... -DWORK=... -P check_nsis.cmake
# WINEPREFIX names the prefix; its CommonFilesDir is the default one.

cmake_policy(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../support/sample_host.cmake)

set(drive "$ENV{WINEPREFIX}/drive_c")
set(data "${drive}/Program Files/Common Files/Microsoft Shared/DataMap/Data")
set(app "${drive}/Program Files/Mapa Polski")
set(host_keys "HKLM\\Software\\Microsoft\\Shared Tools\\Map" "HKLM\\Software\\Microsoft\\DataMap")

function(run expected what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 600)
  if(NOT status STREQUAL expected)
    message(FATAL_ERROR "${what}: expected status ${expected}, got ${status}\n${out}\n${err}")
  endif()
endfunction()

# The host's records of its directory, which an earlier test may have left
# and this one makes, are removed before and after.
function(remove_host_keys)
  foreach(key ${host_keys})
    execute_process(COMMAND ${WINE} reg delete "${key}" /f OUTPUT_QUIET ERROR_QUIET TIMEOUT 120)
  endforeach()
endfunction()

# The installers, built from the example as a setup author builds them.
file(REMOVE_RECURSE "${WORK}" "${app}" "${data}")
dorvan_write_sample_host("${WORK}")
foreach(variant unicode ansi)
  set(folder "${WORK}/${variant}")
  file(COPY "${SOURCE_DIR}/include/Dorvan.nsh" "${SOURCE_DIR}/docs/examples/map_set_setup.nsi" "${DLL}"
       "${WORK}/setup/GeoExt.gxt" DESTINATION "${folder}")
  file(WRITE "${folder}/Pols0000.GST" "a synthetic map file")
  set(charset)
  if(variant STREQUAL ansi)
    set(charset -DANSI)
  endif()
  run(0 "makensis (${variant})" ${CMAKE_COMMAND} -E chdir "${folder}" ${MAKENSIS} -V2 ${charset} map_set_setup.nsi)
endforeach()
set(installer "${WORK}/unicode/map_set_setup.exe")
remove_host_keys()

# No host: message 17, read and closed by a program of its own, and the
# installer stops before writing anything.
execute_process(COMMAND ${WINE} ${installer} /S
                COMMAND ${WINE} ${WATCHER} 300
                RESULTS_VARIABLE statuses OUTPUT_VARIABLE box ERROR_VARIABLE err TIMEOUT 600)
list(GET statuses 1 watched)
if(NOT watched EQUAL 0 OR NOT box MATCHES "Instalacja zostaje przerwana\\. Najpierw zainstaluj Microsoft Map")
  message(SEND_ERROR "no host: expected message 17 in a box, got status ${statuses}: ${box}\n${err}")
endif()
dorvan_expect_exists("${app}" NO "no host")
dorvan_expect_exists("${data}/Pols0000.GST" NO "no host")
remove_host_keys()

# Install: the entry appended after a backup, the map file copied, the map
# set registered. Uninstall, run in place (_?=) so that it ends before its
# status is read: the dictionary back to its first bytes with one more
# backup, the files gone, and the library unloaded, or it could not have
# been deleted.
file(READ "${WORK}/setup/GeoExt.gxt" entry HEX)
foreach(variant unicode ansi)
  file(REMOVE_RECURSE "${data}")
  file(MAKE_DIRECTORY "${data}")
  file(COPY "${WORK}/host/Geodict.dct" DESTINATION "${data}")
  file(SHA256 "${data}/Geodict.dct" original)
  run(0 "install (${variant})" ${WINE} "${WORK}/${variant}/map_set_setup.exe" /S)
  file(READ "${data}/Geodict.dct" dictionary HEX)
  string(FIND "${dictionary}" "${entry}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "install (${variant}): expected the entry in the dictionary")
  endif()
  dorvan_expect_exists("${data}/Geodict.000" YES "install (${variant})")
  dorvan_expect_exists("${data}/Pols0000.GST" YES "install (${variant})")
  dorvan_expect_exists("${app}/Dorvan.dll" YES "install (${variant})")
  run(0 "VorezuInstalled after install (${variant})"
      ${WINE} ${TOOL} installed "C:\\Program Files\\Common Files\\Microsoft Shared\\DataMap\\Data")

  run(0 "uninstall (${variant})" ${WINE} "${app}/uninstall.exe" /S "_?=C:\\Program Files\\Mapa Polski")
  file(SHA256 "${data}/Geodict.dct" now)
  if(NOT now STREQUAL original)
    message(SEND_ERROR "uninstall (${variant}): expected the dictionary back to its first bytes")
  endif()
  dorvan_expect_exists("${data}/Geodict.001" YES "uninstall (${variant})")
  dorvan_expect_exists("${data}/Pols0000.GST" NO "uninstall (${variant})")
  dorvan_expect_exists("${app}/Dorvan.dll" NO "uninstall (${variant})")
  dorvan_expect_exists("${app}/mapset.ini" NO "uninstall (${variant})")
  file(REMOVE_RECURSE "${app}")
  remove_host_keys()
endforeach()

remove_host_keys()
file(REMOVE_RECURSE "${WORK}" "${app}" "${data}")
