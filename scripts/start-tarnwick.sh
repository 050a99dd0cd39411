#!/usr/bin/env bash
# Starts tarnwick.exe for a person to use or look at, inside the Wine
# environment of with-wine.sh (`make run` calls it that way). The first time,
# it plants a Voodoo5 5500 driver entry in the Windows 98 layout so the
# program finds a card; later runs keep what earlier runs changed.
#
# Usage: start-tarnwick.sh TARNWICK_EXE [ARGUMENTS...]
# TARNWICK_WINVER (default winxp) is the Windows version Wine reports to it.
set -euo pipefail

exe=${1:?usage: start-tarnwick.sh TARNWICK_EXE [ARGUMENTS...]}
shift
[[ -f $exe ]] || { echo "start-tarnwick: $exe not found; build it with: make run" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

if ! wine reg query 'HKLM\System\CurrentControlSet\Services\Class\Display\0000' /v DriverDesc \
    >/dev/null 2>&1; then
  tw_wine_import_reg "$here/../e2e/fixtures/win98-voodoo5.reg"
fi
wine reg add 'HKCU\Software\Wine\AppDefaults\tarnwick.exe' /v Version /t REG_SZ \
  /d "${TARNWICK_WINVER:-winxp}" /f >/dev/null

display=${DISPLAY#:}
cat <<EOF2
Tarnwick runs in a Wine desktop on display :${display%%.*} (Windows version ${TARNWICK_WINVER:-winxp}).
  Screenshot:  import -display :${display%%.*} -window root shot.png
  Tray icon:   bottom right of the desktop's taskbar (xdotool can click it)
  Wine prefix: $WINEPREFIX
Ctrl-C (or "Exit" in its tray menu) ends it.
EOF2
wine "$exe" "$@"
