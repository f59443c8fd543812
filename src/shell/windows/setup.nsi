; The Windows installer: velmorandi.scr into the 64-bit system folder, where the screen saver
; settings list it, with its data folder beside it, where it looks for it. It can make the
; saver the screen saver of the user who installs, and registers its uninstaller in Programs
; and Features. "/S" runs it without a window. The uninstaller removes exactly the files this
; installer put there and leaves the users' own files (%APPDATA%\Velmorandi) alone.
;
; makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DPUBLISHER=... -DBIN=<folder of the .scr>
;   -DICON=<.ico> -DFILES=<install list> -DREMOVALS=<removal list> -DSIZE_KB=n -DOUTFILE=<.exe>
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmorandi"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "ヴェルモランディ"
OutFile "${OUTFILE}"
; Only the uninstaller lives here; the saver must be in the system folder to be listed.
InstallDir "$PROGRAMFILES64\Velmorandi"
BrandingText "ヴェルモランディ ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "ヴェルモランディ"
VIAddVersionKey /LANG=1041 "FileDescription" "ヴェルモランディのセットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "ヴェルモランディ（必須）" SectionSaver
  SectionIn RO
  SetOutPath "$SYSDIR"
  File "${BIN}/velmorandi.scr"
  SetOutPath "$SYSDIR\VelmorandiScrData"
  !include "${FILES}"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ヴェルモランディ"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\velmorandi.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "スクリーンセーバーに設定する" SectionChoose
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\velmorandi.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

Section "Uninstall"
  !include "${REMOVALS}"
  ; Only when empty: a Settei.ini an older copy kept here is the user's.
  RMDir "$SYSDIR\VelmorandiScrData"
  Delete "$SYSDIR\velmorandi.scr"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\velmorandi.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
