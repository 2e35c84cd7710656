; SPDX-License-Identifier: GPL-3.0-or-later
; The per-user installer: no administrator rights, a Start-menu entry that
; starts the window in the user's Documents folder, where its results go,
; its folder on the user's PATH for tarvel-batch, and an uninstaller that
; removes what was installed.
; makensis -DVERSION=x.y.z -DBUILD=<folder of the .exe files>
;          -DREADME=<read-me file> -DICON=<.ico> -DOUTFILE=<installer>

; 64-bit, like the programs: it runs wherever they do, Wine without its
; 32-bit part included.
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "WordFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvel"

Name "Tarvel ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tarvel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Tarvel"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Tarvel ${VERSION} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "Tarvel maintainers"

; Adds ("+") or removes ("-") FOLDER in the user's own PATH, which Windows
; puts behind the system's, and tells running programs, so that a console
; opened next finds tarvel-batch. Other entries stay as they are; a PATH left
; empty is removed.
!macro ChangeUserPath OPERATION FOLDER
  ReadRegStr $0 HKCU "Environment" "Path"
  ${WordAdd} "$0" ";" "${OPERATION}${FOLDER}" $1
  ${If} $1 == ""
    DeleteRegValue HKCU "Environment" "Path"
  ${Else}
    WriteRegExpandStr HKCU "Environment" "Path" "$1"
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Section
  SetOutPath "$INSTDIR"
  File "${BUILD}/tarvel.exe"
  File "${BUILD}/tarvel-batch.exe"
  File "/oname=README.md" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; A shortcut starts in the folder that is the output path when it is made.
  SetOutPath "$DOCUMENTS"
  CreateShortcut "$SMPROGRAMS\Tarvel.lnk" "$INSTDIR\tarvel.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarvel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvel.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tarvel maintainers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  !insertmacro ChangeUserPath "+" "$INSTDIR"
SectionEnd

; Only what the installer put there: results the user keeps in the folder stay.
Section "Uninstall"
  Delete "$SMPROGRAMS\Tarvel.lnk"
  Delete "$INSTDIR\tarvel.exe"
  Delete "$INSTDIR\tarvel-batch.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The entry as the installer wrote it: the uninstaller may have been
  ; started through another spelling of its folder.
  ReadRegStr $2 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  !insertmacro ChangeUserPath "-" "$2"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
