# Windows Installer as the client: the guide's example package on the
# kit's DorvanSetup.wxi, built by wixl, its rollback actions' type set by
# msibuild, its sequence table checked, and run by Wine's msiexec /qn with a
# verbose log, each run with a time limit, against a synthetic host:
# install, repair, uninstall, no host, and a failure after the registration
# and after the unregistration (the test's own package adds a deferred
# action that fails on demand), each rolled back to the dictionary as it
# was.
#
# cmake -DWINE=... -DWIXL=... -DMSIBUILD=... -DMSIINFO=... -DARCH=x86|x64
#       -DDLL=... -DFAILING_DLL=... -DSOURCE_DIR=... -DWORK=...
#       -DCOMMON_FILES=... [-DHANG_CHECK=ON] -P check_msi.cmake
# WINEPREFIX names the prefix; COMMON_FILES is its common files folder in
# the registry's 32-bit view, below drive_c.

cmake_policy(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../support/sample_host.cmake)

set(drive "$ENV{WINEPREFIX}/drive_c")
set(data "${drive}/${COMMON_FILES}/Microsoft Shared/DataMap/Data")
set(app "${drive}/Program Files/Mapa Polski")
set(timings "")
# The host is a 32-bit program: its keys live in the 32-bit view.
set(view)
if(ARCH STREQUAL x64)
  set(view /reg:32)
endif()

# Each msiexec run takes a second or two; one that has not ended in a
# minute hangs, and says so with what it left running.
set(msiexec_limit 60)

# msiexec with `arguments`, its verbose log in C:\LOG_NAME; `status`
# receives its exit status (1603 reaches the shell as 67), `log` the log.
function(run_msiexec what log_name status log)
  string(TIMESTAMP began "%s")
  dorvan_run_logged("${what}" ${msiexec_limit} "${drive}/${log_name}" result text
                    ${WINE} msiexec ${ARGN} /qn /l*v "C:\\${log_name}")
  string(TIMESTAMP ended "%s")
  math(EXPR took "${ended} - ${began}")
  set(timings "${timings}\n  ${what}: exit code ${result}, ${took} s" PARENT_SCOPE)
  set(${status} "${result}" PARENT_SCOPE)
  set(${log} "${text}" PARENT_SCOPE)
endfunction()

function(expect_status what status expected)
  if(NOT status STREQUAL expected)
    message(SEND_ERROR "${what}: expected exit code ${expected}, got ${status}")
  endif()
endfunction()

function(expect_in_log what log pattern)
  if(NOT log MATCHES "${pattern}")
    message(SEND_ERROR "${what}: expected the log to hold ${pattern}")
  endif()
endfunction()

function(expect_dictionary what hash)
  file(SHA256 "${data}/Geodict.dct" now)
  if(NOT now STREQUAL hash)
    message(SEND_ERROR "${what}: expected the dictionary as it was")
  endif()
endfunction()

# The packages: the example, and the test's own with the failing action.
file(REMOVE_RECURSE "${WORK}" "${app}" "${data}")
dorvan_write_sample_host("${WORK}")
file(COPY "${SOURCE_DIR}/include/DorvanSetup.wxi" "${SOURCE_DIR}/docs/examples/map_set_setup.wxs"
     "${SOURCE_DIR}/tests/msi/failure.wxi" "${DLL}" "${FAILING_DLL}" "${WORK}/setup/GeoExt.gxt" DESTINATION "${WORK}")
file(WRITE "${WORK}/Pols0000.GST" "a synthetic map file")
file(READ "${WORK}/map_set_setup.wxs" example)
string(REPLACE "<?include DorvanSetup.wxi ?>" "<?include DorvanSetup.wxi ?>\n    <?include failure.wxi ?>" failing
       "${example}")
file(WRITE "${WORK}/failing.wxs" "${failing}")
foreach(package map_set_setup failing)
  dorvan_run(0 "wixl (${package})" ${CMAKE_COMMAND} -E chdir "${WORK}" ${WIXL} -a ${ARCH} -o ${package}.msi
             ${package}.wxs)
  dorvan_run(0 "msibuild (${package})" ${MSIBUILD} "${WORK}/${package}.msi" -q
             "UPDATE `CustomAction` SET `Type`=3393 WHERE `Action`='DorvanRegisterMapSetRollback' OR `Action`='DorvanUnregisterMapSetRollback'")
  file(COPY "${WORK}/${package}.msi" DESTINATION "${drive}")
endforeach()

# The sequence table: each deferred and rollback action between
# InstallInitialize and InstallFinalize, each rollback action just before
# the action it undoes, the removal before RemoveFiles and the registration
# after InstallFiles; the directory found before CostFinalize.
execute_process(COMMAND ${MSIINFO} export "${WORK}/map_set_setup.msi" InstallExecuteSequence
                OUTPUT_VARIABLE table RESULT_VARIABLE failed)
