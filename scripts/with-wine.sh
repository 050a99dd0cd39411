#!/usr/bin/env bash
# Runs a command inside the Wine environment of scripts/wine-env.sh and stops
# everything it started afterwards, also when the command fails or is
# interrupted. Exits with the command's exit code.
#
# Usage: with-wine.sh [--prefix DIR] [--use-display] [--reg FILE]... [--] COMMAND...
#   --prefix DIR    Wine prefix (default: build/wineprefix-test)
#   --use-display   use $DISPLAY when it is set instead of a private Xvfb
#   --reg FILE      import a .reg file into the prefix before the command
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

prefix=$here/../build/wineprefix-test
use_display=()
regs=()
while (($#)); do
  case $1 in
    --prefix) prefix=$2; shift 2 ;;
    --use-display) use_display=(--use-display); shift ;;
    --reg) regs+=("$2"); shift 2 ;;
    --) shift; break ;;
    -*) echo "with-wine: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
(($#)) || { echo "usage: with-wine.sh [--prefix DIR] [--use-display] [--reg FILE]... [--] COMMAND..." >&2; exit 2; }

child=""
stop_child() { [[ -n $child ]] && kill -TERM "$child" 2>/dev/null && wait "$child"; }
trap tw_wine_stop EXIT
trap 'stop_child; exit 130' INT
trap 'stop_child; exit 143' TERM

tw_wine_start "$prefix" "${use_display[@]}" || exit 1
if ((${#regs[@]})); then
  tw_wine_import_reg "${regs[@]}" || exit 1
fi
# In the background (with empty standard input) so that a signal reaches this
# script at once, not only after the command has ended; the traps then stop
# the command.
"$@" &
child=$!
wait "$child"
rc=$?
child=""
exit "$rc"
