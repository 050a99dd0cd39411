#!/usr/bin/env bash
# Takes the screenshots the README's pictures are made from: the editor test
# and the desktop clicks, for one Windows version, into a folder of their own.
# The stand-in game is copied into the prefix first, so the editor shows a
# path such as a user would have rather than the build folder.
# Needs the Wine environment of with-wine.sh.
#
# Usage: docs-screenshots.sh TARNWICK_EXE E2E_DIR SHOTS VERSION
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
usage="usage: docs-screenshots.sh TARNWICK_EXE E2E_DIR SHOTS VERSION"
exe=$(realpath "${1:?$usage}")
e2e=$(realpath "${2:?$usage}")
shots=${3:?$usage}
version=${4:?$usage}
if [[ -z ${WINEPREFIX:-} ]]; then
  echo "docs-screenshots: run inside scripts/with-wine.sh" >&2
  exit 2
fi

game=$WINEPREFIX/drive_c/Games/Demo/demo.exe
mkdir -p "$(dirname "$game")" && cp "$e2e/game.exe" "$game" || exit 1
# Pictures of an earlier run would pass for this run's.
rm -rf "$shots" && mkdir -p "$shots" || exit 1

status=0
bash "$here/e2e-screenshots.sh" "$shots" editor "$e2e/editor_e2e.exe" --tarnwick="$exe" \
  --game="$game" --fixtures="$here/../e2e/fixtures" --winver="$version" || status=1
bash "$here/e2e-desktop-clicks.sh" --exe "$exe" --game "$game" --shots "$shots" "$version" ||
  status=1
# The forms at Large Fonts (120 dpi).
bash "$here/run-at-dpi.sh" 120 bash "$here/e2e-screenshots.sh" "$shots" large-fonts \
  "$e2e/large_fonts_e2e.exe" --tarnwick="$exe" --game="$game" \
  --fixtures="$here/../e2e/fixtures" --winver="$version" || status=1
exit $status
