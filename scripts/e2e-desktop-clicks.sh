#!/usr/bin/env bash
# Uses tarnwick.exe the way a person would: real mouse clicks on its windows in
# the Wine desktop, with screenshots of what it showed kept for anyone to look
# at. For each Windows version: a first start with -DEBUG and a Voodoo5 5500
# driver entry, the card model question answered "Voodoo 5 - 5500" with the
# mouse, the start-up window closed with its button, the tray icon; then a
# right click on the icon opens the main menu, whose "Run" submenu starts the
# stand-in game, a left click opens the second menu, "About" opens the about
# box, closed with a click on OK; the end.
# Needs the Wine environment of with-wine.sh (DISPLAY and WINEPREFIX set).
#
# Usage: e2e-desktop-clicks.sh [--exe TARNWICK_EXE] [--game GAME_EXE] [--shots DIR] [VERSION...]
#   VERSION   Windows version Wine reports to tarnwick.exe (default: win98 winxp)
#   --game    the stand-in game run from the "Run" submenu (default: build/e2e/game.exe)
#   --shots   where the screenshots go (default: build/e2e/screenshots)
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

exe=$here/../build/win32/tarnwick.exe
game=$here/../build/e2e/game.exe
shots=$here/../build/e2e/screenshots
versions=()
while (($#)); do
  case $1 in
    --exe) exe=$2; shift 2 ;;
    --game) game=$2; shift 2 ;;
    --shots) shots=$2; shift 2 ;;
    -*) echo "desktop-clicks: unknown option $1" >&2; exit 2 ;;
    *) versions+=("$1"); shift ;;
  esac
done
((${#versions[@]})) || versions=(win98 winxp)

program_key='HKCU\Software\Hexmoor\Tarnwick'
# Where a restore owed is recorded: the machine's, so a record the win98 run
# leaves would reach the winxp run.
machine_key='HKLM\Software\Hexmoor\Tarnwick'
fixture=$here/../e2e/fixtures/win98-voodoo5.reg

# The two forms this run clicks on: caption and client size, and the controls
# as client coordinates (x, y, width, height). Controls on the card model
# dialog's panel are offset by the panel's place (8, 40).
dialog_caption='Tarnwick'
dialog_client=(232 125)
radio_5500=(24 72 105 17)
ok_button=(136 88 75 25)
startup_caption='Tarnwick Startup check'
startup_client=(420 177)
close_button=(328 144 75 25)
about_caption='About Tarnwick'
about_client=(298 130)
about_ok=(112 96 75 25)
profile='Stand-in game'
record=""

version=""
pid=""
log=""
taken=()

say() { echo "desktop-clicks${version:+ [$version]}: $*"; }

fail() {
  say "FAILED: $*" >&2
  if [[ -n $version ]] && screenshot failure; then
    say "the desktop at the failure: ${taken[-1]}" >&2
  fi
  if [[ -n $log && -s $log ]]; then
    say "output of tarnwick.exe:" >&2
    sed 's/^/  /' "$log" >&2
  fi
  exit 1
}

cleanup() {
  if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  [[ -n $log ]] && rm -f "$log"
  [[ -n $record ]] && rm -f "$record"
  if ((${#taken[@]})); then
    echo "desktop-clicks: screenshots:"
    printf '  %s\n' "${taken[@]}"
  fi
}
trap cleanup EXIT

# Runs COMMAND until it succeeds or SECONDS have passed. Fails early when
# tarnwick.exe has ended, since then nothing will change any more.
wait_until() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  while ((SECONDS < deadline)); do
    "$@" && return 0
    if [[ -n $pid ]] && ! kill -0 "$pid" 2>/dev/null; then
      "$@" && return 0
      return 2
    fi
    sleep 0.2
  done
  return 1
}

# Wraps wait_until with the message of a failed step.
expect() {
  local seconds=$1 what=$2
  shift 2
  wait_until "$seconds" "$@"
  case $? in
    0) return 0 ;;
    2) fail "$what: tarnwick.exe ended first" ;;
    *) fail "$what: not within $seconds s" ;;
  esac
}

# Mapped X windows of tarnwick.exe with exactly this caption.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    [[ $(xprop -id "$id" WM_CLASS 2>/dev/null) == *'"tarnwick.exe"'* ]] && echo "$id"
  done
}
window_shown() { [[ -n $(visible_windows "$1") ]]; }
window_gone() { [[ -z $(visible_windows "$1") ]]; }
no_program_windows() { [[ -z $(xdotool search --class '^tarnwick\.exe$' 2>/dev/null) ]]; }
program_ended() { ! kill -0 "$pid" 2>/dev/null; }

# Sets geo=(x y width height) to the window's place on the screen.
window_geometry() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  geo=(
    "$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")"
    "$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")"
    "$(sed -n 's/.*Width: *//p' <<<"$info")"
    "$(sed -n 's/.*Height: *//p' <<<"$info")"
  )
}

