; The Windows installer. It installs for every user of the machine into Program Files, or, without
; administrator rights, for the one user into their own programs folder: chosen by /AllUsers or
; /CurrentUser on the command line, or on a page of the interactive installer. A version installed
; before for the same users is uninstalled first, so that the list of programs keeps one entry.
;
; makensis -DVERSION=X.Y.Z -DSOURCE_DIR=STAGED_INSTALL -DICON=runby.ico -DOUTPUT=SETUP.exe
;          [-DSIGN=COMMAND] runby.nsi
; SIGN, where given, is run on the installer and its uninstaller with the file's path after it.

Unicode true
Target amd64-unicode
; No file times in the installer, which would make every build of it differ.
SetDateSave off
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Runby"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR Runby
!define MULTIUSER_USE_PROGRAMFILES64
; The uninstaller finds for whom it was installed from the entry in the list of programs.
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME InstallLocation
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!ifdef SIGN
  !finalize '${SIGN} "%1"'
  !uninstfinalize '${SIGN} "%1"'
!endif

Name Runby
OutFile "${OUTPUT}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName Runby
VIAddVersionKey CompanyName Tarnvale
VIAddVersionKey FileDescription "Runby installer"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright Tarnvale

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${SOURCE_DIR}/LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; English first, the language of any system that asks for neither; NSIS shows its pages in the
; system's display language where it is one of these.
!insertmacro MUI_LANGUAGE English
!insertmacro MUI_LANGUAGE French

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

; Uninstalls a version installed before for the same users, wherever it was installed.
Function RemoveEarlierVersion
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" InstallLocation
  ${If} $0 == ""
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" UninstallString
    ${GetParent} $0 $0
    StrCpy $1 $0 1
    ${If} $1 == '"'
      StrCpy $0 $0 "" 1
    ${EndIf}
  ${EndIf}
  ${If} ${FileExists} "$0\Uninstall.exe"
    ; _? runs it in place, so that it can be waited for; it leaves itself behind.
    ExecWait '"$0\Uninstall.exe" /S /$MultiUser.InstallMode _?=$0'
    Delete "$0\Uninstall.exe"
    RMDir "$0"
  ${EndIf}
  ; Earlier installers left their publisher's key behind, empty.
  DeleteRegKey /ifempty SHCTX "Software\Tarnvale"
FunctionEnd

Section
  Call RemoveEarlierVersion
  SetOutPath "$INSTDIR"
  File "${SOURCE_DIR}/runby.exe"
  File "${SOURCE_DIR}/LICENSE.txt"
  File "${SOURCE_DIR}/README.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Runby.lnk" "$INSTDIR\runby.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayName Runby
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" Publisher Tarnvale
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\runby.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" HelpLink "https://www.tarnvale.example/"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" URLInfoAbout "https://www.tarnvale.example/"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" UninstallString \
    '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" QuietUninstallString \
    '"$INSTDIR\Uninstall.exe" /S /$MultiUser.InstallMode'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoRepair 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

Section Uninstall
  Delete "$INSTDIR\runby.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Runby.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