string(REPLACE "\r" "" table "${table}")
set(order CostInitialize DorvanFindMapDataDir CostFinalize InstallInitialize DorvanPrepareMapSetActions
          DorvanUnregisterMapSetRollback DorvanUnregisterMapSet RemoveFiles InstallFiles DorvanRegisterMapSetRollback
          DorvanRegisterMapSet InstallFinalize)
set(previous -1)
foreach(action ${order})
  if(NOT table MATCHES "(^|\n)${action}\t[^\t\n]*\t([0-9]+)")
    message(SEND_ERROR "sequence table: no ${action}")
    continue()
  endif()
  if(NOT CMAKE_MATCH_2 GREATER previous)
    message(SEND_ERROR "sequence table: ${action} at ${CMAKE_MATCH_2}, not after ${previous}")
  endif()
  set(previous ${CMAKE_MATCH_2})
endforeach()
execute_process(COMMAND ${MSIINFO} export "${WORK}/map_set_setup.msi" CustomAction OUTPUT_VARIABLE actions)
foreach(row "DorvanRegisterMapSet\t3073" "DorvanUnregisterMapSet\t3073" "DorvanRegisterMapSetRollback\t3393"
            "DorvanUnregisterMapSetRollback\t3393")
  if(NOT actions MATCHES "(^|\n)${row}\t")
    message(SEND_ERROR "CustomAction table: expected ${row} (deferred 3073, rollback 3393)")
  endif()
endforeach()
message(STATUS "InstallExecuteSequence of the example package:\n${table}")

dorvan_remove_host_keys(${WINE} ${view})
file(MAKE_DIRECTORY "${data}")
file(COPY "${WORK}/host/Geodict.dct" DESTINATION "${data}")
file(SHA256 "${data}/Geodict.dct" original)
file(READ "${WORK}/setup/GeoExt.gxt" entry HEX)

# With HANG_CHECK, only the hang's report is tried: the test's own action
# outlasts a short limit after the registration, and the run fails with
# what it left running, the end of its log and its last line of ours.
if(HANG_CHECK)
  set(msiexec_limit 20)
  run_msiexec("install with an action that hangs" msi-hang.log status log /i "C:\\failing.msi" DORVANFAIL=hang)
  dorvan_remove_host_keys(${WINE} ${view})
  file(REMOVE_RECURSE "${WORK}" "${app}" "${data}")
  file(REMOVE "${drive}/map_set_setup.msi" "${drive}/failing.msi")
  return()
endif()

# Install: the entry appended, the old bytes in the first copy, the map file
# in the map data directory, and the library's lines in the log.
run_msiexec("install" msi-install.log status log /i "C:\\map_set_setup.msi")
expect_status("install" "${status}" 0)
file(READ "${data}/Geodict.dct" dictionary HEX)
string(FIND "${dictionary}" "${entry}" at)
if(at EQUAL -1)
  message(SEND_ERROR "install: expected the entry in the dictionary")
endif()
file(SHA256 "${data}/Geodict.000" copy)
if(NOT copy STREQUAL original)
  message(SEND_ERROR "install: expected Geodict.000 to hold the old bytes")
endif()
dorvan_expect_exists("${data}/Pols0000.GST" YES "install")
expect_in_log("install" "${log}" "Dorvan: FindMapDataDir: map data directory")
expect_in_log("install" "${log}" "Dorvan: RegisterMapSet: registered")
file(SHA256 "${data}/Geodict.dct" installed)

# Repair, with the properties /fa stands for (Wine's msiexec /fa answers
# 1605 for a package): still exactly one entry.
run_msiexec("repair" msi-repair.log status log /i "C:\\map_set_setup.msi" REINSTALL=ALL REINSTALLMODE=a)
expect_status("repair" "${status}" 0)
expect_dictionary("repair" "${installed}")

# Uninstall: the dictionary back to its first bytes, a second copy, and the
# map file gone.
run_msiexec("uninstall" msi-uninstall.log status log /x "C:\\map_set_setup.msi")
expect_status("uninstall" "${status}" 0)
expect_dictionary("uninstall" "${original}")
dorvan_expect_exists("${data}/Geodict.001" YES "uninstall")
dorvan_expect_exists("${data}/Pols0000.GST" NO "uninstall")
expect_in_log("uninstall" "${log}" "Dorvan: UnregisterMapSet: unregistered")

