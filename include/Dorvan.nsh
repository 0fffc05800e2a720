; Dorvan.nsh: Dorvan.dll's eight functions for NSIS installers, Unicode or
; ANSI, through the System plug-in.
;
;   !include "Dorvan.nsh"
;   ...
;   StrCpy $DorvanDll "$PLUGINSDIR\Dorvan.dll"   ; where the installer put it
;   ${DorvanSetInstallDir} $0 $1                 ; $0: 1 found, 0 failed; $1: the directory
;
; Each macro takes the variables that receive its answer first, then its
; arguments. The calling details are taken care of here:
; - strings go to the library as 8-bit ANSI strings (the System plug-in's
;   "m" type), whatever the installer's own character width;
; - the installer actions' one-byte answer is masked to its low byte, since
;   the rest of the register is not cleared;
; - SetInstallDir writes into a buffer of at least 260 bytes;
; - ClearGeoDict unloads the library after the call, so that the
;   uninstaller can delete it (a later call loads it again).
; The installer actions show their failures in message boxes owned by the
; installer's window ($HWNDPARENT).
;
; For installers that may run silently (/S), define DORVAN_UNATTENDED
; before including this file: the macros then call DorvanSetup.dll, which
; never shows anything, through its W functions, whose paths are UTF-16
; (the System plug-in's "w" type) and so may name any folder. Its three installer actions hand back the failure's
; message id and Polish text, for the script to log with DetailPrint and to
; show with MessageBox ... /SD IDOK, which a silent installer skips; the
; service macros call the same functions of DorvanSetup.dll.

!ifndef DORVAN_NSH
!define DORVAN_NSH

!ifndef DORVAN_UNATTENDED
; The full path of Dorvan.dll; set it before the first call, in the
; installer and in the uninstaller alike.
Var DorvanDll
!define DORVAN_SERVICE_DLL $DorvanDll
; Dorvan.dll's paths are ANSI strings.
!define DORVAN_W ""
!define DORVAN_PATH m

; ${DorvanSetInstallDir} RESULT DIRECTORY
; RESULT: 1 when the host's map data directory is in DIRECTORY, 0 when the
; host is missing or its registry keys cannot be used (message 17 or 24).
!macro DorvanSetInstallDir Result Directory
  System::Call '$DorvanDll::SetInstallDir(p $HWNDPARENT, m "", m "", m .s, m "") i .s'
  Pop ${Result}
  Pop ${Directory}
  IntOp ${Result} ${Result} & 0xFF
!macroend
!define DorvanSetInstallDir "!insertmacro DorvanSetInstallDir"

; ${DorvanSetGeoDict} RESULT SOURCEDIR MAPDATADIR
; Appends SOURCEDIR\GeoExt.gxt to the dictionary once, after a numbered
; backup. RESULT: 1 registered, 0 failed (message shown).
!macro DorvanSetGeoDict Result SourceDir MapDataDir
  System::Call '$DorvanDll::SetGeoDict(p $HWNDPARENT, m "", m "${SourceDir}", m "${MapDataDir}", m "") i .s ?u'
  Pop ${Result}
  IntOp ${Result} ${Result} & 0xFF
!macroend
!define DorvanSetGeoDict "!insertmacro DorvanSetGeoDict"

; ${DorvanClearGeoDict} RESULT MAPDATADIR
; Cuts the map set's records out, after a numbered backup, and unloads the
; library. RESULT: 1 no record names the map file any more, 0 failed
; (message shown).
!macro DorvanClearGeoDict Result MapDataDir
  System::Call '$DorvanDll::ClearGeoDict(p $HWNDPARENT, m "", m "", m "${MapDataDir}", m "") i .s ?u'
  Pop ${Result}
  IntOp ${Result} ${Result} & 0xFF
!macroend
!define DorvanClearGeoDict "!insertmacro DorvanClearGeoDict"

!else
; The full path of DorvanSetup.dll; set it before the first call, in the
; installer and in the uninstaller alike.
Var DorvanSetupDll
!define DORVAN_SERVICE_DLL $DorvanSetupDll
; DorvanSetup.dll's W functions: paths as UTF-16, so that any folder
; works, $PLUGINSDIR under a user's profile whose name holds letters of any
; alphabet included (a Unicode installer; an ANSI one hands over what its
; code page spells).
!define DORVAN_W W
!define DORVAN_PATH w

; ${DorvanFindMapDataDir} RESULT DIRECTORY MESSAGE
; RESULT: 0 when the host's map data directory is in DIRECTORY; else the id
; of the failure's message (17 or 24), its text in MESSAGE.
!macro DorvanFindMapDataDir Result Directory Message
  System::Call '$DorvanSetupDll::FindMapDataDirW(w .s, w .s, i ${NSIS_MAX_STRLEN}) i .s'
  Pop ${Result}
  Pop ${Directory}
  Pop ${Message}
!macroend
!define DorvanFindMapDataDir "!insertmacro DorvanFindMapDataDir"

; ${DorvanRegisterMapSet} RESULT MESSAGE SOURCEDIR MAPDATADIR
; Puts SOURCEDIR\GeoExt.gxt into the dictionary once, in place of an older
; version's entry, after a numbered backup. RESULT: 0 registered; else the
; message id (19 to 23), its text in MESSAGE.
!macro DorvanRegisterMapSet Result Message SourceDir MapDataDir
  System::Call '$DorvanSetupDll::RegisterMapSetW(w "${SourceDir}", w "${MapDataDir}", w .s, i ${NSIS_MAX_STRLEN}) i .s ?u'
  Pop ${Result}
  Pop ${Message}
!macroend
!define DorvanRegisterMapSet "!insertmacro DorvanRegisterMapSet"

; ${DorvanUnregisterMapSet} RESULT MESSAGE MAPDATADIR
; Cuts the map set's records out, after a numbered backup, and unloads the
; library. RESULT: 0 no record names the map file any more; else the
; message id (19 to 23), its text in MESSAGE.
!macro DorvanUnregisterMapSet Result Message MapDataDir
  System::Call '$DorvanSetupDll::UnregisterMapSetW(w "${MapDataDir}", w .s, i ${NSIS_MAX_STRLEN}) i .s ?u'
  Pop ${Result}
  Pop ${Message}
!macroend
!define DorvanUnregisterMapSet "!insertmacro DorvanUnregisterMapSet"

; ${DorvanTakeDictionarySnapshot} RESULT SNAPSHOT MESSAGE MAPDATADIR
; The dictionary as it is now, told in SNAPSHOT, for the installer to put
; it back with ${DorvanRestoreDictionarySnapshot} if it fails after its
; registration. RESULT: 0, or the message id (19 to 22), its text in
; MESSAGE.
!macro DorvanTakeDictionarySnapshot Result Snapshot Message MapDataDir
  System::Call '$DorvanSetupDll::TakeDictionarySnapshotW(w "${MapDataDir}", m .s, i ${NSIS_MAX_STRLEN}, w .s, i ${NSIS_MAX_STRLEN}) i .s'
  Pop ${Result}
  Pop ${Snapshot}
  Pop ${Message}
!macroend
!define DorvanTakeDictionarySnapshot "!insertmacro DorvanTakeDictionarySnapshot"

; ${DorvanRestoreDictionarySnapshot} RESULT MESSAGE MAPDATADIR SNAPSHOT
; Puts the dictionary back as SNAPSHOT saw it, an older version's entry
; included, and unloads the library. RESULT: 0; else the message id (19 to
; 23), its text in MESSAGE.
!macro DorvanRestoreDictionarySnapshot Result Message MapDataDir Snapshot
  System::Call '$DorvanSetupDll::RestoreDictionarySnapshotW(w "${MapDataDir}", m "${Snapshot}", w .s, i ${NSIS_MAX_STRLEN}) i .s ?u'
  Pop ${Result}
  Pop ${Message}
!macroend
!define DorvanRestoreDictionarySnapshot "!insertmacro DorvanRestoreDictionarySnapshot"
!endif

; ${DorvanVorezuInstalled} RESULT MAPDATADIR
; RESULT: 1 registered, 0 not, -1 dictionary missing or unreadable.
!macro DorvanVorezuInstalled Result MapDataDir
  System::Call '${DORVAN_SERVICE_DLL}::VorezuInstalled${DORVAN_W}(${DORVAN_PATH} "${MapDataDir}") i .s'
  Pop ${Result}
!macroend
!define DorvanVorezuInstalled "!insertmacro DorvanVorezuInstalled"

; ${DorvanGeoDictFind} RESULT MAPDATADIR NAME
; RESULT: 1 NAME occurs in the dictionary, 0 not, -1 missing or unreadable.
!macro DorvanGeoDictFind Result MapDataDir Name
  System::Call '${DORVAN_SERVICE_DLL}::GeoDictFind${DORVAN_W}(${DORVAN_PATH} "${MapDataDir}", m "${Name}") i .s'
  Pop ${Result}
!macroend
!define DorvanGeoDictFind "!insertmacro DorvanGeoDictFind"

; ${DorvanGeoDictGlue} RESULT MAPDATADIR FILE
; RESULT: 0 FILE appended whole, -1 failed (dictionary unchanged).
!macro DorvanGeoDictGlue Result MapDataDir File
  System::Call '${DORVAN_SERVICE_DLL}::GeoDictGlue${DORVAN_W}(${DORVAN_PATH} "${MapDataDir}", ${DORVAN_PATH} "${File}") i .s'
  Pop ${Result}
!macroend
!define DorvanGeoDictGlue "!insertmacro DorvanGeoDictGlue"

; ${DorvanGeoDictRemove} RESULT MAPDATADIR NAME
; RESULT: 1 records naming NAME (any letter case) cut out, 0 none, -1 failed.
!macro DorvanGeoDictRemove Result MapDataDir Name
  System::Call '${DORVAN_SERVICE_DLL}::GeoDictRemove${DORVAN_W}(${DORVAN_PATH} "${MapDataDir}", m "${Name}") i .s'
  Pop ${Result}
!macroend
!define DorvanGeoDictRemove "!insertmacro DorvanGeoDictRemove"

; ${DorvanFindStringInFile} RESULT FILE TEXT
; RESULT: the offset of TEXT in FILE from 0, -1 empty or absent, -2 the file
; cannot be read.
!macro DorvanFindStringInFile Result File Text
  System::Call '${DORVAN_SERVICE_DLL}::FindStringInFile${DORVAN_W}(${DORVAN_PATH} "${File}", m "${Text}") i .s'
  Pop ${Result}
!macroend
!define DorvanFindStringInFile "!insertmacro DorvanFindStringInFile"

!endif
