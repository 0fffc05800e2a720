; An NSIS installer for the map set for Poland, with Dorvan.nsh: it finds the
; host's map data directory, copies the map file there, registers the map
; set in the host's dictionary, and its uninstaller takes all of it back.
;
;   makensis map_set_setup.nsi         (a Unicode installer)
;   makensis /DANSI map_set_setup.nsi   (an ANSI one)
;
; Dorvan.dll, Dorvan.nsh, GeoExt.gxt and Pols0000.GST lie beside this
; script (makensis -X"!addincludedir DIR" and /D defines can point
; elsewhere). The project's tests build and run it silently (/S).

!ifdef ANSI
Unicode false
!else
Unicode true
!endif
!addincludedir "."
!include "Dorvan.nsh"

!ifndef DORVAN_FILES
!define DORVAN_FILES "."
!endif

Name "Mapa Polski"
OutFile "map_set_setup.exe"
InstallDir "$PROGRAMFILES\Mapa Polski"
RequestExecutionLevel admin

Var MapData

Function .onInit
  InitPluginsDir
  File "/oname=$PLUGINSDIR\Dorvan.dll" "${DORVAN_FILES}\Dorvan.dll"
  StrCpy $DorvanDll "$PLUGINSDIR\Dorvan.dll"
  ${DorvanSetInstallDir} $0 $MapData
  StrCmp $0 1 +2
    Abort  ; the library has shown why
FunctionEnd

Section "Map set for Poland"
  SetOutPath $MapData
  File "${DORVAN_FILES}\Pols0000.GST"
  SetOutPath $PLUGINSDIR
  File "${DORVAN_FILES}\GeoExt.gxt"
  ${DorvanSetGeoDict} $0 $PLUGINSDIR $MapData
  StrCmp $0 1 +3
    Delete "$MapData\Pols0000.GST"
    Abort
  ${DorvanVorezuInstalled} $0 $MapData
  DetailPrint "VorezuInstalled: $0"
  ; The uninstaller needs the library and the directory.
  SetOutPath $INSTDIR
  File "${DORVAN_FILES}\Dorvan.dll"
  WriteINIStr "$INSTDIR\mapset.ini" Dorvan MapData $MapData
  WriteUninstaller "$INSTDIR\uninstall.exe"
SectionEnd

Function un.onInit
  StrCpy $DorvanDll "$INSTDIR\Dorvan.dll"
FunctionEnd

Section "Uninstall"
  ReadINIStr $MapData "$INSTDIR\mapset.ini" Dorvan MapData
  ; The library is unloaded after this call, so that it can be deleted.
  ${DorvanClearGeoDict} $0 $MapData
  Delete "$MapData\Pols0000.GST"
  Delete "$INSTDIR\Dorvan.dll"
  Delete "$INSTDIR\mapset.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
