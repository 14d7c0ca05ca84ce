; The Windows installer of Verarov, made by scripts/windows.sh:
;   makensis -DVERSION=2.0 -DDEPLOY=<folder of the files> -DOUTFILE=<setup.exe>
;            -DICON=<verarov.ico> verarov.nsi
; A per-user installation (no administrator rights): the program goes to
; %LOCALAPPDATA%\Programs\Verarov, its shortcut to the user's Start menu, its
; uninstall entry under HKEY_CURRENT_USER.  "setup.exe /S" installs silently,
; "uninstall.exe /S" removes everything it installed, the settings kept under
; HKEY_CURRENT_USER\Software\Duvuduz_ivod and the program's cache.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Verarov"
Name "Verarov ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Verarov"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\verarov.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${DEPLOY}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductName" "Verarov"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileDescription" "Installation de Verarov"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "LegalCopyright" "GPL-3.0-or-later; dictionnaire CC BY-SA 4.0"

Section "Verarov"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File /r "${DEPLOY}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Verarov.lnk" "$INSTDIR\verarov.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Verarov"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Verarov team"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\verarov.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Verarov.lnk"
    RMDir /r "$INSTDIR"
    RMDir /r "$LOCALAPPDATA\verarov\cache"
    RMDir "$LOCALAPPDATA\verarov"
    DeleteRegKey HKCU "Software\Duvuduz_ivod"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
