; Tarnwell's per-user installer, built on Linux by scripts/package with NSIS:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe> installer/tarnwell.nsi
; STAGE holds tarnwell.exe, README.txt, LICENSE.txt and tarnwell.ico.
;
; It installs for the current user only, without elevation, into
; %LOCALAPPDATA%\Programs\Tarnwell, adds a Start-menu shortcut and registers an uninstaller in
; the current user's list of programs. Its last page offers to start Tarnwell when the user signs
; in (off by default; /STARTATSIGNIN turns it on in a silent install). The uninstaller removes the
; program, the shortcut and the installed program's start at sign-in, and leaves the user's
; settings in the registry alone. /S installs or uninstalls silently. An older installer does not
; replace a newer installed version unless the user confirms.

; A 64-bit installer for a 64-bit program (and Wine without its 32-bit half runs it too).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!ifndef VERSION
  !error "define VERSION, STAGE and OUTFILE (see the top of this file)"
!endif
!ifndef STAGE
  !error "define VERSION, STAGE and OUTFILE (see the top of this file)"
!endif
!ifndef OUTFILE
  !error "define VERSION, STAGE and OUTFILE (see the top of this file)"
!endif

!define PRODUCT "Tarnwell"
!define PUBLISHER "Larkspindle"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwell"
!define SHORTCUT "$SMPROGRAMS\Tarnwell.lnk"
; The start at sign-in: a value of the user's Run key named after the program's file name, as
; the program's own Options box names it, holding the program's quoted path and, after it, the
; host it watches.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where Task Manager marks a Run value turned off, under the same name.
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define RUN_VALUE "tarnwell"
!define RUN_PROGRAM '"$INSTDIR\tarnwell.exe"'
; Exit codes of a run that stopped and changed nothing, apart from NSIS's own (1 for a cancel,
; 2 for any other abort): Tarnwell is running; a newer version is installed.
!define EXIT_PROGRAM_RUNNING 3
!define EXIT_NEWER_INSTALLED 4

!include MUI2.nsh
!include FileFunc.nsh
!include WordFunc.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarnwell"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${STAGE}\tarnwell.ico"
!define MUI_UNICON "${STAGE}\tarnwell.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarnwell.exe"
; The page's second check box starts Tarnwell when the user signs in.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Start Tarnwell when I sign in"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION StartAtSignIn
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Files of a running program cannot be replaced or removed: the user is asked to close
; Tarnwell first. A silent run cannot ask, so it stops with its own exit code and changes
; nothing. The watch window is the dialog captioned "Tarnwell"; it is found while hidden in the
; notification area too.
!macro CLOSE_RUNNING_PROGRAM prefix
Function ${prefix}CloseRunningProgram
  retry:
    FindWindow $0 "#32770" "${PRODUCT}"
    StrCmp $0 0 done
    IfSilent stop
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Tarnwell is running. Please close it (its Exit button), then choose Retry." \
      IDRETRY retry
  stop:
    SetErrorLevel ${EXIT_PROGRAM_RUNNING}
    Quit
  done:
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAM ""
!insertmacro CLOSE_RUNNING_PROGRAM "un."

; Sets $0 to 1 when the program's Run value starts the installed program (whatever host follows
; it), else to 0: a value of a portable copy elsewhere is not the installer's.
!macro STARTS_INSTALLED_PROGRAM prefix
Function ${prefix}StartsInstalledProgram
  ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrLen $2 '${RUN_PROGRAM}'
  StrCpy $1 $1 $2
  StrCpy $0 0
  ; StrCmp ignores the case of letters, as Windows does in paths.
  StrCmp $1 '${RUN_PROGRAM}' 0 done
    StrCpy $0 1
  done:
FunctionEnd
!macroend
!insertmacro STARTS_INSTALLED_PROGRAM ""
!insertmacro STARTS_INSTALLED_PROGRAM "un."

; Starts the installed program when the user signs in; a value that starts it already keeps the
; host that follows.
Function StartAtSignIn
  Call StartsInstalledProgram
  StrCmp $0 1 done
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '${RUN_PROGRAM}'
  done:
FunctionEnd

; A newer installed version stays unless the user chooses the older one; a silent run cannot
; ask, so it stops with its own exit code.
Function KeepNewerVersion
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  StrCmp $0 "" done
  ${VersionCompare} "$0" "${VERSION}" $1
  StrCmp $1 1 0 done
  IfSilent stop
  MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 \
    "Tarnwell $0 is installed, which is newer than this setup (${VERSION}).$\n$\nReplace it with the older version?" \
    IDYES done
  stop:
    SetErrorLevel ${EXIT_NEWER_INSTALLED}
    Quit
  done:
FunctionEnd

Function .onInit
  Call KeepNewerVersion
  Call CloseRunningProgram
FunctionEnd

Section "Tarnwell"
  ; The program may have been started since the installer was.
  Call CloseRunningProgram
  SetOutPath "$INSTDIR"
  File "${STAGE}\tarnwell.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\tarnwell.exe" "" "$INSTDIR\tarnwell.exe" 0

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwell.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.larkspindle.example/tarnwell/"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; A silent install has no last page: its command line asks for the start at sign-in.
  IfSilent 0 interactive
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/STARTATSIGNIN" $1
    IfErrors interactive
      Call StartAtSignIn
  interactive:
SectionEnd

Function un.onInit
  Call un.CloseRunningProgram
FunctionEnd

; The settings under HKCU\Software\HKEY_CURRENT_USER\Software\Larkspindle are the user's and
; stay, so that a later install finds them again.
Section "Uninstall"
  Call un.CloseRunningProgram
  Delete "$INSTDIR\tarnwell.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  Call un.StartsInstalledProgram
  StrCmp $0 1 0 +3
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
