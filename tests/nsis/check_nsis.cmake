# A real setup program as the client: the guide's NSIS examples, built by
# makensis with the kit's Dorvan.nsh: on Dorvan.dll as a Unicode and as an
# ANSI installer, and on DorvanSetup.dll as an installer safe to run
# silently. Each installs and uninstalls the map set silently under 32-bit
# Wine against a synthetic host. With no host, Dorvan.dll's message 17 is
# read and closed from outside the installer's process, and the installer
# ends with nothing written; the unattended installer ends by itself with
# exit code 2. Every installer runs with a time limit.
#
# cmake -DWINE=... -DMAKENSIS=... -DDLL=... -DSETUP_DLL=... -DTOOL=...
#       -DWATCHER=... -DSOURCE_DIR=... -DWORK=... -P check_nsis.cmake
# WINEPREFIX names the prefix; its CommonFilesDir is the default one.

cmake_policy(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../support/sample_host.cmake)

set(drive "$ENV{WINEPREFIX}/drive_c")
set(data "${drive}/Program Files/Common Files/Microsoft Shared/DataMap/Data")
set(app "${drive}/Program Files/Mapa Polski")
# The installers, built from the example as a setup author builds them.
file(REMOVE_RECURSE "${WORK}" "${app}" "${data}")
dorvan_write_sample_host("${WORK}")
# Each variant: its script, its library, and its installer.
set(script_unicode map_set_setup)
set(script_ansi map_set_setup)
set(script_unattended map_set_setup_unattended)
set(script_newer map_set_setup_unattended)
set(dll_unicode "${DLL}")
set(dll_ansi "${DLL}")
set(dll_unattended "${SETUP_DLL}")
set(dll_newer "${SETUP_DLL}")
foreach(variant unicode ansi unattended newer)
  set(folder "${WORK}/${variant}")
  file(COPY "${SOURCE_DIR}/include/Dorvan.nsh" "${SOURCE_DIR}/docs/examples/${script_${variant}}.nsi"
       "${dll_${variant}}" "${WORK}/setup/GeoExt.gxt" DESTINATION "${folder}")
  file(WRITE "${folder}/Pols0000.GST" "a synthetic map file")
  if(variant STREQUAL newer)
    dorvan_write_newer_entry("${folder}/GeoExt.gxt")
  endif()
  set(charset)
  if(variant STREQUAL ansi)
    set(charset -DANSI)
  endif()
  dorvan_run(0 "makensis (${variant})" ${CMAKE_COMMAND} -E chdir "${folder}" ${MAKENSIS} -V2 ${charset}
             ${script_${variant}}.nsi)
  get_filename_component(dll_name_${variant} "${dll_${variant}}" NAME)
endforeach()
set(installer "${WORK}/unicode/map_set_setup.exe")
dorvan_remove_host_keys(${WINE})

# No host: message 17, read and closed by a program of its own, and the
# installer stops before writing anything.
execute_process(COMMAND ${dorvan_within} 600 "" ${WINE} ${installer} /S
                COMMAND ${WINE} ${WATCHER} 300
                RESULTS_VARIABLE statuses OUTPUT_VARIABLE box ERROR_VARIABLE err TIMEOUT 720)
dorvan_report_if_hung("no host" "${err}")
list(GET statuses 1 watched)
if(NOT watched EQUAL 0 OR NOT box MATCHES "Instalacja zostaje przerwana\\. Najpierw zainstaluj Microsoft Map")
  message(SEND_ERROR "no host: expected message 17 in a box, got status ${statuses}: ${box}\n${err}")
endif()
dorvan_expect_exists("${app}" NO "no host")
dorvan_expect_exists("${data}/Pols0000.GST" NO "no host")

# No host, silently on DorvanSetup.dll: no box waits, and the installer
# ends by itself with exit code 2.
dorvan_run(2 "no host (unattended)" ${WINE} "${WORK}/unattended/map_set_setup_unattended.exe" /S)
dorvan_expect_exists("${app}" NO "no host (unattended)")
dorvan_remove_host_keys(${WINE})

