; Closing a running Tarnwick before its files are replaced or removed: the
; command its own Exit sends, to its main window. Exit keeps a watched run's
; pending restore, so the next start picks the watch up again.
; $TarnwickWasRunning is 1 afterwards when one was running.

Var TarnwickWasRunning

!macro CLOSE_TARNWICK_FUNCTION PREFIX
Function ${PREFIX}CloseTarnwick
  StrCpy $TarnwickWasRunning 0
  FindWindow $0 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_CAPTION}"
  ${If} $0 == 0
    Return
  ${EndIf}
  StrCpy $TarnwickWasRunning 1
  DetailPrint "Closing the running Tarnwick"
  SendMessage $0 ${WM_COMMAND} ${EXIT_COMMAND} 0 /TIMEOUT=5000
  ; Gone when its window is gone and its file can be opened for writing
  ; (Windows keeps a running program's file locked); at most ten seconds.
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_CAPTION}"
    ${If} $0 == 0
      ${IfNot} ${FileExists} "$INSTDIR\tarnwick.exe"
        ${Break}
      ${EndIf}
      ClearErrors
      FileOpen $2 "$INSTDIR\tarnwick.exe" a
      ${IfNot} ${Errors}
        FileClose $2
        ${Break}
      ${EndIf}
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 > 100
      DetailPrint "Tarnwick did not close within ten seconds"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
FunctionEnd
!macroend
