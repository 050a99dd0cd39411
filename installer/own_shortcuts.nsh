; The installer's own shortcuts: the Start menu group and the desktop link.
; Each option records that it made them, so the uninstaller removes exactly
; those, and an upgrade without the option keeps them, pointed at the
; upgraded program.

!define START_MENU_GROUP "$SMPROGRAMS\Tarnwick"

Function CreateStartMenuShortcuts
  CreateDirectory "${START_MENU_GROUP}"
  CreateShortcut "${START_MENU_GROUP}\Tarnwick.lnk" "$INSTDIR\tarnwick.exe"
  CreateShortcut "${START_MENU_GROUP}\Read me.lnk" "$INSTDIR\README.TXT"
  CreateShortcut "${START_MENU_GROUP}\Uninstall Tarnwick.lnk" "$INSTDIR\${UNINSTALLER}"
FunctionEnd

Function CreateDesktopShortcut
  CreateShortcut "$DESKTOP\Tarnwick.lnk" "$INSTDIR\tarnwick.exe"
FunctionEnd

; In the shell context in use.
!macro REMOVE_OWN_SHORTCUTS
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "StartMenuShortcuts"
  ${If} $0 == 1
    Delete "${START_MENU_GROUP}\Tarnwick.lnk"
    Delete "${START_MENU_GROUP}\Read me.lnk"
    Delete "${START_MENU_GROUP}\Uninstall Tarnwick.lnk"
    RMDir "${START_MENU_GROUP}"
  ${EndIf}
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "DesktopShortcut"
  ${If} $0 == 1
    Delete "$DESKTOP\Tarnwick.lnk"
  ${EndIf}
!macroend

; An earlier install made in the other context (older versions always used
; the user's own): its shortcuts go, and are made again in this one.
!macro REMOVE_SHORTCUTS_OF_OTHER_CONTEXT
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "ShellContext"
  ${If} $2 == ""
    StrCpy $2 "current"
  ${EndIf}
  ${If} $1 != ""
  ${AndIf} $2 != $ShellContext
    !insertmacro USE_SHELL_CONTEXT $2
    !insertmacro REMOVE_OWN_SHORTCUTS
    !insertmacro USE_SHELL_CONTEXT $ShellContext
  ${EndIf}
!macroend

; Made again when an earlier install recorded them; this also points them at
; a new folder.
!macro RENEW_RECORDED_SHORTCUTS
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "StartMenuShortcuts"
  ${If} $0 == 1
    Call CreateStartMenuShortcuts
  ${EndIf}
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "DesktopShortcut"
  ${If} $0 == 1
    Call CreateDesktopShortcut
  ${EndIf}
!macroend