# Sets origin=(x y) to the screen place of the client area of the visible
# window with this caption. The X window holds the whole frame, which Wine
# draws itself: equal borders left, right and below, the caption above.
client_origin() {
  local caption=$1 client_w=$2 client_h=$3 id
  id=$(visible_windows "$caption" | head -n 1)
  if [[ -z $id ]] || ! window_geometry "$id"; then
    fail "\"$caption\" has no window to click on"
  fi
  local border=$(((geo[2] - client_w) / 2))
  local top=$((geo[3] - client_h - border))
  ((border >= 0 && top >= border)) ||
    fail "\"$caption\" is ${geo[2]}x${geo[3]}, too small for a ${client_w}x${client_h} client area"
  origin=($((geo[0] + border)) $((geo[1] + top)))
}

# Clicks the middle of a control given as client coordinates.
click_control() {
  local what=$1 x=$2 y=$3 w=$4 h=$5
  local sx=$((origin[0] + x + w / 2)) sy=$((origin[1] + y + h / 2))
  say "click on $what at $sx,$sy"
  xdotool mousemove --sync "$sx" "$sy" click 1 || fail "xdotool could not click on $what"
}

# The Wine desktop's place on the screen; the whole screen without one.
desktop_geometry() {
  local id
  id=$(xdotool search --name ' - Wine desktop$' 2>/dev/null | head -n 1)
  if [[ -z $id ]] || ! window_geometry "$id"; then
    geo=(0 0 "$(xwininfo -root | sed -n 's/.*Width: *//p')" "$(xwininfo -root | sed -n 's/.*Height: *//p')")
  fi
}

# Raw pixels of a screen area: no metadata, so equal pictures give equal bytes.
area_digest() { import -silent -window root -crop "$3x$4+$1+$2" +repage rgb:- 2>/dev/null | md5sum; }

# Wine paints after mapping; a window counts as drawn once two looks agree.
window_painted() {
  local id last now
  id=$(visible_windows "$1" | head -n 1)
  [[ -n $id ]] && window_geometry "$id" || return 1
  last=$(area_digest "${geo[@]}")
  sleep 0.3
  now=$(area_digest "${geo[@]}")
  [[ $now == "$last" ]]
}

