; The Windows installer: the programs and their data in one folder, a Start
; menu folder with both programs, an uninstaller in the installed programs,
; and a folder in Documents the programs start in, so that map1.dat and
; screenshot.bmp land where the player may write.
;
; makensis -DVERSION=1.0.0 -DFILES=installer-files.nsh -DOUTFILE=setup.exe installer.nsi
; FILES holds the macros InstallFiles and RemoveFiles, written by scripts/windows.sh;
; RemoveFiles names each file with the CRC-32 of the bytes installed.

Unicode true
; 64-bit: a 32-bit installer would see the 32-bit Program Files and registry.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "LogicLib.nsh"
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelwyrm"
!define GAME_LINK "$SMPROGRAMS\Kelwyrm\Kelwyrm.lnk"
!define EDITOR_LINK "$SMPROGRAMS\Kelwyrm\Kelwyrm map editor.lnk"
; Taken in the user's own context: the all-users one is the Public Documents.
!define PLAYER_FOLDER "$DOCUMENTS\Kelwyrm"

; 1 when installed for every user of the machine.
Var AllUsers
; The installed files the uninstaller keeps, one a line.
Var Kept

Name "Kelwyrm ${VERSION}"
OutFile "${OUTFILE}"
; Elevated when the user may be, else installed for this user alone.
RequestExecutionLevel highest
; Chosen in .onInit unless /D= names it.
InstallDir ""

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Kelwyrm"
VIAddVersionKey /LANG=1033 "FileDescription" "Kelwyrm ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "zlib licence"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
    SetShellVarContext all
    StrCpy $1 "$PROGRAMFILES64\Kelwyrm"
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
    StrCpy $1 "$LOCALAPPDATA\Programs\Kelwyrm"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $1
  ${EndIf}
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcuts start the programs in the folder set last: the installing
  ; user's own, even where the shortcuts are every user's.
  SetShellVarContext current
  CreateDirectory "${PLAYER_FOLDER}"
  SetOutPath "${PLAYER_FOLDER}"
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${EndIf}
  CreateDirectory "$SMPROGRAMS\Kelwyrm"
  CreateShortCut "${GAME_LINK}" "$INSTDIR\kelwyrm.exe"
  CreateShortCut "${EDITOR_LINK}" "$INSTDIR\kelwyrm-editor.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Kelwyrm"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Kelwyrm developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelwyrm.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller serves the install it belongs to: all users' when the
; machine-wide entry names its folder, else this user's. Only an
; administrator can remove an install for all users; anyone else is told so
; before anything is touched.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "Kelwyrm is installed for every user of this computer: only an administrator can remove it. Start its uninstaller as an administrator (right-click, Run as administrator)." /SD IDOK
      ; ERROR_ACCESS_DENIED, for a silent uninstall's caller.
      SetErrorLevel 5
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
    SetShellVarContext all
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
  ${EndIf}
FunctionEnd

; $R0: a file's path in; its CRC-32 out as eight hex digits, "" when it
; cannot be read.
Function un.FileCrc
  ClearErrors
  FileOpen $R1 $R0 r
  ${If} ${Errors}
    StrCpy $R0 ""
    Return
  ${EndIf}
  FileSeek $R1 0 END $R2
  FileSeek $R1 0 SET
  System::Alloc $R2
  Pop $R3
  System::Call 'kernel32::ReadFile(p R1, p R3, i R2, *i .R4, p 0) i .R5'
  ${If} $R5 <> 0
  ${AndIf} $R4 == $R2
    System::Call 'ntdll::RtlComputeCrc32(i 0, p R3, i R2) i .R6'
    IntFmt $R0 "%08x" $R6
  ${Else}
    StrCpy $R0 ""
  ${EndIf}
  System::Free $R3
  FileClose $R1
FunctionEnd

; A file of the install goes only while it holds the bytes installed: one
; the player changed (a map edited in place) is kept, and said.
!macro RemoveIfUnchanged NAME CRC
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    StrCpy $R0 "$INSTDIR\${NAME}"
    Call un.FileCrc
    ${If} $R0 == "${CRC}"
      Delete "$INSTDIR\${NAME}"
    ${Else}
      DetailPrint "Kept $INSTDIR\${NAME}: changed since it was installed"
      StrCpy $Kept "$Kept$\r$\n${NAME}"
    ${EndIf}
  ${EndIf}
!macroend

Section "Uninstall"
  StrCpy $Kept ""
  !insertmacro RemoveFiles
  ${If} $Kept != ""
    MessageBox MB_OK|MB_ICONINFORMATION "These files were changed since they were installed and are kept in $INSTDIR:$Kept" /SD IDOK
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${GAME_LINK}"
  Delete "${EDITOR_LINK}"
  RMDir "$SMPROGRAMS\Kelwyrm"
  ; The player's maps and screenshots stay: the folder goes only when empty.
  SetShellVarContext current
  RMDir "${PLAYER_FOLDER}"
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
