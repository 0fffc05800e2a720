# Checks a shipped DLL's tables: its format (PE32 for the 32-bit build,
# PE32+ for x64), no TLS directory, the export directory's name, the eight
# exports by undecorated name at their ordinals, and imports from system
# DLLs only; DorvanSetup.dll imports nothing that shows a window.
# Run as: cmake -DOBJDUMP=... -DDLL=... -DFORMAT=PE32|PE32+ -P check_dll.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE tables RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${DLL}")
endif()

set(problems "")

string(REGEX MATCH "\nMagic[ \t]+[0-9a-fA-F]+[ \t]+\\(([A-Z0-9+]+)\\)" magic "${tables}")
if(NOT CMAKE_MATCH_1 STREQUAL FORMAT)
  string(APPEND problems "expected format ${FORMAT}, got ${CMAKE_MATCH_1}\n")
endif()

# The library needs no thread-local storage; the run-time start-up code
# that would bring a TLS directory is not linked.
if(NOT tables MATCHES "Entry 9 0+ 0+ Thread Storage Directory")
  string(APPEND problems "has a TLS directory\n")
endif()

get_filename_component(library ${DLL} NAME_WE)
if(NOT tables MATCHES "\nName[ \t]+[0-9a-fA-F]+ ${library}\\.dll\n")
  string(APPEND problems "export directory is not named ${library}.dll\n")
endif()
if(NOT tables MATCHES "Ordinal Base[ \t]+1\n")
  string(APPEND problems "ordinal base is not 1\n")
endif()

if(library STREQUAL "DorvanSetup")
  set(expected FindMapDataDir RegisterMapSet UnregisterMapSet)
  if(tables MATCHES "MessageBox|CreateWindow|DialogBox")
    string(APPEND problems "imports a function that shows a window\n")
  endif()
else()
  set(expected SetInstallDir SetGeoDict ClearGeoDict)
endif()
list(APPEND expected VorezuInstalled GeoDictFind GeoDictGlue GeoDictRemove FindStringInFile)
set(system_dlls "KERNEL32|USER32|ADVAPI32|NTDLL|MSVCRT")
if(library STREQUAL "DorvanSetup")
  # Windows Installer's custom actions, with the session they run in.
  list(APPEND expected FindMapDataDirAction PrepareMapSetActions RegisterMapSetAction UnregisterMapSetAction
       RestoreDictionaryAction TakeDictionarySnapshot RestoreDictionarySnapshot FindMapDataDirW RegisterMapSetW
       UnregisterMapSetW TakeDictionarySnapshotW RestoreDictionarySnapshotW VorezuInstalledW GeoDictFindW
       GeoDictGlueW GeoDictRemoveW FindStringInFileW)
  set(system_dlls "${system_dlls}|MSI")
endif()
list(LENGTH expected expected_count)
set(ordinal 0)
foreach(name IN LISTS expected)
  # The name table lists each export with its ordinal less the base.
  if(NOT tables MATCHES "\\[ +${ordinal}\\] ${name}\n")
    math(EXPR shown "${ordinal} + 1")
    string(APPEND problems "${name} is not exported at ordinal ${shown}\n")
  endif()
  math(EXPR ordinal "${ordinal} + 1")
endforeach()
string(REGEX MATCHALL "\\[ +[0-9]+\\] [A-Za-z_@0-9]+\n" names "${tables}")
list(LENGTH names count)
if(NOT count EQUAL expected_count)
  string(APPEND problems "${count} exports instead of ${expected_count}\n")
endif()
if(tables MATCHES "\\] [A-Za-z_]+@[0-9]+\n")
  string(APPEND problems "an export carries a decorated name\n")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${tables}")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(TOUPPER "${dll}" dll)
  if(NOT dll MATCHES "^(${system_dlls})\\.DLL$")
    string(APPEND problems "imports ${dll}, which is not a system DLL\n")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "${DLL}:\n${problems}")
endif()
message(STATUS "${DLL}: ${FORMAT}, no TLS, name, ${expected_count} exports at their ordinals, system imports only")
