; The Windows installer of Verarov, made by scripts/windows.sh:
;   makensis -DVERSION=2.0 -DDEPLOY=<folder of the files> -DOUTFILE=<setup.exe>
;            -DICON=<verarov.ico> verarov.nsi
; For the current user (the default, no administrator rights needed): the
; program goes to %LOCALAPPDATA%\Programs\Verarov, its shortcut to the
; user's Start menu, its uninstall entry under HKEY_CURRENT_USER.  For all
; users (chosen on the first page when run by an administrator, or
; "/AllUsers" on the command line): Program Files, the common Start menu and
; HKEY_LOCAL_MACHINE.  "setup.exe /S" installs silently, "uninstall.exe /S"
; removes everything it installed, the settings the program kept under
; HKEY_CURRENT_USER\Software\Duvuduz_ivod and the program's cache.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Verarov"
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "Verarov"
; An update goes where the previous installation is, in its mode.
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include "MultiUser.nsh"
!include "MUI2.nsh"

Name "Verarov ${VERSION}"
OutFile "${OUTFILE}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\verarov.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${DEPLOY}\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
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

Function .onInit
    !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
    !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Verarov"
    SetOutPath "$INSTDIR"
    File /r "${DEPLOY}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Verarov.lnk" "$INSTDIR\verarov.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Verarov"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The Verarov team"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\verarov.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\Verarov.lnk"
    RMDir /r "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    ; What the program kept for the user who uninstalls it.
    SetShellVarContext current
    RMDir /r "$LOCALAPPDATA\verarov\cache"
    RMDir "$LOCALAPPDATA\verarov"
    DeleteRegKey HKCU "Software\Duvuduz_ivod"
SectionEnd
