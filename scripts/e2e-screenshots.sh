#!/usr/bin/env bash
# Runs a Windows-side test program and takes a screenshot of the Wine desktop
# whenever it asks for one: the program writes NAME.request into the folder
# named by TW_SHOT_REQUESTS and waits until the request is gone; the picture
# lands in SHOTS/PREFIX-NAME.png. A request may hold the place of the window
# it is about, "LEFT TOP WIDTH HEIGHT" on the Wine desktop; that place, moved
# onto the picture, goes to SHOTS/PREFIX-NAME.rect for cropping (make docs).
# Needs the Wine environment of with-wine.sh.
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

# The Wine desktop's upper left corner on the screen (0 0 without one): the
# origin of the places the program gives.
desktop_origin() {
  local id info
  id=$(xdotool search --name ' - Wine desktop$' 2>/dev/null | head -n 1)
  if [[ -n $id ]] && info=$(xwininfo -id "$id" 2>/dev/null); then
    sed -n 's/.*Absolute upper-left [XY]: *//p' <<<"$info" | tr '\n' ' '
  else
    echo "0 0"
  fi
}

watch_requests() {
  local request name x y w h dx dy
  local place='^-?[0-9]+ -?[0-9]+ [0-9]+ [0-9]+$'
  while :; do
    for request in "$requests"/*.request; do
      [[ -e $request ]] || continue
      name=$(basename "$request" .request)
      rm -f "$shots/$prefix-$name.rect"
      import -window root "$shots/$prefix-$name.png" 2>/dev/null || true
      if read -r x y w h <"$request" && [[ "$x $y $w $h" =~ $place ]]; then
        read -r dx dy <<<"$(desktop_origin)"
        echo "$((x + dx)) $((y + dy)) $w $h" >"$shots/$prefix-$name.rect"
      fi
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
