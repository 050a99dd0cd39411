#!/usr/bin/env bash
# Runs a Windows-side test program and takes a screenshot of the Wine desktop
# whenever it asks for one: the program writes NAME.request into the folder
# named by TW_SHOT_REQUESTS and waits until the request is gone; the picture
# lands in SHOTS/PREFIX-NAME.png. Needs the Wine environment of with-wine.sh.
#
# Usage: e2e-screenshots.sh SHOTS PREFIX PROGRAM.exe [ARGUMENTS...]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

shots=${1:?usage: e2e-screenshots.sh SHOTS PREFIX PROGRAM.exe [ARGUMENTS...]}
prefix=${2:?usage: e2e-screenshots.sh SHOTS PREFIX PROGRAM.exe [ARGUMENTS...]}
shift 2
mkdir -p "$shots"
requests=$(mktemp -d)
TW_SHOT_REQUESTS=$(tw_windows_path "$requests")
export TW_SHOT_REQUESTS

watch_requests() {
  local request name
  while :; do
    for request in "$requests"/*.request; do
      [[ -e $request ]] || continue
      name=$(basename "$request" .request)
      import -window root "$shots/$prefix-$name.png" 2>/dev/null || true
      rm -f "$request"
    done
    sleep 0.2
  done
}

watch_requests &
watcher=$!
wine "$@"
status=$?
kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
rm -rf "$requests"
echo "screenshots: $(ls "$shots"/"$prefix"-*.png 2>/dev/null | tr '\n' ' ')"
exit $status
