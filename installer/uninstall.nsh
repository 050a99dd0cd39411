; The uninstaller: it removes exactly what the installer wrote, and never
; leaves the driver on a game's settings.

!insertmacro CLOSE_TARNWICK_FUNCTION "un."

Section "Uninstall"
  Call un.CloseTarnwick

  ; A watched run killed or left during a game still owes the driver its
  ; restore: the same code as the tray's, through tarnwick-cli. Nothing is
  ; swapped when nothing is owed.
  ${If} ${FileExists} "$INSTDIR\tarnwick-cli.exe"
    nsExec::ExecToLog '"$INSTDIR\tarnwick-cli.exe" restore --owed'
    Pop $0
    ${If} $0 != 0
      DetailPrint "The driver's settings could not be put back ($0)"
    ${EndIf}
    ; A game's own shortcuts that Tarnwick adopted start tarnwick.exe, which
    ; is about to go: they are put back as they were.
    nsExec::ExecToLog '"$INSTDIR\tarnwick-cli.exe" unadopt --all'
    Pop $0
    ${If} $0 != 0
      DetailPrint "Some shortcuts were left as they are ($0)"
    ${EndIf}
  ${EndIf}

  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "DriverBackup"
  ${If} $0 == 1
  ${AndIf} ${FileExists} "$INSTDIR\${DRIVER_BACKUP}"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Put the driver settings back as they were before Tarnwick was installed?" \
      /SD IDNO IDNO keep_driver
    ExecWait '"$WINDIR\regedit.exe" /s "$INSTDIR\${DRIVER_BACKUP}"'
    DetailPrint "Put the driver settings back from ${DRIVER_BACKUP}"
    keep_driver:
  ${EndIf}

  ; The Run value only when it starts this installation.
  ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == "$INSTDIR\tarnwick.exe"
  ${OrIf} $0 == '"$INSTDIR\tarnwick.exe"'
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}

  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Also remove your game profiles and Tarnwick's settings?" /SD IDNO IDNO keep_profiles
  DeleteRegKey HKCU "${PROGRAM_KEY}"
  DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
  keep_profiles:

  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "StartMenuShortcuts"
  ${If} $0 == 1
    Delete "$SMPROGRAMS\Tarnwick\Tarnwick.lnk"
    Delete "$SMPROGRAMS\Tarnwick\Read me.lnk"
    Delete "$SMPROGRAMS\Tarnwick\Uninstall Tarnwick.lnk"
    RMDir "$SMPROGRAMS\Tarnwick"
  ${EndIf}
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "DesktopShortcut"
  ${If} $0 == 1
    Delete "$DESKTOP\Tarnwick.lnk"
  ${EndIf}

  Delete "$INSTDIR\tarnwick.exe"
  Delete "$INSTDIR\tarnwick-cli.exe"
  Delete "$INSTDIR\README.TXT"
  Delete "$INSTDIR\${DRIVER_BACKUP}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: files the user put there stay, with their folder. The
  ; working folder cannot be removed, so step out of it first.
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
