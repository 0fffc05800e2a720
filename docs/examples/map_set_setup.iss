; An Inno Setup script for the map set for Poland: it finds the host's map
; data directory, copies the map file there, registers the map set in the
; host's dictionary, and its uninstaller takes all of it back.
;
; Not compiled by the project's tests: Inno Setup does not run on the
; machines that build the library. Its calling details are the same as
; Dorvan.nsh's, which the tests do run: 8-bit strings (AnsiString), a
; one-byte Boolean for the installer actions, a 260-byte buffer for
; SetInstallDir, and the library unloaded before the uninstaller deletes it.

[Setup]
AppName=Mapa Polski
AppVersion=1.0
DefaultDirName={autopf}\Mapa Polski
PrivilegesRequired=admin
OutputBaseFilename=map_set_setup

[Files]
Source: "Dorvan.dll"; Flags: dontcopy
Source: "GeoExt.gxt"; Flags: dontcopy
Source: "Dorvan.dll"; DestDir: "{app}"
Source: "Pols0000.GST"; DestDir: "{code:MapDataDir}"

[Code]
function SetInstallDir(Owner: HWND; Unused1, SourceDir, TargetDir, Unused2: AnsiString): Boolean;
  external 'SetInstallDir@files:Dorvan.dll stdcall setuponly';
function SetGeoDict(Owner: HWND; Unused1, SourceDir, TargetDir, Unused2: AnsiString): Boolean;
  external 'SetGeoDict@files:Dorvan.dll stdcall setuponly';
function VorezuInstalled(MapDataDir: AnsiString): Integer;
  external 'VorezuInstalled@files:Dorvan.dll stdcall setuponly';
function ClearGeoDict(Owner: HWND; Unused1, SourceDir, TargetDir, Unused2: AnsiString): Boolean;
  external 'ClearGeoDict@{app}\Dorvan.dll stdcall uninstallonly';

var
  MapData: AnsiString;

function MapDataDir(Param: String): String;
begin
  Result := MapData;
end;

function InitializeSetup(): Boolean;
var
  Buffer: AnsiString;
begin
  { A buffer of 260 bytes that the library fills with the directory. }
  Buffer := StringOfChar(#0, 260);
  Result := SetInstallDir(0, '', '', Buffer, '');
  if Result then
    MapData := Copy(Buffer, 1, Pos(#0, Buffer) - 1);
  { On failure the library has shown its message; the setup ends. }
end;

procedure CurStepChanged(CurStep: TSetupStep);
begin
  if CurStep = ssPostInstall then
  begin
    ExtractTemporaryFile('GeoExt.gxt');
    if not SetGeoDict(WizardForm.Handle, '', ExpandConstant('{tmp}'), MapData, '') then
      Abort;
    SetIniString('Dorvan', 'MapData', MapData, ExpandConstant('{app}\mapset.ini'));
  end;
end;

procedure CurUninstallStepChanged(CurUninstallStep: TUninstallStep);
begin
  if CurUninstallStep = usUninstall then
  begin
    ClearGeoDict(0, '', '',
      GetIniString('Dorvan', 'MapData', '', ExpandConstant('{app}\mapset.ini')), '');
    { Let go of the library so that the uninstaller can delete it. }
    UnloadDLL(ExpandConstant('{app}\Dorvan.dll'));
  end;
end;
