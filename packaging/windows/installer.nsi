; The Windows installer: the programs and their data in one folder, a Start
; menu folder with both programs, an uninstaller in the installed programs,
; and a folder in Documents the programs start in, so that map1.dat and
; screenshot.bmp land where the player may write.
;
; makensis -DVERSION=1.0.0 -DFILES=installer-files.nsh -DOUTFILE=setup.exe installer.nsi
; FILES holds the macros InstallFiles and RemoveFiles, written by scripts/windows.sh.

Unicode true
; 64-bit: a 32-bit installer would see the 32-bit Program Files and registry.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "LogicLib.nsh"
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelwyrm"
!define GAME_LINK "$SMPROGRAMS\Kelwyrm\Kelwyrm.lnk"
!define EDITOR_LINK "$SMPROGRAMS\Kelwyrm\Kelwyrm map editor.lnk"
!define PLAYER_FOLDER "$DOCUMENTS\Kelwyrm"

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
    SetShellVarContext all
    StrCpy $1 "$PROGRAMFILES64\Kelwyrm"
  ${Else}
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

  CreateDirectory "${PLAYER_FOLDER}"
  ; The shortcuts start the programs in the folder set last.
  SetOutPath "${PLAYER_FOLDER}"
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
; machine-wide entry names its folder, else this user's.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  !insertmacro RemoveFiles
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${GAME_LINK}"
  Delete "${EDITOR_LINK}"
  RMDir "$SMPROGRAMS\Kelwyrm"
  ; The player's maps and screenshots stay: the folder goes only when empty.
  RMDir "${PLAYER_FOLDER}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
