# The dorvan tool as a person uses it: help texts, exit statuses (0 success,
# 3 a negative answer, 1 failure, 2 bad usage), results on standard output
# and problems on standard error, over a whole installation and
# uninstallation of a synthetic host dictionary.
#
# cmake -DTOOL=... -DWORK=... -DWINDOWS=ON|OFF [-DWINE=...] -P check_tool.cmake

cmake_policy(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../support/sample_host.cmake)

# Runs the tool with the given arguments and checks its exit status; its
# standard output and error are left in `out` and `err`.
function(tool expected)
  if(WINDOWS)
    set(command ${WINE} ${TOOL} --print-messages ${ARGN})
  else()
    set(command ${TOOL} --registry ${WORK}/registry ${ARGN})
  endif()
  execute_process(COMMAND ${command} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status
                  OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr TIMEOUT 120)
  string(REPLACE "\r" "" stdout "${stdout}")
  string(REPLACE "\r" "" stderr "${stderr}")
  list(JOIN ARGN " " shown)
  set(last "dorvan ${shown}" PARENT_SCOPE)
  if(NOT status STREQUAL expected)
    message(SEND_ERROR "dorvan ${shown}: expected status ${expected}, got ${status}\n"
                       "stdout: ${stdout}\nstderr: ${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
  set(err "${stderr}" PARENT_SCOPE)
endfunction()

function(expect_in stream text)
  string(FIND "${${stream}}" "${text}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "${last}: expected \"${text}\" on std${stream}, got: ${${stream}}")
  endif()
endfunction()

function(expect_same_file path checksum)
  file(SHA256 "${path}" now)
  if(NOT now STREQUAL checksum)
    message(SEND_ERROR "${last}: expected ${path} back to its first bytes; it differs")
  endif()
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/registry")
dorvan_write_sample_host("${WORK}")
file(SHA256 "${WORK}/host/Geodict.dct" original)

# Help and bad usage.
tool(0 --help)
expect_in(out "usage: dorvan")
set(help "${out}")
foreach(command install-dir install uninstall installed find glue remove search records check restore)
  expect_in(help "  ${command} ")
  tool(0 ${command} --help)
  expect_in(out "usage: dorvan ${command}")
endforeach()
tool(2)
expect_in(err "usage: dorvan")
tool(2 frobnicate)
expect_in(err "unknown command frobnicate")
tool(2 install host)
expect_in(err "usage: dorvan install SOURCE DIR")
tool(2 records host one two)
tool(2 --frobnicate installed host)
expect_in(err "unknown option --frobnicate")

# Installation: not registered, installed with a backup, registered.
tool(3 installed host)
expect_in(out "not registered")
tool(0 install setup host)
expect_in(out "installed")
dorvan_expect_exists("${WORK}/host/Geodict.000" YES "${last}")
tool(0 installed host)
expect_in(out "registered")

# What uninstall would cut: the two records of the entry, behind the
# dictionary's own two (26 and 28 bytes, with 28 opaque bytes between).
tool(0 records host)
expect_in(out "offset 0  span 26  -")
expect_in(out "offset 54  span 28  -")
expect_in(out "offset 82  span 27  names Pols0000.GST")
expect_in(out "offset 109  span 28  names Pols0000.GST")
expect_in(out "4 records, 2 naming Pols0000.GST, 137 bytes")
tool(0 records host Niemcy00.GST)
expect_in(out "4 records, 1 naming Niemcy00.GST")
tool(1 records nowhere)
expect_in(err "cannot read")

# Queries: exact names, offsets in the file.
tool(0 find host Wlochy00.GST)
expect_in(out "found")
tool(3 find host wlochy00.gst)
expect_in(out "not found")
tool(0 search host/Geodict.dct Niemcy)
expect_in(out "62")
tool(3 search host/Geodict.dct Francja)
expect_in(out "not found")
tool(1 search nowhere/Geodict.dct Niemcy)
expect_in(err "cannot read")

# Uninstallation: the dictionary back to its first bytes, one more backup.
tool(0 uninstall host)
expect_in(out "uninstalled")
expect_same_file("${WORK}/host/Geodict.dct" ${original})
dorvan_expect_exists("${WORK}/host/Geodict.001" YES "${last}")
tool(3 installed host)

# The service edits: any letter case, no backups.
tool(3 remove host POLS0000.GST)
expect_in(out "nothing to remove")
tool(0 glue host setup/GeoExt.gxt)
expect_in(out "appended")
tool(0 remove host pols0000.gst)
expect_in(out "removed")
expect_same_file("${WORK}/host/Geodict.dct" ${original})
dorvan_expect_exists("${WORK}/host/Geodict.002" NO "${last}")
tool(1 glue host setup/missing.gxt)
expect_in(err "nothing appended")

# Support staff: a sound dictionary and its copies; a copy put back, with
# one more copy of what it replaced; bad input refused, nothing changed.
tool(0 check host)
expect_in(out "every record whole")
expect_in(out "journal: none")
expect_in(out "Geodict.001")
tool(0 restore host 000)
expect_in(out "restored")
expect_same_file("${WORK}/host/Geodict.dct" ${original})
dorvan_expect_exists("${WORK}/host/Geodict.002" YES "${last}")
file(WRITE "${WORK}/host/Geodict.003" "LBTG\"xyz cut short")
file(MAKE_DIRECTORY "${WORK}/host/Geodict.004")
foreach(bad 003 004 007 x1)
  tool(2 restore host ${bad})
endforeach()
tool(1 check host)
expect_in(out "cut short")
expect_same_file("${WORK}/host/Geodict.dct" ${original})
file(REMOVE_RECURSE "${WORK}/host/Geodict.003" "${WORK}/host/Geodict.004")
# Text lines naming the map file are no dictionary the library understands.
file(WRITE "${WORK}/lines/Geodict.dct" "Pols0000.GST\r\nCzechy.GST\r\n")
tool(1 check lines)
expect_in(out "no records")
expect_in(out "named outside any record")

# Failures: quiet ones on standard error, the installer's message text too.
tool(1 installed nowhere)
expect_in(err "missing or cannot be read")
tool(1 uninstall nowhere)
expect_in(err "Plik zestawu map: ")
expect_in(err "nie istnieje.")
if(NOT WINDOWS)
  # An empty registry: no host, message 17, even where the variable names a
  # registry that records one: --registry on the command line wins.
  set(recorded "${WORK}/recorded/HKEY_LOCAL_MACHINE/Software/Microsoft/DataMap/Directories")
  file(WRITE "${recorded}/values.reg" "\"MapData\"=sz:\"${WORK}/host\"\n")
  set(ENV{DORVAN_REGISTRY_ROOT} "${WORK}/recorded")
  tool(1 install-dir)
  expect_in(err "Instalacja zostaje przerwana.")
  unset(ENV{DORVAN_REGISTRY_ROOT})
endif()

file(REMOVE_RECURSE "${WORK}")
