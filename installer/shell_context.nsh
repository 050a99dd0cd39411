; Whose Start menu and desktop get the shortcuts. On 2000 and XP Setup
; installs for everybody, like the files in Program Files and the Run value
; in HKLM, and only an administrator can write those: a limited user is told
; so at once instead of meeting Abort/Retry half-way, and a silent run ends
; with exit code 5 (access denied). Windows 98 keeps the user's own folders.
; The choice is recorded in the uninstall entry; the uninstaller works in the
; recorded one (none recorded: the user's own, as older installs used).

Var ShellContext  ; "all" or "current"

!macro REQUIRE_ADMINISTRATOR_FUNCTION PREFIX WHAT
Function ${PREFIX}RequireAdministrator
  ${If} ${IsNT}
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP \
        "Only an administrator can ${WHAT} Tarnwick on this computer. Log on as an administrator and try again." \
        /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend

!macro USE_SHELL_CONTEXT CONTEXT
  ${If} ${CONTEXT} == "all"
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
!macroend

; The installer's: all users on 2000/XP, the user's own on 98.
!macro CHOOSE_SHELL_CONTEXT
  Call RequireAdministrator
  StrCpy $ShellContext "current"
  ${If} ${IsNT}
    StrCpy $ShellContext "all"
  ${EndIf}
  !insertmacro USE_SHELL_CONTEXT $ShellContext
!macroend
