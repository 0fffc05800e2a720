; DorvanSetup.iss: the functions of DorvanSetup.dll for an Inno Setup
; script that may run unattended. Include it at the top of the script:
;
;   #include "DorvanSetup.iss"
;
; It adds DorvanSetup.dll to the setup (for the installer, and to {app} for
; the uninstaller) and declares the functions with their calling details:
; the library's W functions, whose paths are UTF-16 as Inno Setup's own
; String is, so that any folder works, {tmp} under a user's profile
; whose name holds letters of any alphabet included; the message as a
; UTF-16 String buffer; the standard calling convention. Each Dorvan... function answers
; 0 on success, or the id of the failure's message (17 to 24) with its
; Polish text in Message. Nothing is ever shown by the library itself:
; DorvanReport writes the text to the setup's log and shows it in the
; setup's own box, which /SUPPRESSMSGBOXES suppresses.

[Files]
Source: "DorvanSetup.dll"; Flags: dontcopy
Source: "DorvanSetup.dll"; DestDir: "{app}"

[Code]
const
  DorvanMessageChars = 1024;

function DorvanFindMapDataDirCall(MapDataDir: String; Message: String; MessageChars: Integer): Integer;
  external 'FindMapDataDirW@files:DorvanSetup.dll stdcall setuponly';
function DorvanRegisterMapSetCall(SourceDir, MapDataDir: String; Message: String; MessageChars: Integer): Integer;
  external 'RegisterMapSetW@files:DorvanSetup.dll stdcall setuponly';
function DorvanUnregisterMapSetCall(MapDataDir: String; Message: String; MessageChars: Integer): Integer;
  external 'UnregisterMapSetW@{app}\DorvanSetup.dll stdcall uninstallonly';
function DorvanUndoRegistrationCall(MapDataDir: String; Message: String; MessageChars: Integer): Integer;
  external 'UnregisterMapSetW@files:DorvanSetup.dll stdcall setuponly';
function DorvanVorezuInstalled(MapDataDir: String): Integer;
  external 'VorezuInstalledW@files:DorvanSetup.dll stdcall setuponly';
function DorvanTakeDictionarySnapshotCall(MapDataDir: String; Snapshot: AnsiString; SnapshotChars: Integer;
  Message: String; MessageChars: Integer): Integer;
  external 'TakeDictionarySnapshotW@files:DorvanSetup.dll stdcall setuponly';
function DorvanRestoreDictionarySnapshotCall(MapDataDir: String; Snapshot: AnsiString; Message: String;
  MessageChars: Integer): Integer;
  external 'RestoreDictionarySnapshotW@files:DorvanSetup.dll stdcall setuponly';

{ The text a function wrote, up to its terminator. }
function DorvanTextOf(Buffer: String): String;
begin
  Result := Copy(Buffer, 1, Pos(#0, Buffer) - 1);
end;

{ The host's map data directory into MapDataDir. }
function DorvanFindMapDataDir(var MapDataDir: String; var Message: String): Integer;
var
  Directory, Text: String;
begin
  Directory := StringOfChar(#0, 260);
  Text := StringOfChar(#0, DorvanMessageChars);
  Result := DorvanFindMapDataDirCall(Directory, Text, DorvanMessageChars);
  MapDataDir := Copy(Directory, 1, Pos(#0, Directory) - 1);
  Message := DorvanTextOf(Text);
end;

{ SourceDir\GeoExt.gxt in the dictionary once, in place of an older
  version's entry, after a backup. }
function DorvanRegisterMapSet(SourceDir, MapDataDir: String; var Message: String): Integer;
var
  Text: String;
begin
  Text := StringOfChar(#0, DorvanMessageChars);
  Result := DorvanRegisterMapSetCall(SourceDir, MapDataDir, Text, DorvanMessageChars);
  Message := DorvanTextOf(Text);
end;

{ Every record naming the map file cut out, after a backup. Uninstaller only. }
function DorvanUnregisterMapSet(MapDataDir: String; var Message: String): Integer;
var
  Text: String;
begin
  Text := StringOfChar(#0, DorvanMessageChars);
  Result := DorvanUnregisterMapSetCall(MapDataDir, Text, DorvanMessageChars);
  Message := DorvanTextOf(Text);
end;

{ The same, in the setup: takes back a registration of this setup's own
  when the installation fails after it. Over an older version, use the
  snapshot below instead, which puts the older entry back too. }
function DorvanUndoRegistration(MapDataDir: String; var Message: String): Integer;
var
  Text: String;
begin
  Text := StringOfChar(#0, DorvanMessageChars);
  Result := DorvanUndoRegistrationCall(MapDataDir, Text, DorvanMessageChars);
  Message := DorvanTextOf(Text);
end;

{ The dictionary as it is now, in Snapshot, for DorvanRestoreDictionarySnapshot
  to put back should the installation fail after its registration. }
function DorvanTakeDictionarySnapshot(MapDataDir: String; var Snapshot: String; var Message: String): Integer;
var
  Text: String;
  Taken: AnsiString;
begin
  Text := StringOfChar(#0, DorvanMessageChars);
  Taken := StringOfChar(#0, 64);
  Result := DorvanTakeDictionarySnapshotCall(MapDataDir, Taken, 64, Text, DorvanMessageChars);
  Snapshot := Copy(Taken, 1, Pos(#0, Taken) - 1);
  Message := DorvanTextOf(Text);
end;

{ The dictionary back as Snapshot saw it, an older version's entry
  included. }
function DorvanRestoreDictionarySnapshot(MapDataDir, Snapshot: String; var Message: String): Integer;
var
  Text: String;
begin
  Text := StringOfChar(#0, DorvanMessageChars);
  Result := DorvanRestoreDictionarySnapshotCall(MapDataDir, Snapshot, Text, DorvanMessageChars);
  Message := DorvanTextOf(Text);
end;

{ A failure told the unattended way: in the log, and in the setup's own
  box, which a silent setup run with /SUPPRESSMSGBOXES does not show. }
procedure DorvanReport(Id: Integer; Message: String);
begin
  Log(Format('Dorvan: message %d: %s', [Id, Message]));
  SuppressibleMsgBox(Message, mbCriticalError, MB_OK, IDOK);
end;