# A failure after the registration: rolled back to the dictionary as it was,
# nothing installed.
run_msiexec("failure after registration" msi-fail-install.log status log /i "C:\\failing.msi" DORVANFAIL=install)
expect_status("failure after registration" "${status}" 67)
expect_dictionary("failure after registration" "${original}")
dorvan_expect_exists("${data}/Pols0000.GST" NO "failure after registration")
expect_in_log("failure after registration" "${log}" "Dorvan: RestoreDictionary: dictionary as it was before")

# A failure after the unregistration: rolled back to the installed
# dictionary, the map file still there; then removed for good.
run_msiexec("install (failing package)" msi-install-2.log status log /i "C:\\failing.msi")
expect_status("install (failing package)" "${status}" 0)
file(SHA256 "${data}/Geodict.dct" installed)
run_msiexec("failure after unregistration" msi-fail-remove.log status log /x "C:\\failing.msi" DORVANFAIL=remove)
expect_status("failure after unregistration" "${status}" 67)
expect_dictionary("failure after unregistration" "${installed}")
dorvan_expect_exists("${data}/Pols0000.GST" YES "failure after unregistration")
run_msiexec("uninstall (failing package)" msi-uninstall-2.log status log /x "C:\\failing.msi")
expect_status("uninstall (failing package)" "${status}" 0)
expect_dictionary("uninstall (failing package)" "${original}")

# Major upgrades: 1.0.0, then 1.1.0 (the same entry) or 1.2.0 (a changed
# one) with RemoveExistingProducts early (after InstallValidate or
# InstallInitialize) or late (after InstallExecute or InstallFinalize).
# Afterwards only the newer product is installed, the map file is there,
# and the dictionary holds the host's bytes and the newer entry once; its
# removal leaves the host's first bytes.
file(READ "${data}/Geodict.dct" host HEX)
function(make_version version schedule)
  set(folder "${WORK}/v${version}-${schedule}")
  file(COPY "${WORK}/DorvanSetup.wxi" "${DLL}" "${WORK}/Pols0000.GST" "${WORK}/setup/GeoExt.gxt"
       DESTINATION "${folder}")
  if(version STREQUAL 1.2.0)
    dorvan_write_newer_entry("${folder}/GeoExt.gxt")
  endif()
  string(REPLACE "Version=\"1.0.0\"" "Version=\"${version}\"" text "${example}")
  file(WRITE "${folder}/map_set_setup.wxs" "${text}")
  dorvan_run(0 "wixl (${version})" ${CMAKE_COMMAND} -E chdir "${folder}" ${WIXL} -a ${ARCH} -o setup.msi
             map_set_setup.wxs)
  dorvan_run(0 "msibuild (${version})" ${MSIBUILD} "${folder}/setup.msi" -q
             "UPDATE `CustomAction` SET `Type`=3393 WHERE `Action`='DorvanRegisterMapSetRollback' OR `Action`='DorvanUnregisterMapSetRollback'")
  dorvan_run(0 "msibuild (${version}, ${schedule})" ${MSIBUILD} "${folder}/setup.msi" -q
             "UPDATE `InstallExecuteSequence` SET `Sequence`=${schedule} WHERE `Action`='RemoveExistingProducts'")
  file(COPY_FILE "${folder}/setup.msi" "${drive}/v${version}-${schedule}.msi")
endfunction()
# The products named Mapa Polski that the installer lists, by version.
function(installed_versions out)
  execute_process(COMMAND ${WINE} reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s
                  OUTPUT_VARIABLE listing ERROR_QUIET TIMEOUT 120)
  string(REGEX MATCHALL "DisplayVersion[ \t]+REG_SZ[ \t]+[0-9.]+" versions "${listing}")
  string(REGEX REPLACE "DisplayVersion[ \t]+REG_SZ[ \t]+" "" versions "${versions}")
  set(${out} "${versions}" PARENT_SCOPE)
endfunction()
make_version(1.0.0 1401)
foreach(schedule 1401 1501 6501 6601)
  foreach(version 1.1.0 1.2.0)
    set(what "upgrade to ${version}, RemoveExistingProducts at ${schedule}")
    make_version(${version} ${schedule})
    run_msiexec("install 1.0.0 (${schedule})" msi-old.log status log /i "C:\\v1.0.0-1401.msi")
    expect_status("${what}: 1.0.0" "${status}" 0)
    run_msiexec("${what}" msi-upgrade.log status log /i "C:\\v${version}-${schedule}.msi")
    expect_status("${what}" "${status}" 0)
    installed_versions(versions)
    if(NOT versions STREQUAL "${version}")
      message(SEND_ERROR "${what}: expected only ${version} installed, got ${versions}")
    endif()
    dorvan_expect_exists("${data}/Pols0000.GST" YES "${what}")
    dorvan_expect_registered("${data}/Geodict.dct" "${host}" "${WORK}/v${version}-${schedule}/GeoExt.gxt" "${what}")
    run_msiexec("${what}: uninstall" msi-upgraded-uninstall.log status log /x "C:\\v${version}-${schedule}.msi")
    expect_status("${what}: uninstall" "${status}" 0)
    expect_dictionary("${what}: uninstall" "${original}")
    dorvan_expect_exists("${data}/Pols0000.GST" NO "${what}: uninstall")
    file(GLOB copies "${data}/Geodict.0*")
    file(REMOVE ${copies})
  endforeach()
