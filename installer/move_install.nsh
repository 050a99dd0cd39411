; An upgrade into another folder than the last install's: the driver backup
; moves along, adopted shortcuts and the profile editor's desktop shortcuts
; start the new tarnwick.exe, a Run value that started the old one starts the
; new one, and the old folder's files go (the folder too when nothing else
; is in it). The installer's own shortcuts are made again afterwards.

Var OldInstallDir  ; the earlier install's folder when it is another; else empty

; Before anything is closed or written.
!macro FIND_OLD_INSTALL
  StrCpy $OldInstallDir ""
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\tarnwick.exe"
    ; The same folder may be written long or short.
    GetFullPathName /SHORT $1 $0
    GetFullPathName /SHORT $2 $INSTDIR
    ${If} $1 != $2
      StrCpy $OldInstallDir $0
    ${EndIf}
  ${EndIf}
!macroend

; Once the new files are in place.
!macro MOVE_OLD_INSTALL
  ${If} $OldInstallDir != ""
    DetailPrint "Moving Tarnwick from $OldInstallDir"
    ${If} ${FileExists} "$OldInstallDir\${DRIVER_BACKUP}"
    ${AndIfNot} ${FileExists} "$INSTDIR\${DRIVER_BACKUP}"
      ClearErrors
      Rename "$OldInstallDir\${DRIVER_BACKUP}" "$INSTDIR\${DRIVER_BACKUP}"
      ${If} ${Errors}
        DetailPrint "The driver backup stays in $OldInstallDir\${DRIVER_BACKUP}"
      ${EndIf}
    ${EndIf}

    nsExec::ExecToLog '"$INSTDIR\tarnwick-cli.exe" relink "$OldInstallDir\tarnwick.exe"'
    Pop $0
    ${If} $0 != 0
      DetailPrint "Some shortcuts still start $OldInstallDir\tarnwick.exe ($0)"
    ${EndIf}

    ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == "$OldInstallDir\tarnwick.exe"
    ${OrIf} $0 == '"$OldInstallDir\tarnwick.exe"'
      !insertmacro WRITE_RUN_VALUE
    ${EndIf}

    Delete "$OldInstallDir\tarnwick.exe"
    Delete "$OldInstallDir\tarnwick-cli.exe"
    Delete "$OldInstallDir\README.TXT"
    Delete "$OldInstallDir\${UNINSTALLER}"
    RMDir "$OldInstallDir"
  ${EndIf}
!macroend
