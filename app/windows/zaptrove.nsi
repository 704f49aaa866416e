; SPDX-License-Identifier: MIT
; The Windows setup, built by scripts/build-windows-installer.sh with makensis.
; It installs both programs for the current user, without administrator rights,
; into %LOCALAPPDATA%\Programs\Zaptrove, with a Start-menu entry and an entry in
; "Apps & features" whose uninstaller keeps the settings unless asked not to.
; /S installs or uninstalls without a window.
; Defines: VERSION (4.3), VERSION_QUAD (4.3.0.0), PROGRAMS (the folder of the
; files to install), ICON (zaptrove.ico), OUTFILE (the setup to write).

; A 64-bit setup for the 64-bit programs: it sees the system as they do.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zaptrove"
!define SETTINGS_KEY "Software\Zaptrove"

Name "Zaptrove"
BrandingText "Zaptrove ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Zaptrove"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "Zaptrove"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Zaptrove setup"
VIAddVersionKey "LegalCopyright" "Free software under the MIT licence"

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zaptrove.exe"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Zaptrove"
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}/zaptrove.exe"
  File "${PROGRAMS}/zaptrove-find.exe"
  File "${PROGRAMS}/LICENSE.txt"
  File "${PROGRAMS}/THIRD-PARTY-LICENCES.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Zaptrove.lnk" "$INSTDIR\zaptrove.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zaptrove"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Zaptrove developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zaptrove.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "-un.Zaptrove"
  Delete "$SMPROGRAMS\Zaptrove.lnk"
  Delete "$INSTDIR\zaptrove.exe"
  Delete "$INSTDIR\zaptrove-find.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-LICENCES.txt"
  ; The diagnostic log is written beside the program when that folder is writable.
  Delete "$INSTDIR\ztvdebug.log"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Off unless ticked, and so off in a silent uninstall.
Section /o "un.Also remove my settings"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  ; The diagnostic log's place when the program's folder is not writable.
  RMDir /r "$LOCALAPPDATA\Zaptrove"
SectionEnd
