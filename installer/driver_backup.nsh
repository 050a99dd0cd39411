; Before the first install on a machine: the driver's D3D and Glide keys as
; they are, in a .reg file that gives them back whole (tarnwick-cli
; export-driver). An upgrade keeps the backup the first install made.

!macro SAVE_DRIVER_BACKUP
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${AndIfNot} ${FileExists} "$INSTDIR\${DRIVER_BACKUP}"
    nsExec::ExecToLog '"$INSTDIR\tarnwick-cli.exe" export-driver "$INSTDIR\${DRIVER_BACKUP}"'
    Pop $0
    ${If} $0 == 0
      WriteRegDWORD HKLM "${UNINSTALL_KEY}" "DriverBackup" 1
      DetailPrint "Saved the driver's settings in ${DRIVER_BACKUP}"
    ${Else}
      Delete "$INSTDIR\${DRIVER_BACKUP}"
      DetailPrint "No Voodoo driver found: no driver backup saved"
    ${EndIf}
  ${EndIf}
!macroend
