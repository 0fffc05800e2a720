; An NSIS installer for the map set for Poland on DorvanSetup.dll, safe to
; run silently (/S): the library never shows anything, every failure is
; written to the installer's details with DetailPrint and to
; "%TEMP%\map_set_setup.log", shown with MessageBox ... /SD IDOK, which a
; silent installer skips, and the installer ends with exit code 2.
;
;   makensis map_set_setup_unattended.nsi
;   map_set_setup_unattended.exe /S
;
; Run over an installed older version, it upgrades it: its entry takes the
; older one's place. Should it fail after its registration, it puts the
; dictionary back as it found it, the older version's entry included.
;
; The script is UTF-8 with a byte order mark, as makensis reads Polish
; letters on every system. DorvanSetup.dll, Dorvan.nsh, GeoExt.gxt and
; Pols0000.GST lie beside this script. The project's tests build and run it silently.

Unicode true
!addincludedir "."
!define DORVAN_UNATTENDED
!include "Dorvan.nsh"

!ifndef DORVAN_FILES
!define DORVAN_FILES "."
!endif

Name "Mapa Polski"
OutFile "map_set_setup_unattended.exe"
InstallDir "$PROGRAMFILES\Mapa Polski"
RequestExecutionLevel admin

Var MapData
Var Message
Var Snapshot
Var Upgrading

; A failure told the unattended way, then the installer ends with exit
; code 2. A silent installer keeps no details, so the line also goes to a
; log file, where a deployment tool can collect it: UTF-16 with its byte
; order mark, so that a path in the message keeps every letter.
!macro ReportAndQuit Id
  DetailPrint "Dorvan: message ${Id}: $Message"
  FileOpen $1 "$TEMP\map_set_setup.log" a
  FileSeek $1 0 END $2
  StrCmp $2 0 0 +2
    FileWriteWord $1 0xFEFF
  FileWriteUTF16LE $1 "Dorvan: message ${Id}: $Message$\r$\n"
  FileClose $1
  MessageBox MB_OK|MB_ICONSTOP "$Message" /SD IDOK
  SetErrorLevel 2
  Quit
!macroend

Function .onInit
  InitPluginsDir
  File "/oname=$PLUGINSDIR\DorvanSetup.dll" "${DORVAN_FILES}\DorvanSetup.dll"
  StrCpy $DorvanSetupDll "$PLUGINSDIR\DorvanSetup.dll"
  ${DorvanFindMapDataDir} $0 $MapData $Message
  StrCmp $0 0 found
    !insertmacro ReportAndQuit $0
  found:
FunctionEnd

; Takes back what this installer did: the dictionary as it was before, and
; the map file unless an older version had it installed.
!macro UndoInstallation
  ${DorvanRestoreDictionarySnapshot} $1 $2 $MapData $Snapshot
  StrCmp $1 0 +2
    DetailPrint "Dorvan: message $1: $2"
  StrCmp $Upgrading 1 +2
    Delete "$MapData\Pols0000.GST"
!macroend

Section "Map set for Poland"
  ${DorvanVorezuInstalled} $Upgrading $MapData
  ${DorvanTakeDictionarySnapshot} $0 $Snapshot $Message $MapData
  StrCmp $0 0 taken
    !insertmacro ReportAndQuit $0
  taken:
  SetOutPath $MapData
  File "${DORVAN_FILES}\Pols0000.GST"
  SetOutPath $PLUGINSDIR
  File "${DORVAN_FILES}\GeoExt.gxt"
  ${DorvanRegisterMapSet} $0 $Message $PLUGINSDIR $MapData
  StrCmp $0 0 registered
    !insertmacro UndoInstallation
    !insertmacro ReportAndQuit $0
  registered:
  ; The uninstaller needs the library and the directory.
  ClearErrors
  SetOutPath $INSTDIR
  File "${DORVAN_FILES}\DorvanSetup.dll"
  ; A UTF-16 file keeps every letter of the directory; a new one would be
  ; written in the ANSI code page.
  FileOpen $1 "$INSTDIR\mapset.ini" w
  FileWriteWord $1 0xFEFF
  FileClose $1
  WriteINIStr "$INSTDIR\mapset.ini" Dorvan MapData $MapData
  WriteUninstaller "$INSTDIR\uninstall.exe"
  IfErrors 0 done
    !insertmacro UndoInstallation
    StrCpy $Message "Nie można zapisać plików instalacji w $INSTDIR."
    !insertmacro ReportAndQuit 0
  done:
SectionEnd

Function un.onInit
  StrCpy $DorvanSetupDll "$INSTDIR\DorvanSetup.dll"
FunctionEnd

Section "Uninstall"
  ReadINIStr $MapData "$INSTDIR\mapset.ini" Dorvan MapData
  ; The library is unloaded after this call, so that it can be deleted.
  ${DorvanUnregisterMapSet} $0 $Message $MapData
  StrCmp $0 0 unregistered
    DetailPrint "Dorvan: message $0: $Message"
    MessageBox MB_OK|MB_ICONSTOP "$Message" /SD IDOK
  unregistered:
  Delete "$MapData\Pols0000.GST"
  Delete "$INSTDIR\DorvanSetup.dll"
  Delete "$INSTDIR\mapset.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
