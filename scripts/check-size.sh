#!/usr/bin/env bash
# Fails when the shipped exe, stripped, is larger than its bound, or when its
# link map shows a part of the runtime that the build keeps out on purpose
# (each would undo a size saving or, for the standard error classes, a catch
# of them would silently miss: see platform/win32/library_errors.cpp).
#
# Usage: check-size.sh EXE MAX_BYTES [LINK_MAP]
set -euo pipefail

exe=${1:?usage: check-size.sh EXE MAX_BYTES [LINK_MAP]}
bound=${2:?usage: check-size.sh EXE MAX_BYTES [LINK_MAP]}
map=${3:-}
strip=${STRIP:-i686-w64-mingw32-strip}

[[ -f $exe ]] || { echo "check-size: no such file: $exe" >&2; exit 2; }

stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
"$strip" -o "$stripped" "$exe"
size=$(stat -c %s "$stripped")

status=0
echo "stripped $(basename "$exe"): $size bytes, bound $bound, headroom $((bound - size))"
if (( size > bound )); then
  echo "FAIL: $((size - bound)) bytes over the bound"
  status=1
fi

if [[ -n $map ]]; then
  [[ -f $map ]] || { echo "check-size: no such link map: $map" >&2; exit 2; }
  # Archive members (as the map names them), and what they hold.
  unwanted=(
    '(vterminate.o):the verbose terminate handler'
    '(cp-demangle.o):the name demangler'
    'mingw_pformat.o):the printf family'
    '(stdexcept.o):the standard error classes'
    '(cow-stdexcept.o):the standard error classes'
    '(cow-string-inst.o):the second string implementation'
  )
  # The map's first section lists each archive member pulled in, followed by
  # the file and symbol that needed it.
  pulled=$(awk '/^Archive member included/ {on = 1; next}
                on && /^(Discarded|Allocating|Memory)/ {exit}
                on' "$map")
  # Who needed a member: the line under it. Followed through other archive
  # members until the program's own file shows up.
  needed_by() {
    local member=$1 chain="" why step
    for step in 1 2 3 4 5 6; do
      why=$(awk -v m="$member" 'hit {sub(/^ +/, ""); print; exit}
                                /^[^ ]/ && index($0, m) {hit = 1}' <<<"$pulled")
      [[ -n $why ]] || break
      chain+=" <- ${why##*/}"
      [[ $why =~ ^[^\ ]*(\([^\)]*\.o\)) ]] || break
      member=${BASH_REMATCH[1]}
    done
    echo "$chain"
  }
  for entry in "${unwanted[@]}"; do
    member=${entry%%:*}
    if grep -v '^ ' <<<"$pulled" | grep -qF -- "$member"; then
      echo "FAIL: ${entry#*:} linked in$(needed_by "$member")"
      status=1
    fi
  done
fi
exit $status
