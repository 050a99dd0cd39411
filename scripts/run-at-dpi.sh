#!/usr/bin/env bash
# Runs a command with the Wine prefix's screen set to DPI pixels per logical
# inch (96 Small Fonts, 120 Large Fonts), and puts 96 back afterwards. Wine
# reads the value when a program starts, so programs started before keep
# theirs. Needs the Wine environment of with-wine.sh.
#
# Usage: run-at-dpi.sh DPI COMMAND...
set -uo pipefail
dpi=${1:?usage: run-at-dpi.sh DPI COMMAND...}
shift
key='HKCU\Control Panel\Desktop'
set_dpi() { wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null; }
trap 'set_dpi 96' EXIT
set_dpi "$dpi" || exit 1
"$@"
