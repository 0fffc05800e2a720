; An Inno Setup script for the map set for Poland, on DorvanSetup.dll: it
; finds the host's map data directory, copies the map file there, registers
; the map set in the host's dictionary, and its uninstaller takes all of it
; back. It is safe to run unattended: the library never shows anything, and
; every failure is written to the setup's log, shown in the setup's own box
; (which /SUPPRESSMSGBOXES suppresses) and ends the setup with a non-zero
; exit code.
;
;   ISCC map_set_setup.iss
;   map_set_setup.exe /VERYSILENT /SUPPRESSMSGBOXES /LOG=setup.log
;
; Run over an installed older version (the same AppId, here AppName's), it
; upgrades it: its entry takes the older one's place. Should it fail after
; its registration, it puts the dictionary back as it found it, the older
; version's entry included.
;
; DorvanSetup.dll, DorvanSetup.iss, GeoExt.gxt and Pols0000.GST lie beside
; this script. The project's tests build it with ISCC and run it.

#include "DorvanSetup.iss"

[Setup]
AppName=Mapa Polski
AppVersion=1.0
DefaultDirName={autopf}\Mapa Polski
PrivilegesRequired=admin
OutputBaseFilename=map_set_setup
OutputDir=.
DisableProgramGroupPage=yes

[Languages]
Name: "polish"; MessagesFile: "compiler:Languages\Polish.isl"

[Files]
Source: "GeoExt.gxt"; Flags: dontcopy
Source: "Pols0000.GST"; DestDir: "{code:MapDataDir}"

[UninstallDelete]
Type: files; Name: "{app}\mapset.ini"

[Code]
var
  MapData: String;
  { The dictionary before this setup's registration. }
  Snapshot: String;
  { Registered by this setup, and not yet answered for by a finished one. }
  RegisteredHere: Boolean;

function MapDataDir(Param: String): String;
begin
  Result := MapData;
end;

{ The directory kept for the uninstaller in UTF-8, so that every letter of
  it stays: the profile functions would write a new file in the ANSI code
  page. }
procedure KeepMapData();
var
  Lines: TArrayOfString;
begin
  SetArrayLength(Lines, 2);
  Lines[0] := '[Dorvan]';
  Lines[1] := 'MapData=' + MapData;
  SaveStringsToUTF8File(ExpandConstant('{app}\mapset.ini'), Lines, False);
end;

function KeptMapData(): String;
var
  Lines: TArrayOfString;
begin
  Result := '';
  if LoadStringsFromFile(ExpandConstant('{app}\mapset.ini'), Lines) and (GetArrayLength(Lines) > 1) then
    Result := Copy(Lines[1], Length('MapData=') + 1, Length(Lines[1]));
end;

{ No host, or its registry keys cannot be used: the setup ends before it
  begins, with exit code 1. }
function InitializeSetup(): Boolean;
var
  Id: Integer;
  Message: String;
begin
  Id := DorvanFindMapDataDir(MapData, Message);
  Result := Id = 0;
  if not Result then
    DorvanReport(Id, Message);
end;

procedure CurStepChanged(CurStep: TSetupStep);
var
  Id: Integer;
  Message: String;
begin
  { Registered just before the files are installed, where a failure can
    still end the setup with nothing installed. }
  if CurStep = ssInstall then
  begin
    ExtractTemporaryFile('GeoExt.gxt');
    Id := DorvanTakeDictionarySnapshot(MapData, Snapshot, Message);
    if Id = 0 then
      Id := DorvanRegisterMapSet(ExpandConstant('{tmp}'), MapData, Message);
    if Id <> 0 then
    begin
      DorvanReport(Id, Message);
      Abort;
    end;
    RegisteredHere := True;
  end;
  if CurStep = ssPostInstall then
  begin
    KeepMapData();
    RegisteredHere := False;
  end;
end;

{ An installation that failed after the registration puts the dictionary
  back as it was: an older version stays registered as it was, and
  otherwise the dictionary names no map set whose file is not there. }
procedure DeinitializeSetup();
var
  Id: Integer;
  Message: String;
begin
  if RegisteredHere then
  begin
    Id := DorvanRestoreDictionarySnapshot(MapData, Snapshot, Message);
    if Id <> 0 then
      Log(Format('Dorvan: message %d: %s', [Id, Message]));
  end;
end;

procedure CurUninstallStepChanged(CurUninstallStep: TUninstallStep);
var
  Id: Integer;
  Message: String;
begin
  if CurUninstallStep = usUninstall then
  begin
    Id := DorvanUnregisterMapSet(KeptMapData(), Message);
    if Id <> 0 then
      DorvanReport(Id, Message);
    { Let go of the library so that the uninstaller can delete it. }
    UnloadDLL(ExpandConstant('{app}\DorvanSetup.dll'));
  end;
end;
