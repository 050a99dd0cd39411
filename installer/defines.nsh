; Names both the installer and the uninstaller use. The version is not here:
; the build passes VERSION, read from the version resource.

!define PRODUCT "Tarnwick"
!define PUBLISHER "Hexmoor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
; Where the program keeps its profiles and settings (HKCU), and the Run key
; and value its "Start at Windows startup" writes (HKLM).
!define PROGRAM_KEY "Software\Hexmoor\Tarnwick"
!define MAKER_KEY "Software\Hexmoor"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tarnwick"
!define DRIVER_BACKUP "driver-backup.reg"
!define UNINSTALLER "uninstall.exe"

; The main window's class and caption, and the command its Exit menu item
; sends (shell/menu_ids.h: kClose1).
!define MAIN_WINDOW_CLASS "TForm2"
!define MAIN_WINDOW_CAPTION "Tarnwick Startup check"
!define EXIT_COMMAND 1024