# screenshot NAME [CROP] [PLACE]: the desktop, or the screen area CROP
# (WxH+X+Y). PLACE, "X Y WIDTH HEIGHT" on the screen, is what the picture is
# about (a window, a menu); moved onto the picture, it goes to NAME.rect for
# cropping (make docs).
screenshot() {
  local file=$shots/$version-$1.png place=${3:-}
  desktop_geometry
  local crop=${2:-"${geo[2]}x${geo[3]}+${geo[0]}+${geo[1]}"}
  rm -f "${file%.png}.rect"
  import -silent -window root -crop "$crop" +repage "$file" 2>/dev/null || return 1
  if [[ -n $place ]]; then
    local x y w h origin_x=${crop#*+} origin_y=${crop##*+}
    read -r x y w h <<<"$place"
    echo "$((x - ${origin_x%%+*})) $((y - origin_y)) $w $h" >"${file%.png}.rect"
  fi
  taken+=("$(realpath "$file")")
}

# "X Y WIDTH HEIGHT" of the visible window with this caption, frame included.
window_place() {
  local id
  id=$(visible_windows "$1" | head -n 1)
  [[ -n $id ]] && window_geometry "$id" && echo "${geo[*]}"
}

# The tray: the lower right corner of the desktop, where the taskbar shows the
# icons. One colour there means no icon. (Whether the icon goes at the end is
# not checked: Wine drops the icons of a window that is gone by itself.)
tray_area() {
  desktop_geometry
  tray=($((geo[0] + geo[2] - 24)) $((geo[1] + geo[3] - 18)) 24 18)
}
tray_colours() {
  import -silent -window root -crop "${tray[2]}x${tray[3]}+${tray[0]}+${tray[1]}" +repage png:- \
    2>/dev/null | convert png:- -format '%k' info: 2>/dev/null
}
tray_has_icon() { local n; n=$(tray_colours); [[ -n $n ]] && ((n > 1)); }

# Popup menus of tarnwick.exe on the screen (X windows without a caption).
menu_windows() {
  local id
  for id in $(xdotool search --onlyvisible --class '^tarnwick\.exe$' 2>/dev/null); do
    [[ -z $(xdotool getwindowname "$id" 2>/dev/null) ]] && echo "$id"
  done
}
menu_shown() { [[ -n $(menu_windows) ]]; }
menu_gone() { [[ -z $(menu_windows) ]]; }
two_menus_shown() { (($(menu_windows | wc -l) >= 2)); }

# Wine draws menu items 16 pixels high and separators 9, inside a 3-pixel
# border. Items of the main menu counted from its lower edge to their middle:
menu_offset_run=52    # "Run", above "-", "About", "Exit"
menu_offset_about=27  # "About", above "Exit"

# Clicks the tray icon with a mouse button (1 left, 3 right) and waits for the
# popup menu it opens; sets menu=(x y width height) to its place.
click_tray_icon() {
  local button=$1 what=$2
  tray_area
  local x=$((tray[0] + tray[2] / 2)) y=$((tray[1] + tray[3] / 2))
  say "click $button on the tray icon at $x,$y"
  xdotool mousemove --sync "$x" "$y" click "$button" || fail "xdotool could not click on the tray icon"
  expect 20 "no $what after the click on the tray icon" menu_shown
  main_menu=$(menu_windows | head -n 1)
  window_geometry "$main_menu" || fail "the $what has no place on the screen"
  menu=("${geo[@]}")
  sleep 0.5  # the menu draws after it maps
}

# "X Y WIDTH HEIGHT" of the smallest area holding two areas given the same way.
union() {
  local left=$(($1 < $5 ? $1 : $5)) top=$(($2 < $6 ? $2 : $6))
  local right=$(($1 + $3 > $5 + $7 ? $1 + $3 : $5 + $7))
  local bottom=$(($2 + $4 > $6 + $8 ? $2 + $4 : $6 + $8))
  echo "$left $top $((right - left)) $((bottom - top))"
}

# Moves the mouse to a point and, with a button, clicks there.
point_at() {
  local what=$1 x=$2 y=$3 button=${4:-}
  say "${button:+click on }$what at $x,$y"
  xdotool mousemove --sync "$x" "$y" ${button:+click "$button"} || fail "xdotool could not reach $what"
}

# The lower right of the desktop, where the tray menus open.
screenshot_tray_corner() {
  desktop_geometry
  screenshot "$1" "420x320+$((geo[0] + geo[2] - 420))+$((geo[1] + geo[3] - 320))" "${2:-}"
}

# A DWORD of the program key as reg prints it (0x...), empty when missing.
program_dword() {
  wine reg query "$program_key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_DWORD[[:space:]]*//p'
}

run_version() {
  version=$1
  say "start (Windows version $version)"
  # A failure picture of an earlier run would pass for one of this run.
  rm -f "$shots/$version"-*.png
  if ! window_gone "$dialog_caption" || ! window_gone "$startup_caption"; then
    fail "windows of an earlier tarnwick.exe are still on this desktop"
  fi

  # 1. No settings of its own, a Voodoo5 5500 in the Windows 98 layout.
  wine reg delete "$program_key" /f >/dev/null 2>&1
  wine reg delete "$machine_key" /f >/dev/null 2>&1
  wine reg query "$program_key" >/dev/null 2>&1 && fail "could not clear $program_key"
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\tarnwick.exe" /v Version /t REG_SZ \
    /d "$version" /f >/dev/null || fail "could not pin the Windows version"
  tw_wine_import_reg "$fixture" || fail "could not import $fixture"
  # A profile that starts the stand-in game, which leaves a record of its start.
  record=$(mktemp --suffix=.txt)
  local profile_key="$program_key\\$profile"
  wine reg add "$profile_key" /v FilePath /t REG_SZ /d "$(winepath -w "$game")" /f >/dev/null &&
    wine reg add "$profile_key" /v Parameters /t REG_SZ \
      /d "--record=$(winepath -w "$record") --sleep=1000" /f >/dev/null ||
    fail "could not plant the profile \"$profile\""
  rm -f "$record"
  log=$(mktemp)
  wine "$exe" -DEBUG </dev/null >"$log" 2>&1 &
  pid=$!

  # 2. The card model question.
  expect 60 "the card model dialog \"$dialog_caption\" did not appear" window_shown "$dialog_caption"
  expect 20 "the card model dialog was not drawn" window_painted "$dialog_caption"
  screenshot card-dialog "" "$(window_place "$dialog_caption")" ||
    fail "no screenshot of the card model dialog"

  # 3. Voodoo 5 - 5500, then OK.
  client_origin "$dialog_caption" "${dialog_client[@]}"
  click_control '"Voodoo 5 - 5500"' "${radio_5500[@]}"
  click_control '"OK"' "${ok_button[@]}"
  expect 20 "the card model dialog did not close after the click on OK" \
    window_gone "$dialog_caption"

  # 4. The start-up window with its log, and what the answer stored.
  expect 30 "the start-up window \"$startup_caption\" did not appear" \
    window_shown "$startup_caption"
  expect 20 "the start-up window was not drawn" window_painted "$startup_caption"
  screenshot startup || fail "no screenshot of the start-up window"
  local type reload
  type=$(program_dword VoodooType)
  case $type in
    0x157c) ;;
    0x1194) fail "VoodooType is 0x1194 (4500): the click on \"Voodoo 5 - 5500\" did not take" ;;
    *) fail "VoodooType is '${type:-missing}', expected 0x157c (5500)" ;;
  esac
  reload=$(program_dword 'Reload settings')
  [[ $reload == 0x1 ]] || fail "\"Reload settings\" is '${reload:-missing}', expected 0x1"

  # 5. Close hides the window; the program stays in the tray.
  client_origin "$startup_caption" "${startup_client[@]}"
  click_control '"Close"' "${close_button[@]}"
  expect 20 "the start-up window was still shown after the click on Close" \
    window_gone "$startup_caption"
  kill -0 "$pid" 2>/dev/null || fail "tarnwick.exe ended on Close instead of staying in the tray"
  tray_area
  expect 20 "no tray icon at the lower right of the desktop" tray_has_icon
  desktop_geometry
  screenshot tray "240x60+$((geo[0] + geo[2] - 240))+$((geo[1] + geo[3] - 60))" ||
    fail "no screenshot of the tray"

  # 6. Right click: the main menu; the mouse on "Run" opens the submenu with
  # the profile, a click on it runs the profile.
  click_tray_icon 3 "main menu"
  screenshot_tray_corner menu-right "${menu[*]}" || fail "no screenshot of the main menu"
  point_at '"Run"' $((menu[0] + menu[2] / 2)) $((menu[1] + menu[3] - menu_offset_run))
  expect 20 "no Run submenu under the mouse" two_menus_shown
  local sub
  sub=$(menu_windows | grep -v "^$main_menu\$" | head -n 1)
  window_geometry "$sub" || fail "the Run submenu has no place on the screen"
  local submenu=("${geo[@]}")
  sleep 0.5
  screenshot_tray_corner menu-run "$(union "${menu[@]}" "${submenu[@]}")" ||
    fail "no screenshot of the Run submenu"
  # Its first item, below the border.
  point_at "\"$profile\"" $((submenu[0] + submenu[2] / 2)) $((submenu[1] + 3 + 8)) 1
  expect 20 "the menu stayed open after choosing \"$profile\"" menu_gone
  expect 30 "\"$profile\" from the Run submenu did not start the game" test -s "$record"
  say "the game ran: $(grep -c '^arg=' "$record") arguments"

  # 7. Left click: the second menu; a click beside it closes it.
  click_tray_icon 1 "second menu"
  screenshot_tray_corner menu-left "${menu[*]}" || fail "no screenshot of the second menu"
  desktop_geometry
  point_at "the desktop" $((geo[0] + geo[2] / 2)) $((geo[1] + geo[3] / 2)) 1
  expect 20 "the second menu stayed open after a click beside it" menu_gone

  # 8. About from the main menu; OK closes it.
  click_tray_icon 3 "main menu"
  point_at '"About"' $((menu[0] + menu[2] / 2)) $((menu[1] + menu[3] - menu_offset_about)) 1
  expect 20 "the about box \"$about_caption\" did not appear" window_shown "$about_caption"
  expect 20 "the about box was not drawn" window_painted "$about_caption"
  screenshot about "" "$(window_place "$about_caption")" || fail "no screenshot of the about box"
  client_origin "$about_caption" "${about_client[@]}"
  click_control '"OK"' "${about_ok[@]}"
  expect 20 "the about box was still shown after the click on OK" window_gone "$about_caption"

  # The end: taskkill posts WM_CLOSE to its windows, the hidden main window too.
  wine taskkill /IM tarnwick.exe >/dev/null 2>&1 || fail "taskkill could not reach tarnwick.exe"
  expect 30 "tarnwick.exe did not end after WM_CLOSE" program_ended
  wait "$pid" 2>/dev/null
  pid=""
  expect 10 "windows of tarnwick.exe were left on the desktop" no_program_windows
  rm -f "$log"
  log=""
  wine reg delete "$program_key" /f >/dev/null 2>&1
  wine reg delete "$machine_key" /f >/dev/null 2>&1
  say "passed"
  version=""
}

[[ -n ${DISPLAY:-} && -n ${WINEPREFIX:-} ]] ||
  fail "run inside the Wine environment: scripts/with-wine.sh -- $0"
[[ -f $exe ]] || fail "$exe not found"
[[ -f $game ]] || fail "$game not found"
exe=$(realpath "$exe")
game=$(realpath "$game")
mkdir -p "$shots" || fail "cannot create $shots"
shots=$(realpath "$shots")
for v in "${versions[@]}"; do
  run_version "$v"
done
# Out of the way of whatever runs next on this desktop.
xdotool mousemove 0 0 2>/dev/null
