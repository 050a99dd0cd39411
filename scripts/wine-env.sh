# shellcheck shell=bash
# Wine environment for running Tarnwick and its Windows-side tests: a private
# headless X display, a 32-bit Wine prefix made once under the build folder,
# and one virtual desktop for every program of that prefix, so the programs
# can find each other's windows.
#
# Source this file, then:
#   tw_wine_start PREFIX_DIR [--use-display]   display, prefix, wineserver
#   tw_wine_import_reg FILE...                 import .reg files into the prefix
#   tw_wine_stop                               stop what tw_wine_start started
# --use-display keeps an existing $DISPLAY instead of starting Xvfb.
# The caller arranges for tw_wine_stop to run (trap ... EXIT).

TW_XVFB_PID=""
TW_WINESERVER_STARTED=0
TW_DESKTOP_SIZE=${TW_DESKTOP_SIZE:-1024x768}

tw_log() { echo "wine-env: $*" >&2; }

# Starts Xvfb on a display number it picks itself and sets DISPLAY.
tw_display_start() {
  local log=$1 numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >"$log" 2>&1 &
  TW_XVFB_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    if [[ -s $numfile ]]; then
      DISPLAY=":$(tr -dc '0-9' <"$numfile")"
      export DISPLAY
      rm -f "$numfile"
      return 0
    fi
    kill -0 "$TW_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numfile"
  tw_log "Xvfb did not start (see $log)"
  return 1
}

# Windows path of a file, through the drive letter Z: that every prefix maps to /.
tw_windows_path() {
  local p
  p=$(realpath -m "$1")
  printf 'Z:%s' "${p//\//\\}"
}

tw_prefix_create() {
  local prefix=$WINEPREFIX
  if [[ -e $prefix ]]; then
    # A prefix without the ready mark is left over from an interrupted
    # creation; only remove what looks like a Wine prefix.
    if [[ -f $prefix/system.reg || -z $(ls -A "$prefix") ]]; then
      rm -rf "$prefix"
    else
      tw_log "$prefix exists but is not a Wine prefix; not touching it"
      return 1
    fi
  fi
  mkdir -p "$(dirname "$prefix")"
  tw_log "creating Wine prefix $prefix (once)"
  wineboot -i >"$prefix.log" 2>&1 || { tw_log "wineboot failed (see $prefix.log)"; return 1; }

  local reg=$prefix/tarnwick-desktop.reg
  cat >"$reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$TW_DESKTOP_SIZE"

; Windows ships Times New Roman; here its metric twin stands in, so captions
; set in it keep the width they have on Windows.
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"Times New Roman"="Liberation Serif"

; A crashed program ends at once instead of waiting behind a crash dialog:
; in XP mode Wine's own desktop process has crashed under the installer
; suite, and every program that then sent it a message waited for ever.
[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
  wine regedit /S "$(tw_windows_path "$reg")" >>"$prefix.log" 2>&1 || { tw_log "desktop settings failed"; return 1; }
  # Let explorer.exe, started by wineboot without the desktop setting, end;
  # the next program then opens the virtual desktop.
  wineserver -w
  touch "$prefix/.tarnwick-ready"
}

tw_wine_start() {
  local prefix=${1:?tw_wine_start PREFIX_DIR [--use-display]} use_display=0
  [[ ${2:-} == --use-display ]] && use_display=1
  mkdir -p "$(dirname "$prefix")"
  export WINEPREFIX
  WINEPREFIX=$(realpath -m "$prefix")
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="

  if ((use_display)) && [[ -n ${DISPLAY:-} ]]; then
    tw_log "using display $DISPLAY"
  else
    tw_display_start "$WINEPREFIX.xvfb.log" || return 1
  fi

  # From here on any wine command may start a server of this prefix.
  TW_WINESERVER_STARTED=1
  if [[ ! -f $WINEPREFIX/.tarnwick-ready ]]; then
    tw_prefix_create || return 1
  fi
  tw_desktop_folder_local
  tw_prefix_fonts
  # A server left over from an interrupted run of this prefix would keep its
  # programs on a display that is gone.
  wineserver -k 2>/dev/null && wineserver -w
  # A persistent server keeps each later program start short.
  wineserver -p || return 1
  # Start the session's background programs (services, the desktop) here,
  # detached from the caller's output: started by the first test program they
  # would inherit its stdout, and CTest waits until every holder of that pipe
  # has ended.
  wine wineboot </dev/null >/dev/null 2>&1 || { tw_log "starting the Wine session failed"; return 1; }
}

# A new prefix links the user's Desktop and Documents folders to the Linux
# home folder: shortcuts that the program (or a test) writes on the desktop,
# and the driver backup an uninstall keeps, must stay inside the prefix, so
# each link becomes a folder of its own.
tw_desktop_folder_local() {
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents}; do
    if [[ -L $link ]]; then
      rm -f "$link" && mkdir -p "$link"
    fi
  done
}

# Without Marlett, title-bar buttons show letters ("r" for close) instead of
# their glyphs, and Debian's Wine does not find its own copy by itself. Put
# into the prefix's font folder, it is found at the next start.
tw_prefix_fonts() {
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts=$WINEPREFIX/drive_c/windows/Fonts
  if [[ -f $marlett && -d $fonts && ! -e $fonts/marlett.ttf ]]; then
    cp "$marlett" "$fonts/" || tw_log "could not copy $marlett into the prefix"
  fi
}

tw_wine_import_reg() {
  local f
  for f; do
    wine regedit /S "$(tw_windows_path "$f")" || { tw_log "importing $f failed"; return 1; }
  done
}

tw_wine_stop() {
  if ((TW_WINESERVER_STARTED)); then
    # Ends every program of this prefix (the desktop too) and saves the registry.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    TW_WINESERVER_STARTED=0
  fi
  if [[ -n $TW_XVFB_PID ]]; then
    kill "$TW_XVFB_PID" 2>/dev/null || true
    wait "$TW_XVFB_PID" 2>/dev/null || true
    TW_XVFB_PID=""
  fi
}