# Install: the entry appended after a backup, the map file copied, the map
# set registered. Uninstall, run in place (_?=) so that it ends before its
# status is read: the dictionary back to its first bytes with one more
# backup, the files gone, and the library unloaded, or it could not have
# been deleted.
file(READ "${WORK}/setup/GeoExt.gxt" entry HEX)
foreach(variant unicode ansi unattended)
  file(REMOVE_RECURSE "${data}")
  file(MAKE_DIRECTORY "${data}")
  file(COPY "${WORK}/host/Geodict.dct" DESTINATION "${data}")
  file(SHA256 "${data}/Geodict.dct" original)
  dorvan_run(0 "install (${variant})" ${WINE} "${WORK}/${variant}/${script_${variant}}.exe" /S)
  file(READ "${data}/Geodict.dct" dictionary HEX)
  string(FIND "${dictionary}" "${entry}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "install (${variant}): expected the entry in the dictionary")
  endif()
  dorvan_expect_exists("${data}/Geodict.000" YES "install (${variant})")
  dorvan_expect_exists("${data}/Pols0000.GST" YES "install (${variant})")
  dorvan_expect_exists("${app}/${dll_name_${variant}}" YES "install (${variant})")
  dorvan_run(0 "VorezuInstalled after install (${variant})"
      ${WINE} ${TOOL} installed "C:\\Program Files\\Common Files\\Microsoft Shared\\DataMap\\Data")

  dorvan_run(0 "uninstall (${variant})" ${WINE} "${app}/uninstall.exe" /S "_?=C:\\Program Files\\Mapa Polski")
  dorvan_expect_first_bytes("${data}/Geodict.dct" "${original}" "uninstall (${variant})")
  dorvan_expect_exists("${data}/Geodict.001" YES "uninstall (${variant})")
  dorvan_expect_exists("${data}/Pols0000.GST" NO "uninstall (${variant})")
  dorvan_expect_exists("${app}/${dll_name_${variant}}" NO "uninstall (${variant})")
  dorvan_expect_exists("${app}/mapset.ini" NO "uninstall (${variant})")
  file(REMOVE_RECURSE "${app}")
  dorvan_remove_host_keys(${WINE})
endforeach()

# An upgrade: the unattended installer's newer version, with a changed
# entry, run over the older one. One that fails after its registration
# (its uninstaller cannot be written) leaves the older version registered
# as it was; one that succeeds leaves its own entry once, and its
# uninstaller the host's first bytes.
file(REMOVE_RECURSE "${data}")
file(MAKE_DIRECTORY "${data}")
file(COPY "${WORK}/host/Geodict.dct" DESTINATION "${data}")
file(READ "${data}/Geodict.dct" host HEX)
set(newer "${WORK}/newer/map_set_setup_unattended.exe")
dorvan_run(0 "install (older)" ${WINE} "${WORK}/unattended/map_set_setup_unattended.exe" /S)
file(SHA256 "${data}/Geodict.dct" older)
file(REMOVE "${app}/uninstall.exe")
file(MAKE_DIRECTORY "${app}/uninstall.exe")
dorvan_run(2 "upgrade failing after its registration" ${WINE} ${newer} /S)
file(SHA256 "${data}/Geodict.dct" now)
if(NOT now STREQUAL older)
  message(SEND_ERROR "upgrade failing after its registration: expected the older version's dictionary")
endif()
dorvan_expect_exists("${data}/Pols0000.GST" YES "upgrade failing after its registration")
file(REMOVE_RECURSE "${app}/uninstall.exe")
dorvan_run(0 "upgrade" ${WINE} ${newer} /S)
dorvan_expect_registered("${data}/Geodict.dct" "${host}" "${WORK}/newer/GeoExt.gxt" "upgrade")
dorvan_run(0 "uninstall (upgraded)" ${WINE} "${app}/uninstall.exe" /S "_?=C:\\Program Files\\Mapa Polski")
file(SHA256 "${WORK}/host/Geodict.dct" original)
dorvan_expect_first_bytes("${data}/Geodict.dct" "${original}" "uninstall (upgraded)")


# Under the English code page 1252, which spells neither Polish nor
# Cyrillic letters: a user's temporary folder, and so $PLUGINSDIR, named
# with each, and a host whose map data directory holds Polish letters. The
# unattended installer installs, puts the older dictionary back when it
# fails after its registration, and its uninstaller leaves the first bytes;
# with "MapData" naming a folder without the dictionary, its log names it
# exactly in message 19.
set(ENV{LC_ALL} C.UTF-8)
dorvan_remove_host_keys(${WINE})
foreach(temp "Temp Łukasz" "Temp Жук")
  set(what "under code page 1252, ${temp}")
  dorvan_set_temp(${WINE} "${temp}")
  dorvan_place_polish_host(${WINE} "${WORK}" polish)
  dorvan_run(0 "install (${what})" ${WINE} "${WORK}/unattended/map_set_setup_unattended.exe" /S)
  dorvan_expect_registered("${polish}/Geodict.dct" "${host}" "${WORK}/setup/GeoExt.gxt" "install (${what})")
  file(REMOVE "${app}/uninstall.exe")
  file(MAKE_DIRECTORY "${app}/uninstall.exe")
  dorvan_run(2 "upgrade failing after its registration (${what})" ${WINE} ${newer} /S)
  dorvan_expect_registered("${polish}/Geodict.dct" "${host}" "${WORK}/setup/GeoExt.gxt" "restore (${what})")
  file(REMOVE_RECURSE "${app}/uninstall.exe")
  dorvan_run(0 "upgrade (${what})" ${WINE} ${newer} /S)
  dorvan_run(0 "uninstall (${what})" ${WINE} "${app}/uninstall.exe" /S "_?=C:\\Program Files\\Mapa Polski")
  dorvan_expect_first_bytes("${polish}/Geodict.dct" "${original}" "uninstall (${what})")
  dorvan_expect_exists("${polish}/Pols0000.GST" NO "uninstall (${what})")
  file(REMOVE_RECURSE "${app}")
endforeach()
file(MAKE_DIRECTORY "${drive}/Mapy Жук")
dorvan_record_map_data(${WINE} "C:\\Mapy Жук")
dorvan_run(2 "no dictionary (code page 1252)" ${WINE} "${WORK}/unattended/map_set_setup_unattended.exe" /S)
execute_process(COMMAND iconv -f UTF-16 -t UTF-8 "${drive}/Temp Жук/map_set_setup.log" OUTPUT_VARIABLE lines)
if(NOT lines MATCHES "Dorvan: message 19: Plik zestawu map: \"C:\\\\Mapy Жук\\\\Geodict\\.dct\" nie istnieje\\.")
  message(SEND_ERROR "no dictionary (code page 1252): expected message 19 naming C:\\Mapy Жук\\Geodict.dct, got ${lines}")
endif()
dorvan_set_temp(${WINE} "")
set(ENV{LC_ALL} pl_PL.UTF-8)

dorvan_remove_host_keys(${WINE})
file(REMOVE_RECURSE "${WORK}" "${app}" "${data}" "${drive}/Mapy Śląska" "${drive}/Mapy Жук" "${drive}/Temp Łukasz"
     "${drive}/Temp Жук")