endforeach()

# The older product's removal as Windows runs it within an upgrade, with
# UPGRADINGPRODUCTCODE set: the registration stays.
run_msiexec("install 1.0.0" msi-old.log status log /i "C:\\v1.0.0-1401.msi")
file(SHA256 "${data}/Geodict.dct" installed)
run_msiexec("removal within an upgrade" msi-upgrading.log status log /x "C:\\v1.0.0-1401.msi"
            "UPGRADINGPRODUCTCODE={0D1A2B3C-4D5E-4F60-8172-93A4B5C6D7E8}")
expect_status("removal within an upgrade" "${status}" 0)
expect_dictionary("removal within an upgrade" "${installed}")
file(COPY_FILE "${WORK}/host/Geodict.dct" "${data}/Geodict.dct")

# Under the English code page 1252, which spells neither Polish nor
# Cyrillic letters: a program folder, and so DORVANENTRYDIR, named with
# each, and a host whose map data directory holds Polish letters. A failure
# after the registration rolls the dictionary back, an install registers,
# and the removal leaves the first bytes; with "MapData" naming a folder
# without the dictionary, message 19 ends the install.
set(ENV{LC_ALL} C.UTF-8)
set(host_data "${data}")
dorvan_remove_host_keys(${WINE} ${view})
foreach(folder "Mapa Łukasz" "Mapa Жук")
  set(what "under code page 1252, ${folder}")
  set(entry_dir "DORVANENTRYDIR=C:\\Program Files\\${folder}")
  dorvan_place_polish_host(${WINE} "${WORK}" data ${view})
  run_msiexec("failure after registration (${what})" msi-1252.log status log /i "C:\\failing.msi" DORVANFAIL=install
              "${entry_dir}")
  expect_status("failure after registration (${what})" "${status}" 67)
  expect_dictionary("failure after registration (${what})" "${original}")
  run_msiexec("install (${what})" msi-1252.log status log /i "C:\\map_set_setup.msi" "${entry_dir}")
  expect_status("install (${what})" "${status}" 0)
  dorvan_expect_registered("${data}/Geodict.dct" "${host}" "${WORK}/setup/GeoExt.gxt" "install (${what})")
  dorvan_expect_exists("${drive}/Program Files/${folder}/GeoExt.gxt" YES "install (${what})")
  run_msiexec("uninstall (${what})" msi-1252.log status log /x "C:\\map_set_setup.msi")
  expect_status("uninstall (${what})" "${status}" 0)
  expect_dictionary("uninstall (${what})" "${original}")
  dorvan_expect_exists("${data}/Pols0000.GST" NO "uninstall (${what})")
endforeach()
file(MAKE_DIRECTORY "${drive}/Mapy Жук")
dorvan_record_map_data(${WINE} "C:\\Mapy Жук" ${view})
run_msiexec("no dictionary (code page 1252)" msi-1252.log status log /i "C:\\map_set_setup.msi")
expect_status("no dictionary (code page 1252)" "${status}" 67)
expect_in_log("no dictionary (code page 1252)" "${log}" "Dorvan: PrepareMapSetActions: failed with message 19")
set(ENV{LC_ALL} pl_PL.UTF-8)
file(REMOVE_RECURSE "${drive}/Mapy Śląska" "${drive}/Mapy Жук")
set(data "${host_data}")

# No host: 1603, nothing installed, no box to wait on, message 17 in the log.
dorvan_remove_host_keys(${WINE} ${view})
file(REMOVE_RECURSE "${data}")
run_msiexec("no host" msi-no-host.log status log /i "C:\\map_set_setup.msi")
expect_status("no host" "${status}" 67)
dorvan_expect_exists("${app}" NO "no host")
expect_in_log("no host" "${log}" "Dorvan: FindMapDataDir: failed with message 17")
expect_in_log("no host" "${log}" "Instalacja zostaje przerwana\\. Najpierw zainstaluj Microsoft Map")

message(STATUS "msiexec runs (${ARCH} package):${timings}")
dorvan_remove_host_keys(${WINE} ${view})
file(REMOVE_RECURSE "${WORK}" "${app}" "${data}")
file(GLOB packages "${drive}/*.msi")
file(REMOVE ${packages})
