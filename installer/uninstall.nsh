; The uninstaller: it removes exactly what the installer wrote, never leaves
; the driver on a game's settings, and keeps what it cannot give back: the
; driver backup, and the profiles while shortcut records may still be needed.

!insertmacro CLOSE_TARNWICK_FUNCTION "un."
!insertmacro REQUIRE_ADMINISTRATOR_FUNCTION "un." "uninstall"

Var KeepProfiles  ; 1 when the profiles must stay: records of shortcuts not put back

Function un.onInit
  Call un.RequireAdministrator
  ReadRegStr $ShellContext HKLM "${UNINSTALL_KEY}" "ShellContext"
  !insertmacro USE_SHELL_CONTEXT $ShellContext
FunctionEnd

; The backup is the only copy of the driver's settings from before Tarnwick:
; it goes to the user's documents folder, beside any kept from before.
Function un.KeepDriverBackup
  SetShellVarContext current
  StrCpy $1 "$DOCUMENTS"
  !insertmacro USE_SHELL_CONTEXT $ShellContext
  ClearErrors
  ${If} $1 != ""
    StrCpy $2 "$1\Tarnwick driver backup.reg"
    StrCpy $3 1
    ${While} ${FileExists} $2
      IntOp $3 $3 + 1
      StrCpy $2 "$1\Tarnwick driver backup ($3).reg"
    ${EndWhile}
    Rename "$INSTDIR\${DRIVER_BACKUP}" $2
  ${EndIf}
  ${If} $1 == ""
  ${OrIf} ${Errors}
    DetailPrint "The driver backup is kept in $INSTDIR\${DRIVER_BACKUP}"
  ${Else}
    DetailPrint "The driver backup is kept in $2"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseTarnwick
  StrCpy $KeepProfiles 0

  ${If} ${FileExists} "$INSTDIR\tarnwick-cli.exe"
    ; A watched run killed or left during a game still owes the driver its
    ; restore: the same code as the tray's. Nothing is swapped when nothing
    ; is owed.
    nsExec::ExecToLog '"$INSTDIR\tarnwick-cli.exe" restore --owed'
    Pop $0
    ${If} $0 != 0
      DetailPrint "The driver's settings could not be put back ($0)"
    ${Else}
      ; Nothing is owed now: the machine's key for that record goes.
      DeleteRegKey /ifempty HKLM "${PROGRAM_KEY}"
    ${EndIf}
    ; A game's own shortcuts that Tarnwick adopted are put back as they were:
    ; this account's, then the all-users ones any account adopted, from the
    ; machine's records (their tarnwick.exe is about to go too).
    nsExec::ExecToLog '"$INSTDIR\tarnwick-cli.exe" unadopt --all'
    Pop $0
    ${If} $0 != 0
      StrCpy $KeepProfiles 1
      DetailPrint "Some shortcuts were left as they are ($0)"
    ${EndIf}
    nsExec::ExecToLog '"$INSTDIR\tarnwick-cli.exe" unadopt --all-users'
    Pop $0
    ${If} $0 != 0
      StrCpy $KeepProfiles 1
      DetailPrint "Some shortcuts of all users were left as they are ($0)"
    ${Else}
      DeleteRegKey /ifempty HKLM "${MAKER_KEY}"
    ${EndIf}
    ; The profile editor's desktop shortcuts start tarnwick.exe, which is
    ; about to go: those on this account's desktop go too, each listed. A
    ; game's shortcut that still starts Tarnwick kept its record, which tells
    ; it apart from them; it stays, and so does any on all users' desktop,
    ; each listed.
    nsExec::ExecToLog '"$INSTDIR\tarnwick-cli.exe" remove-shortcuts'
    Pop $0
    ${If} $0 != 0
      DetailPrint "Some desktop shortcuts to Tarnwick were left ($0)"
    ${EndIf}
  ${Else}
    StrCpy $KeepProfiles 1
    DetailPrint "tarnwick-cli.exe is missing from $INSTDIR"
    MessageBox MB_OK|MB_ICONEXCLAMATION \
      "tarnwick-cli.exe is missing from $INSTDIR, so a restore the driver may still be owed was not made and shortcuts Tarnwick changed were not put back.$\r$\n$\r$\nYour profiles and the records of those shortcuts are kept: install Tarnwick again and uninstall it to finish." \
      /SD IDOK
  ${EndIf}

  ${If} ${FileExists} "$INSTDIR\${DRIVER_BACKUP}"
    ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "DriverBackup"
    ${If} $0 == 1
      MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Put the driver settings back as they were before Tarnwick was installed?" \
        /SD IDNO IDNO keep_driver
      ExecWait '"$WINDIR\regedit.exe" /s "$INSTDIR\${DRIVER_BACKUP}"'
      DetailPrint "Put the driver settings back from ${DRIVER_BACKUP}"
      keep_driver:
    ${EndIf}
    Call un.KeepDriverBackup
  ${EndIf}

  ; The Run value only when it starts this installation.
  ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == "$INSTDIR\tarnwick.exe"
  ${OrIf} $0 == '"$INSTDIR\tarnwick.exe"'
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}

  ${If} $KeepProfiles == 1
    DetailPrint "Your profiles are kept in HKEY_CURRENT_USER\${PROGRAM_KEY}"
  ${Else}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Also remove your game profiles and Tarnwick's settings?" /SD IDNO IDNO keep_profiles
    DeleteRegKey HKCU "${PROGRAM_KEY}"
    DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
    keep_profiles:
  ${EndIf}

  !insertmacro REMOVE_OWN_SHORTCUTS

  Delete "$INSTDIR\tarnwick.exe"
  Delete "$INSTDIR\tarnwick-cli.exe"
  Delete "$INSTDIR\README.TXT"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: files the user put there stay, with their folder (and
  ; the driver backup, when it could not be moved). The working folder
  ; cannot be removed, so step out of it first.
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
