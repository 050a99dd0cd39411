; Closing a running Tarnwick before its files are replaced or removed: the
; command its own Exit sends, to its main window. Exit keeps a watched run's
; pending restore, so the next start picks the watch up again.
; $TarnwickWasRunning is 1 afterwards when one was running.

Var TarnwickWasRunning

!macro CLOSE_TARNWICK_FUNCTION PREFIX
; 1 when the file is missing or can be opened for writing.
Function ${PREFIX}FileFree
  Exch $0
  ${If} ${FileExists} $0
    ClearErrors
    FileOpen $0 $0 a
    ${If} ${Errors}
      StrCpy $0 0
      Exch $0
      Return
    ${EndIf}
    FileClose $0
  ${EndIf}
  StrCpy $0 1
  Exch $0
FunctionEnd

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
  ; An upgrade into another folder waits for the old folder's file too.
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_CAPTION}"
    ${If} $0 == 0
      Push "$INSTDIR\tarnwick.exe"
      Call ${PREFIX}FileFree
      Pop $2
      ${If} $2 == 1
      ${AndIf} $OldInstallDir != ""
        Push "$OldInstallDir\tarnwick.exe"
        Call ${PREFIX}FileFree
        Pop $2
      ${EndIf}
      ${If} $2 == 1
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
