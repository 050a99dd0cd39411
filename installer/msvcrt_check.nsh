; Tarnwick and tarnwick-cli need MSVCRT.DLL, the C run-time library. Windows
; 98 and later ship it; Windows 95, OSR2 included, has it only once other
; software brought it. Without it the loader would refuse Tarnwick at its first
; start with a message about a missing DLL, so Setup looks first and says what
; to install. Every other Windows has the DLL, so there the check just passes.
; /MSVCRTDIR=FOLDER looks in FOLDER instead of the system folder (the tests use
; it: Wine always has its own MSVCRT.DLL).

Function CheckMsvcrt
  Push $0
  Push $1
  StrCpy $0 $SYSDIR
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/MSVCRTDIR=" $1
  ${IfNot} ${Errors}
    StrCpy $0 $1
  ${EndIf}
  ${IfNot} ${FileExists} "$0\msvcrt.dll"
    MessageBox MB_OK|MB_ICONSTOP "Tarnwick needs MSVCRT.DLL, the Microsoft C run-time library, and this computer does not have it yet ($0 holds none).$\r$\n$\r$\nWindows 95 gets it with Internet Explorer 4 or later, with the Windows Sockets 2 update for Windows 95, or with the Microsoft Visual C++ run-time. Install one of them, then run Setup again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
