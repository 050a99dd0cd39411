; The Tarnwick installer, for Windows 98 SE, 2000 and XP.
;   makensis -DVERSION=... -DPROGRAM_DIR=... -DOUT_FILE=... [-DUNINSTALLER_COPY=...] tarnwick.nsi
; PROGRAM_DIR holds tarnwick.exe, tarnwick-cli.exe and README.TXT. The build
; passes VERSION, read from the version resource (res/tarnwick.rc).

Unicode false  ; ANSI: Windows 98 has no Unicode API to speak of
SetCompressor /SOLID lzma

!ifndef VERSION | PROGRAM_DIR | OUT_FILE
  !error "VERSION, PROGRAM_DIR and OUT_FILE are defined by the build"
!endif

; makensis works in the script's folder: paths below are from there.
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "WinVer.nsh"
!include "defines.nsh"
!include "shell_context.nsh"
!include "move_install.nsh"
!include "close_running.nsh"
!include "registry_entries.nsh"
!include "own_shortcuts.nsh"
!include "driver_backup.nsh"
!include "msvcrt_check.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES\Tarnwick"
; An upgrade goes where the last install went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!ifdef UNINSTALLER_COPY
  ; The uninstaller as written, kept for the import check. Not in the
  ; shipped build: it would then carry the uninstaller whole.
  !uninstfinalize 'cp "%1" "${UNINSTALLER_COPY}"'
!endif

!define MUI_ICON "../res/tarnwick.ico"
!define MUI_UNICON "../res/tarnwick.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Tarnwick now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTarnwickNow

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "Options"
!define MUI_PAGE_HEADER_SUBTEXT "Choose what Setup sets up besides Tarnwick itself."
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!insertmacro CLOSE_TARNWICK_FUNCTION ""
!insertmacro REQUIRE_ADMINISTRATOR_FUNCTION "" "install"

Section "Tarnwick" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  !insertmacro FIND_OLD_INSTALL
  Call CloseTarnwick
  File "${PROGRAM_DIR}/tarnwick.exe"
  File "${PROGRAM_DIR}/tarnwick-cli.exe"
  File "${PROGRAM_DIR}/README.TXT"
  !insertmacro MOVE_OLD_INSTALL
  !insertmacro REMOVE_SHORTCUTS_OF_OTHER_CONTEXT
  !insertmacro SAVE_DRIVER_BACKUP
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  !insertmacro WRITE_UNINSTALL_ENTRY
SectionEnd

Section "Start menu shortcuts" SecStartMenu
  Call CreateStartMenuShortcuts
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "StartMenuShortcuts" 1
SectionEnd

Section /o "Desktop shortcut" SecDesktop
  Call CreateDesktopShortcut
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "DesktopShortcut" 1
SectionEnd

Section /o "Start Tarnwick when Windows starts" SecStartup
  !insertmacro WRITE_RUN_VALUE
SectionEnd

Section "-Finish"
  !insertmacro RENEW_RECORDED_SHORTCUTS
  !insertmacro WRITE_INSTALL_SIZE
  ; A Tarnwick closed for the update runs again, and picks up a watch.
  ${If} $TarnwickWasRunning == 1
    Exec '"$INSTDIR\tarnwick.exe"'
  ${EndIf}
SectionEnd

; /DESKTOP and /STARTUP choose the two options that are off by default, for
; scripted installs (/S).
Function .onInit
  Call CheckMsvcrt
  !insertmacro CHOOSE_SHELL_CONTEXT
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/DESKTOP" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecDesktop} ${SF_SELECTED}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/STARTUP" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecStartup} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

; Unless the update already started it again.
Function StartTarnwickNow
  FindWindow $0 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_CAPTION}"
  ${If} $0 == 0
    Exec '"$INSTDIR\tarnwick.exe"'
  ${EndIf}
FunctionEnd

!include "uninstall.nsh"
